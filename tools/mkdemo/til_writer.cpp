// til_writer.cpp: tile set files.
#include "til_writer.h"

#include "common/binary_reader.h"

namespace {

constexpr size_t kFixedTiles = 2000;

void PutTile(std::vector<uint8_t>& out, const TileArt& t) {
  PutU8(out, t.slope);  // slope before floor
  PutU8(out, t.floor);
  PutU8(out, uint32_t(t.frames.size()));
  PutU8(out, uint32_t(t.delays.size()));
  for (uint8_t d : t.delays) PutU8(out, d);
  for (const TilePixels& f : t.frames) out.insert(out.end(), f.begin(), f.end());
}

// Pads short sets with blank one-frame tiles, so every tile has a picture.
const TileArt& TileOrBlank(const TileSetDef& set, size_t i) {
  static const TileArt blank{{TilePixels{}}, {}, 0, 0, {}};
  return i < set.tiles.size() ? set.tiles[i] : blank;
}

void PutCycle(std::vector<uint8_t>& out, const CycleDef& c) {
  PutU8(out, uint32_t(c.colours.size()));
  for (size_t s = 0; s < c.colours.size(); ++s) {
    PutU8(out, c.colours[s].r);
    PutU8(out, c.colours[s].g);
    PutU8(out, c.colours[s].b);
    PutU8(out, s < c.delays.size() ? c.delays[s] : 0);
  }
  PutU8(out, c.rotateWith);
  PutU8(out, c.rotateDelay);
}

void PutTint(std::vector<uint8_t>& out, const PaletteSetDef& s) {
  PutU8(out, s.tint.r);
  PutU8(out, s.tint.g);
  PutU8(out, s.tint.b);
}

}  // namespace

std::vector<uint8_t> EncodeTileSet(const TileSetDef& set, int version) {
  std::vector<uint8_t> out;
  if (version != 0) {
    out = {'S', 'T', 'I', 'L'};
    PutU8(out, uint32_t(version));
  }
  if (version == 1) {
    PutU16BE(out, uint32_t(set.tiles.size()));
    for (const TileArt& t : set.tiles) PutTile(out, t);
    for (const TileArt& t : set.tiles) out.insert(out.end(), t.collision.begin(), t.collision.end());
    PutU8(out, uint32_t(set.sets.size()));
    for (const PaletteSetDef& s : set.sets) {
      PutU8(out, s.tintUpperHalf);
      PutU8(out, uint32_t(s.cycles.size()));
      for (const CycleDef& c : s.cycles) PutCycle(out, c);
      PutTint(out, s);
    }
    return out;
  }
  for (size_t i = 0; i < kFixedTiles; ++i) PutTile(out, TileOrBlank(set, i));
  // The fixed body holds exactly 64 cycles, tinted upper half implied.
  const PaletteSetDef& s = set.sets.front();
  static const CycleDef black{{{0, 0, 0}}, {0}, 0, 0};
  for (size_t i = 0; i < 64; ++i) PutCycle(out, i < s.cycles.size() ? s.cycles[i] : black);
  PutTint(out, s);
  return out;
}

std::vector<uint8_t> EncodeCollision(const TileSetDef& set) {
  std::vector<uint8_t> out;
  out.reserve(kFixedTiles * 66);
  for (size_t i = 0; i < kFixedTiles; ++i) {
    PutU16BE(out, 0);
    const TileArt& t = TileOrBlank(set, i);
    out.insert(out.end(), t.collision.begin(), t.collision.end());
  }
  return out;
}
