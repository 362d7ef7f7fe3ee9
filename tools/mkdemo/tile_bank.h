// tile_bank.h: turns drawn pictures into tiles and plane maps. Identical 8x8
// blocks share one tile number, so large scenes fit the 2000-tile table.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "art.h"

using TilePixels = std::array<uint8_t, 64>;

// One tile as the .til writer stores it.
struct TileArt {
  std::vector<TilePixels> frames;  // at least one for every drawn tile
  std::vector<uint8_t> delays;     // step delays; empty = still
  uint8_t slope = 0, floor = 0;
  std::array<uint8_t, 64> collision{};
};

// A plane map cut from a picture: tile numbers row by row.
struct TileMap {
  int w = 0, h = 0;  // tiles
  std::vector<uint16_t> cells;
  uint16_t At(int x, int y) const { return cells[size_t(y) * w + x]; }
};

class TileBank {
 public:
  // Tile 0 is the empty cell. Fixed-size tile files hold 2000 tiles; a
  // counted (version 1) file may hold more.
  explicit TileBank(size_t limit = 2000);

  // The tile showing these pixels; 0 when every pixel is transparent.
  uint16_t Intern(const TilePixels& pixels);
  // An animated tile (frames and step delays), shared when identical.
  uint16_t InternAnimated(const std::vector<TilePixels>& frames, const std::vector<uint8_t>& delays);
  // Cuts a picture into tiles (its size in whole tiles).
  TileMap Cut(const Canvas& picture);
  // Cuts pictures of the same size that are frames of one animation: cells
  // that differ between frames become animated tiles with these delays.
  TileMap CutAnimated(const std::vector<Canvas>& frames, const std::vector<uint8_t>& delays);
  // Makes every tile used by map solid where its pixels are drawn, with a
  // floor (first solid row) and a slope (rise from left to right, 8 = level).
  void MarkSolid(const TileMap& map);

  const std::vector<TileArt>& Tiles() const { return tiles_; }
  size_t Count() const { return tiles_.size(); }

 private:
  size_t limit_;
  std::vector<TileArt> tiles_;
  std::map<TilePixels, uint16_t> still_;
  std::map<std::vector<TilePixels>, uint16_t> animated_;
};

// The 8x8 block of a picture at tile (tx, ty).
TilePixels BlockAt(const Canvas& picture, int tx, int ty);
