// tiled_check.h: what the TMX and JSON readers share: strict numbers, the
// shape checks, group flattening and paths beside a file.
#pragma once

#include <cstdint>
#include <string>

#include "tiled_map.h"

namespace tiled {

// A whole number in [lo, hi], or a refusal naming what it is for.
int64_t ParseInteger(const std::string& text, int64_t lo, int64_t hi, const std::string& file, const std::string& what);
// A finite number (parallax factors, offsets).
double ParseFactor(const std::string& text, const std::string& file, const std::string& what);

// Tile size 8x8, one image, no negative counts.
void CheckTileset(const Tileset& tileset);
// Orthogonal, finite, 8x8, a size a plane can have.
void CheckMapHead(const Map& map);
// Before a layer's data is decoded: its size, the cells of all layers so far
// and the count of layers (the map's layers are those already read).
void CheckLayerSize(const Map& map, const Layer& layer, uint64_t& cellsSoFar);

// What an enclosing group adds to a layer inside it.
struct GroupFrame {
  double offsetX = 0, offsetY = 0, parallaxX = 1, parallaxY = 1;
  int depth = 0;
};
void AddGroupOffsets(Layer& layer, const GroupFrame& group);

// The folder part of path up to its last separator, kept so that a root
// ("/", and on Windows "C:" or "C:\") stays one; "." for a bare name.
std::string FolderOf(const std::string& path);
// name beside folder, unless it starts at a root.
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace tiled
