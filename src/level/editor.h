// editor.h: the level editor and the tile viewer.
#pragma once

// Loads the editor's images.
void LoadEditorArt();
// Mouse and key latches so that what is still held on entry does not act.
void PrepareEditorEntry();
void EditorFrame();
void TileViewerFrame();
