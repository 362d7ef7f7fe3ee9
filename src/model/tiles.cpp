// tiles.cpp: the one tile table.
#include "model/tiles.h"

#include "common/module_state.h"

TileSetState Tiles;

void ResetTileSet() { Tiles = {}; }
const ModuleReset kTileSetReset(ResetTileSet);
