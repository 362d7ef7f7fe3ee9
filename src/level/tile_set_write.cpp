// tile_set_write.cpp: writes the tile table and its palette sets as a
// version-1 .til file, the one form that holds every set the loaders read.
#include <algorithm>
#include <cstdio>

#include "common/binary_reader.h"
#include "level/tile_set.h"

namespace {

// A frame's 64 stored pixels: every other byte of a doubled block, zeros for
// a frame without a block.
void PutFrame(std::vector<uint8_t>& out, const std::vector<uint8_t>& block) {
  const size_t step = block.size() >= 128 ? 2 : 1;
  for (size_t p = 0; p < 64; ++p) PutU8(out, p * step < block.size() ? block[p * step] : 0);
}

void PutTile(std::vector<uint8_t>& out, const Tile& t) {
  const int frames = std::min<int>(t.frameCount, kMaxTileFrames);
  const int steps = std::min<int>(t.stepCount, kMaxTileFrames);
  PutU8(out, t.slope);  // slope before floor
  PutU8(out, t.floor);
  PutU8(out, uint32_t(frames));
  PutU8(out, uint32_t(steps));
  for (int s = 0; s < steps; ++s) PutU8(out, t.stepDelays[s]);
  for (int f = 0; f < frames; ++f) PutFrame(out, t.frames[f]);
}

void PutCycle(std::vector<uint8_t>& out, const PaletteSet& set, size_t i) {
  const PaletteCycle& c = set.cycles[i];
  PutU8(out, c.stepCount);
  for (size_t s = 0; s < c.stepCount; ++s) {
    for (size_t k = 0; k < 3; ++k) PutU8(out, s * 3 + k < c.colours.size() ? c.colours[s * 3 + k] : 0);
    PutU8(out, s < c.stepDelays.size() ? c.stepDelays[s] : 0);
  }
  PutU8(out, i < set.rotateWith.size() ? set.rotateWith[i] : 0);
  PutU8(out, i < set.rotateDelay.size() ? set.rotateDelay[i] : 0);
}

}  // namespace

std::vector<uint8_t> EncodeTileSet() {
  std::vector<uint8_t> out = {0x53, 0x54, 0x49, 0x4C, 1};  // "STIL", version 1
  const size_t count = std::min<size_t>({Tiles.tileCount, Tiles.tileTable.size(), kMaxTileCount});
  PutU16BE(out, uint32_t(count));
  for (size_t i = 0; i < count; ++i) PutTile(out, Tiles.tileTable[i]);
  for (size_t i = 0; i < count; ++i)
    out.insert(out.end(), Tiles.tileTable[i].collision.begin(), Tiles.tileTable[i].collision.end());
  const size_t sets = std::min<size_t>(Tiles.paletteSetCount, Tiles.paletteSets.size());
  PutU8(out, uint32_t(sets));
  for (size_t n = 0; n < sets; ++n) {
    const PaletteSet& set = Tiles.paletteSets[n];
    const size_t cycles = std::min<size_t>(set.cycleCount, set.cycles.size());
    PutU8(out, set.tintUpperHalf);
    PutU8(out, uint32_t(cycles));
    for (size_t i = 0; i < cycles; ++i) PutCycle(out, set, i);
    PutU8(out, set.tintRed);
    PutU8(out, set.tintGreen);
    PutU8(out, set.tintBlue);
  }
  return out;
}

bool SaveTileSet(const std::string& name) {
  // Built whole in memory and renamed into place, as a level save is.
  if (WriteFileAtomic(name, EncodeTileSet())) return true;
  std::fprintf(stderr, "%s: cannot write: %s\n", name.c_str(), LastWriteError().c_str());
  return false;
}
