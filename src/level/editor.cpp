// editor.cpp: the level editor and tile viewer frames (filled by the editor work).
#include "level/editor.h"

void LoadEditorArt() {}
void PrepareEditorEntry() {}
void EditorFrame() {}
void TileViewerFrame() {}
