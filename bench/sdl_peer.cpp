// sdl_peer.cpp: a per-tile SDL_RenderCopy renderer of the six plane types.
#include "sdl_peer.h"

#include <SDL.h>

#include <algorithm>
#include <vector>

#include "gfx/frame_buffer.h"
#include "gfx/scroll.h"
#include "level/level.h"
#include "level/tile_set.h"

namespace {

SDL_Surface* target = nullptr;
SDL_Renderer* renderer = nullptr;
SDL_Texture* atlas = nullptr;
constexpr int kAtlasColumns = 64;

int FloorMod(int a, int n) {
  if (n <= 0) return 0;
  int m = a % n;
  return m < 0 ? m + n : m;
}
int FloorDiv8(int a) { return a >> 3; }

// Copies a part of tile t (source rectangle within its 8x8 block) to (dx, dy).
void Copy(uint16_t t, int sx, int sy, int w, int h, int dx, int dy) {
  if (t == 0 || t >= Tiles.tileTable.size()) return;
  SDL_Rect src{(t % kAtlasColumns) * 8 + sx, (t / kAtlasColumns) * 8 + sy, w, h};
  SDL_Rect dst{dx, dy, w, h};
  SDL_RenderCopy(renderer, atlas, &src, &dst);
}

uint16_t Cell(const Plane& p, long index) {
  if (index < 0 || index >= long(p.tiles.size())) return 0;
  return p.tiles[size_t(index)];
}

int Loop(const std::vector<int32_t>& loops, size_t i, int fallback) {
  int v = i < loops.size() ? loops[i] : fallback;
  return v > 0 ? v : std::max(1, fallback);
}

uint8_t Speed(const std::vector<uint8_t>& speeds, size_t i) { return i < speeds.size() ? speeds[i] : 8; }

// Tile-aligned planes: each row has its own horizontal camera and loop
// (Flat: the view; Relative: one for all rows).
void DrawRows(const Plane& p) {
  int camY = p.type == kFlat ? Level.viewY : Scroll.ScrollY[p.otherSpeed];
  int vloop = p.type == kFlat ? p.height : std::max(1, p.otherLoop);
  for (int m = 0; m < 26; ++m) {
    int row = FloorMod(FloorDiv8(camY) + m, std::max(1, std::min(vloop, p.height)));
    size_t line = p.type == kHTiled ? size_t(row) : 0;
    int camX = p.type == kFlat ? Level.viewX : Scroll.ScrollX[Speed(p.lineSpeeds, line)];
    int hloop = p.type == kFlat ? p.width : Loop(p.lineLoops, line, p.width);
    for (int k = 0; k < 41; ++k) {
      int col = FloorMod(FloorDiv8(camX) + k, hloop);
      Copy(Cell(p, long(row) * p.width + col), 0, 0, 8, 8, (FloorDiv8(camX) + k) * 8 - camX,
           (FloorDiv8(camY) + m) * 8 - camY);
    }
  }
}

void DrawColumns(const Plane& p) {
  int camX = Scroll.ScrollX[p.otherSpeed];
  for (int k = 0; k < 41; ++k) {
    int col = FloorMod(FloorDiv8(camX) + k, std::max(1, p.otherLoop));
    int camY = Scroll.ScrollY[Speed(p.lineSpeeds, size_t(col))];
    int vloop = Loop(p.lineLoops, size_t(col), p.height);
    for (int m = 0; m < 26; ++m) {
      int row = FloorMod(FloorDiv8(camY) + m, vloop);
      Copy(Cell(p, long(row) * p.width + col), 0, 0, 8, 8, (FloorDiv8(camX) + k) * 8 - camX,
           (FloorDiv8(camY) + m) * 8 - camY);
    }
  }
}

void DrawPixelRows(const Plane& p) {
  int camY = Scroll.ScrollY[p.otherSpeed];
  int loopPixels = std::max(1, p.otherLoop) * 8;
  for (int y = 0; y < 200; ++y) {
    int q = FloorMod(camY + y, loopPixels);
    int camX = Scroll.ScrollX[Speed(p.lineSpeeds, size_t(q))];
    int hloop = Loop(p.lineLoops, size_t(q), p.width);
    for (int k = 0; k < 41; ++k) {
      int col = FloorMod(FloorDiv8(camX) + k, hloop);
      Copy(Cell(p, long(q >> 3) * p.width + col), 0, q & 7, 8, 1, (FloorDiv8(camX) + k) * 8 - camX, y);
    }
  }
}

void DrawPixelColumns(const Plane& p) {
  int camX = Scroll.ScrollX[p.otherSpeed];
  int loopPixels = std::max(1, p.otherLoop) * 8;
  for (int x = 0; x < 320; ++x) {
    int q = FloorMod(camX + x, loopPixels);
    int camY = Scroll.ScrollY[Speed(p.lineSpeeds, size_t(q))];
    int vloop = Loop(p.lineLoops, size_t(q), p.height);
    for (int m = 0; m < 26; ++m) {
      int row = FloorMod(FloorDiv8(camY) + m, vloop);
      Copy(Cell(p, long(row) * p.width + (q >> 3)), q & 7, 0, 1, 8, x, (FloorDiv8(camY) + m) * 8 - camY);
    }
  }
}

}  // namespace

bool PeerInit() {
  PeerShutdown();
  target = SDL_CreateRGBSurfaceWithFormat(0, 320, 200, 32, SDL_PIXELFORMAT_XRGB8888);
  if (!target) return false;
  renderer = SDL_CreateSoftwareRenderer(target);
  if (!renderer) return false;
  int rows = int(Tiles.tileTable.size() + kAtlasColumns - 1) / kAtlasColumns;
  std::vector<uint32_t> pixels(size_t(kAtlasColumns) * 8 * rows * 8, 0);
  for (size_t t = 0; t < Tiles.tileTable.size(); ++t) {
    const Tile& tile = Tiles.tileTable[t];
    if (tile.frame >= tile.frames.size() || tile.frames[tile.frame].size() < 64) continue;
    const uint8_t* px = tile.frames[tile.frame].data();
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        uint8_t i = px[y * 8 + x];
        const uint8_t* e = &Screen.PaletteTable[i * 4];
        uint32_t argb = i ? 0xFF000000u | uint32_t(e[0]) << 16 | uint32_t(e[1]) << 8 | e[2] : 0;
        pixels[(t / kAtlasColumns * 8 + y) * kAtlasColumns * 8 + t % kAtlasColumns * 8 + x] = argb;
      }
  }
  atlas = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, kAtlasColumns * 8, rows * 8);
  if (!atlas) return false;
  SDL_UpdateTexture(atlas, nullptr, pixels.data(), kAtlasColumns * 8 * 4);
  SDL_SetTextureBlendMode(atlas, SDL_BLENDMODE_BLEND);
  return true;
}

void PeerShutdown() {
  if (atlas) SDL_DestroyTexture(atlas);
  if (renderer) SDL_DestroyRenderer(renderer);
  if (target) SDL_FreeSurface(target);
  atlas = nullptr;
  renderer = nullptr;
  target = nullptr;
}

void PeerDrawLevel() {
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  SDL_RenderClear(renderer);
  for (const Plane& p : Level.planes) {
    switch (p.type) {
      case kFlat:
      case kRelative:
      case kHTiled: DrawRows(p); break;
      case kVTiled: DrawColumns(p); break;
      case kHLined: DrawPixelRows(p); break;
      case kVLined: DrawPixelColumns(p); break;
      default: break;
    }
  }
  SDL_RenderFlush(renderer);
}
