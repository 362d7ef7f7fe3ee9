// tile_set.h: the table of 8x8 tiles, the palette sets that come with it, and
// the .til/.dat files.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct Tile {
  uint8_t floor = 0;
  uint8_t slope = 0;
  uint8_t animTimer = 0;
  // Pixel blocks: 64 bytes (128 in video mode 2, each pixel twice); empty = absent.
  std::array<std::vector<uint8_t>, 25> frames;
  uint8_t frame = 0;  // the frame renderers draw
  uint8_t step = 0;
  uint8_t frameCount = 0;
  uint8_t stepCount = 0;  // 0: does not animate
  std::array<uint8_t, 25> stepDelays{};
  uint8_t opaque = 0;  // 1: no pixel of any frame is 0
  std::array<uint8_t, 64> collision{};
};

struct PaletteCycle {
  uint8_t stepCount = 0;
  std::vector<uint8_t> stepDelays;  // stepCount entries
  uint8_t timer = 0;
  uint8_t step = 0;
  std::vector<uint8_t> colours;  // stepCount x (r, g, b), 6-bit
};

struct PaletteSet {
  std::vector<PaletteCycle> cycles;  // cycle at position i drives colour i
  uint8_t cycleCount = 0;
  uint8_t tintUpperHalf = 0;  // 1 tinted copies; 0 two ranges; 2 three ranges
  std::vector<uint8_t> rotateWith, rotateDelay, rotateTimer;  // per position
  uint8_t tintRed = 0, tintGreen = 0, tintBlue = 0;
};

struct TileSetState {
  std::vector<Tile> tileTable;
  uint16_t tileCount = 0;
  std::vector<PaletteSet> paletteSets;
  uint8_t paletteSetCount = 0;
  uint8_t currentPaletteSet = 0;
  std::string tileFileName;
};
extern TileSetState Tiles;

void ResetTileSet();

void InitTile(Tile& tile);
void ReleaseTileFrames(Tile& tile);
void ResizeTileSet(uint16_t count);
void BuildDefaultTileSet();
void LoadTileSet(const std::string& name);
void ReadCollisionFile(const std::string& name);
void ClearTileCollision();
void AdvanceTileAnimations();
