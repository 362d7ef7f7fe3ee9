// tiled_map.h: a Tiled map and its tilesets as the TMX and JSON readers and
// writers hand them over, and the refusal every reader throws.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tiled {

// A refused input: the file and what is wrong with it, for one stderr line.
class Refusal : public std::runtime_error {
 public:
  Refusal(const std::string& file, const std::string& problem) : std::runtime_error(file + ": " + problem) {}
};

// A custom property: Tiled's type name ("string", "int", "float", "bool"...)
// and its value as text.
struct Property {
  std::string name, type, value;
};
using Properties = std::vector<Property>;

// The property's value, or nothing.
const std::string* FindProperty(const Properties& properties, const std::string& name);
void SetProperty(Properties& properties, const std::string& name, const std::string& type, const std::string& value);

struct AnimationFrame {
  uint32_t tileId = 0;
  uint32_t duration = 0;  // milliseconds
};

struct TileInfo {
  uint32_t id = 0;
  Properties properties;
  std::vector<AnimationFrame> animation;
};

struct Tileset {
  std::string name;
  int tileWidth = 8, tileHeight = 8;
  int columns = 0, tileCount = 0, margin = 0, spacing = 0;
  std::string image;  // as written: relative to the folder of the file that holds the tileset
  int imageWidth = 0, imageHeight = 0;
  Properties properties;
  std::vector<TileInfo> tiles;  // only tiles with properties or an animation
  // Where it was read from: for messages, and the folder its image is in.
  std::string file, folder;
};

struct TilesetRef {
  uint32_t firstGid = 1;
  std::string source;  // an external file (TSX or TSJ); empty when embedded
  Tileset tileset;
};

// A tile layer; a group's layers come flattened, its offsets and parallax
// factors folded into theirs.
struct Layer {
  std::string name;
  int width = 0, height = 0;
  double offsetX = 0, offsetY = 0;  // pixels
  double parallaxX = 1, parallaxY = 1;
  Properties properties;
  std::vector<uint32_t> gids;  // width x height, row by row, flip bits kept
};

struct Map {
  std::string orientation = "orthogonal", renderOrder = "right-down";
  int width = 0, height = 0, tileWidth = 8, tileHeight = 8;
  bool infinite = false;
  Properties properties;
  std::vector<TilesetRef> tilesets;
  std::vector<Layer> layers;
  // Layers skipped on reading (object, image, empty group), one line each.
  std::vector<std::string> notes;
  std::string file;
};

// GID bits Tiled sets for flipped and rotated cells.
constexpr uint32_t kGidFlags = 0xF0000000u;

}  // namespace tiled
