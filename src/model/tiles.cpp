// tiles.cpp: the one tile table.
#include "model/tiles.h"

TileSetState Tiles;

void ResetTileSet() { Tiles = {}; }
