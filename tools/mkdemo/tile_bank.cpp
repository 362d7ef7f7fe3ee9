// tile_bank.cpp: deduplicating tiles cut from pictures.
#include "tile_bank.h"

#include <cstdio>
#include <cstdlib>

TileBank::TileBank(size_t limit) : limit_(limit) { tiles_.push_back(TileArt{{TilePixels{}}, {}, 0, 0, {}}); }

TilePixels BlockAt(const Canvas& picture, int tx, int ty) {
  TilePixels p{};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) p[size_t(y) * 8 + x] = picture.Get(tx * 8 + x, ty * 8 + y);
  return p;
}

static bool Empty(const TilePixels& p) {
  for (uint8_t v : p)
    if (v) return false;
  return true;
}

static uint16_t Append(std::vector<TileArt>& tiles, TileArt art, size_t limit) {
  if (tiles.size() >= limit) {
    // A generator bug, never a file problem: stop loudly rather than write a broken set.
    std::fprintf(stderr, "tarn-mkdemo: more than %zu tiles in one set\n", limit);
    std::exit(1);
  }
  tiles.push_back(std::move(art));
  return uint16_t(tiles.size() - 1);
}

uint16_t TileBank::Intern(const TilePixels& pixels) {
  if (Empty(pixels)) return 0;
  auto it = still_.find(pixels);
  if (it != still_.end()) return it->second;
  uint16_t n = Append(tiles_, TileArt{{pixels}, {}, 0, 0, {}}, limit_);
  still_.emplace(pixels, n);
  return n;
}

uint16_t TileBank::InternAnimated(const std::vector<TilePixels>& frames, const std::vector<uint8_t>& delays) {
  std::vector<TilePixels> key = frames;
  // The delays are part of the identity: same pictures at another pace are another tile.
  TilePixels d{};
  for (size_t i = 0; i < delays.size() && i < 64; ++i) d[i] = delays[i];
  key.push_back(d);
  auto it = animated_.find(key);
  if (it != animated_.end()) return it->second;
  uint16_t n = Append(tiles_, TileArt{frames, delays, 0, 0, {}}, limit_);
  animated_.emplace(std::move(key), n);
  return n;
}

TileMap TileBank::Cut(const Canvas& picture) {
  TileMap m{picture.w / 8, picture.h / 8, {}};
  m.cells.resize(size_t(m.w) * m.h);
  for (int ty = 0; ty < m.h; ++ty)
    for (int tx = 0; tx < m.w; ++tx) m.cells[size_t(ty) * m.w + tx] = Intern(BlockAt(picture, tx, ty));
  return m;
}

TileMap TileBank::CutAnimated(const std::vector<Canvas>& frames, const std::vector<uint8_t>& delays) {
  const Canvas& first = frames.front();
  TileMap m{first.w / 8, first.h / 8, {}};
  m.cells.resize(size_t(m.w) * m.h);
  for (int ty = 0; ty < m.h; ++ty)
    for (int tx = 0; tx < m.w; ++tx) {
      std::vector<TilePixels> blocks;
      bool moving = false;
      for (const Canvas& f : frames) {
        blocks.push_back(BlockAt(f, tx, ty));
        if (blocks.back() != blocks.front()) moving = true;
      }
      m.cells[size_t(ty) * m.w + tx] = moving ? InternAnimated(blocks, delays) : Intern(blocks.front());
    }
  return m;
}

void TileBank::MarkSolid(const TileMap& map) {
  for (uint16_t n : map.cells) {
    if (n == 0) continue;
    TileArt& t = tiles_[n];
    const TilePixels& p = t.frames.front();
    int top[8];
    int firstRow = 8;
    for (int x = 0; x < 8; ++x) {
      top[x] = 8;
      for (int y = 7; y >= 0; --y)
        if (p[size_t(y) * 8 + x]) top[x] = y;
    }
    for (int i = 0; i < 64; ++i) {
      t.collision[size_t(i)] = p[size_t(i)] ? 1 : 0;
      if (p[size_t(i)] && i / 8 < firstRow) firstRow = i / 8;
    }
    t.floor = uint8_t(firstRow);
    t.slope = uint8_t(8 + top[0] - top[7]);
  }
}
