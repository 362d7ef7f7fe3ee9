// tile_set.cpp: the tile table and its files.
#include "level/tile_set.h"

TileSetState Tiles;
void ResetTileSet() { Tiles = {}; }
void BuildDefaultTileSet() {}
void LoadTileSet(const std::string&) {}
