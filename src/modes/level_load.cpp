// level_load.cpp: a tile set and level loaded together, with the colours and
// plane objects that come with them.
#include "modes/level_load.h"

#include "gfx/palette_sets.h"
#include "level/level.h"
#include "level/tile_set.h"
#include "modes/edit_history.h"
#include "objects/object_list.h"

void LoadLevelPair(const char* tileFile, const char* levelFile) {
  LoadTileSet(tileFile);
  SelectPaletteSet(0);
  RestoreGlobalColours();
  SetEditorColours();
  LoadLevel(levelFile);
  // The history belongs to the level in memory.
  ResetEditHistory();
  CreatePlaneObjects();
}
