// tile_set.cpp: the tile table, the built-in default set, the .til and .dat
// readers and the per-frame tile animation.
#include "level/tile_set.h"

#include <algorithm>
#include <cstdio>

#include "common/binary_reader.h"
#include "common/limits.h"
#include "common/module_state.h"
#include "common/os_files.h"
#include "gfx/draw.h"
#include "gfx/frame_buffer.h"
#include "gfx/palette_sets.h"
#include "gfx/tile_blocks.h"

TileLoadState TileLoad;

void ResetTileLoad() { TileLoad = {}; }
const ModuleReset kTileLoadReset(ResetTileLoad);

namespace {

constexpr uint8_t kTilMagic[4] = {0x53, 0x54, 0x49, 0x4C};  // "STIL"
constexpr int kFixedCycleCount = 64;
constexpr size_t kDatRecordBytes = 66;
// Smallest tile record: slope, floor, frame count, step count.
constexpr size_t kMinTileRecordBytes = 4;

void Note(const std::string& problem) {
  if (TileLoad.noted) return;
  TileLoad.noted = true;
  std::fprintf(stderr, "%s: %s\n", TileLoad.noteFile.c_str(), problem.c_str());
}

std::vector<uint8_t> BlankBlock() { return std::vector<uint8_t>(TileBlockSize(), 0); }

// A cycle that shows black and never changes: the filler for missing cycles.
PaletteCycle BlackCycle() {
  PaletteCycle c;
  c.stepCount = 1;
  c.stepDelays.assign(1, 0);
  c.colours.assign(3, 0);
  return c;
}

// A tile as ResizeTileSet makes it: one blank frame, not animated.
void MakeFreshTile(Tile& tile) {
  ReleaseTileFrames(tile);
  InitTile(tile);
  tile.frameCount = 1;
  tile.stepCount = 0;
  tile.opaque = 0;
  tile.frames[0] = BlankBlock();
}

// The animation visits 192 positions whatever the file gave; pad with black.
void PadPaletteSet(PaletteSet& set) {
  size_t n = std::max<size_t>(set.cycles.size(), kPalettePositions);
  set.cycles.resize(n, BlackCycle());
  set.rotateWith.resize(n, 0);
  set.rotateDelay.resize(n, 0);
  set.rotateTimer.resize(n, 0);
}

void ReadTileRecord(BinaryReader& in, Tile& tile) {
  ReleaseTileFrames(tile);
  InitTile(tile);
  tile.slope = in.U8();
  tile.floor = in.U8();
  int frames = in.U8(), steps = in.U8();
  // Counts beyond what a tile holds are read past, so the stream stays in step.
  tile.frameCount = uint8_t(std::min(frames, kMaxTileFrames));
  tile.stepCount = uint8_t(std::min(steps, kMaxTileFrames));
  for (int s = 0; s < steps; ++s) {
    uint8_t delay = in.U8();
    if (s < kMaxTileFrames) tile.stepDelays[s] = delay;
  }
  tile.opaque = 1;
  const bool doubled = TileBlockSize() == 128;
  uint8_t pixels[64];
  for (int f = 0; f < frames; ++f) {
    in.Bytes(pixels, sizeof pixels);
    if (f >= kMaxTileFrames) continue;
    std::vector<uint8_t> block = BlankBlock();
    for (int p = 0; p < 64; ++p) {
      if (pixels[p] == 0) tile.opaque = 0;
      if (doubled) {
        block[2 * p] = block[2 * p + 1] = pixels[p];
      } else {
        block[p] = pixels[p];
      }
    }
    tile.frames[f] = std::move(block);
  }
}

// Reads count tile records into tiles first..; once the file has run out the
// rest become fresh blank tiles.
void ReadTileRecords(BinaryReader& in, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (in.AtEnd()) {
      MakeFreshTile(Tiles.tileTable[i]);
    } else {
      ReadTileRecord(in, Tiles.tileTable[i]);
    }
  }
}

void ReadPaletteCycle(BinaryReader& in, PaletteSet& set, int position) {
  PaletteCycle& c = set.cycles[position];
  c = PaletteCycle{};
  c.stepCount = in.U8();
  const size_t kept = std::max<size_t>(c.stepCount, 1);
  c.stepDelays.assign(kept, 0);
  c.colours.assign(kept * 3, 0);
  for (int s = 0; s < c.stepCount; ++s) {
    uint8_t* rgb = &c.colours[s * 3];
    in.Bytes(rgb, 3);
    if (s == 0) SetPaletteEntry(uint16_t(position), rgb);
    c.stepDelays[s] = in.U8();
  }
  set.rotateWith[position] = in.U8();
  set.rotateDelay[position] = in.U8();
  set.rotateTimer[position] = 0;
}

// Reads cycleCount cycles; the ones past the end of the file stay black.
void ReadPaletteCycles(BinaryReader& in, PaletteSet& set) {
  set.cycles.assign(set.cycleCount, BlackCycle());
  set.rotateWith.assign(set.cycleCount, 0);
  set.rotateDelay.assign(set.cycleCount, 0);
  set.rotateTimer.assign(set.cycleCount, 0);
  for (int i = 0; i < set.cycleCount && !in.AtEnd(); ++i) ReadPaletteCycle(in, set, i);
}

void ReadTint(BinaryReader& in, PaletteSet& set) {
  set.tintRed = in.U8();
  set.tintGreen = in.U8();
  set.tintBlue = in.U8();
}

// Versions 0 and 2: 2000 tiles, 64 cycles, a tint.
void ReadFixedTileBody(BinaryReader& in) {
  ResizeTileSet(kFixedTileCount);
  ReadTileRecords(in, kFixedTileCount);
  std::vector<PaletteSet> sets(1);
  sets[0].tintUpperHalf = 1;
  sets[0].cycleCount = kFixedCycleCount;
  ReadPaletteCycles(in, sets[0]);
  ReadTint(in, sets[0]);
  SetPaletteSets(std::move(sets));
}

// Version 1: counted tiles, their collision cells, counted palette sets.
void ReadCountedTileBody(BinaryReader& in) {
  static_assert(kMaxTileCount == 0xFFFF, "the count is two bytes");
  size_t count = in.U16BE();
  const size_t fits = in.Remaining() / kMinTileRecordBytes;
  if (count > fits) {
    Note("tile count " + std::to_string(count) + " does not fit in the file; reading " + std::to_string(fits));
    count = fits;
  }
  if (count == 0) {
    // Tile 0 is the empty cell every plane may name: keep one blank tile.
    Note("holds no tiles; keeping one blank tile");
    ResizeTileSet(1);
    MakeFreshTile(Tiles.tileTable[0]);
  } else {
    ResizeTileSet(uint16_t(count));
    ReadTileRecords(in, count);
  }
  for (size_t i = 0; i < count && !in.AtEnd(); ++i) in.Bytes(Tiles.tileTable[i].collision.data(), 64);

  std::vector<PaletteSet> sets(in.U8());
  size_t read = 0;
  for (; read < sets.size() && !in.AtEnd(); ++read) {
    PaletteSet& set = sets[read];
    set.tintUpperHalf = in.U8();
    set.cycleCount = in.U8();
    ReadPaletteCycles(in, set);
    ReadTint(in, set);
  }
  sets.resize(read);  // sets the file no longer holds are dropped
  SetPaletteSets(std::move(sets));
}

}  // namespace

void SetPaletteSets(std::vector<PaletteSet> sets) {
  for (auto& set : sets) PadPaletteSet(set);
  Tiles.paletteSets = std::move(sets);
  Tiles.paletteSetCount = uint8_t(Tiles.paletteSets.size());
}

size_t TileBlockSize() { return Video.VideoMode == 2 ? 128 : 64; }

void InitTile(Tile& tile) {
  TileSetChanged();
  tile.floor = tile.slope = tile.animTimer = 0;
  tile.frame = tile.step = tile.frameCount = 0;
  // The frames own their blocks, so dropping them cannot leak.
  for (auto& f : tile.frames) std::vector<uint8_t>().swap(f);
  tile.collision.fill(0);
}

void ReleaseTileFrames(Tile& tile) {
  TileSetChanged();
  for (auto& f : tile.frames) std::vector<uint8_t>().swap(f);
}

void ResizeTileSet(uint16_t count) {
  const size_t old = Tiles.tileTable.size();
  Tiles.tileTable.resize(count);
  for (size_t i = old; i < count; ++i) MakeFreshTile(Tiles.tileTable[i]);
  Tiles.tileCount = count;
  TileSetChanged();
}

void BuildDefaultTileSet() {
  ResizeTileSet(kFixedTileCount);
  for (Tile& t : Tiles.tileTable) {
    ReleaseTileFrames(t);
    InitTile(t);
    t.stepCount = 0;
    t.stepDelays.fill(0);
    t.opaque = 0;
    t.frames[0] = BlankBlock();  // a block to draw, though frameCount says 0
  }
  std::vector<PaletteSet> sets(1);
  PaletteSet& set = sets[0];
  set.tintUpperHalf = 1;
  set.cycleCount = kFixedCycleCount;
  set.tintBlue = 12;
  set.cycles.assign(kFixedCycleCount, BlackCycle());
  set.rotateWith.assign(kFixedCycleCount, 0);
  set.rotateDelay.assign(kFixedCycleCount, 0);
  set.rotateTimer.assign(kFixedCycleCount, 0);
  static constexpr uint8_t kBlack[3] = {0, 0, 0};
  for (int i = 0; i < kFixedCycleCount; ++i) SetPaletteEntry(uint16_t(i), kBlack);
  SetPaletteSets(std::move(sets));
}

std::string CollisionFileName(const std::string& tileFileName) {
  const size_t base = OsFileNameStart(tileFileName);
  const size_t dot = tileFileName.find('.', base);
  if (dot == std::string::npos) return tileFileName + ".dat";
  std::string name = tileFileName;
  name.replace(dot, std::min<size_t>(4, name.size() - dot), ".dat");
  return name;
}

void LoadTileSet(const std::string& name) {
  // The tiles in memory belong to the file asked for, even the default set
  // it falls back to.
  Tiles.tileFileName = name;
  auto file = BinaryReader::Open(name, kMaxTileSetBytes);
  if (!file) {
    BuildDefaultTileSet();
    return;
  }
  BinaryReader& in = *file;
  TileLoad = {name, false};

  const int version = ReadMagicVersion(in, kTilMagic);

  switch (version) {
    case 0:
    case 2: ReadFixedTileBody(in); break;
    case 1: ReadCountedTileBody(in); break;
    default:
      Note(version < 0 ? "no version byte; tiles left as they were"
                       : "unknown version " + std::to_string(version) + "; tiles left as they were");
      break;
  }
  if (in.Short()) Note("file ends early; what is missing is blank");
  if (in.Trailing() > 0) Note(std::to_string(in.Trailing()) + " bytes after the end of the tile set are ignored");
  // Version 2 carries its collision cells nowhere: a .dat beside it is ignored.
  if (version == 0) ReadCollisionFile(CollisionFileName(name));
  ApplyPaletteSet();
  TileSetChanged();
}

void ReadCollisionFile(const std::string& name) {
  auto file = BinaryReader::Open(name, kMaxDatBytes);
  if (!file) {
    ClearTileCollision();
    return;
  }
  BinaryReader& in = *file;
  const size_t count = std::min<size_t>(kFixedTileCount, Tiles.tileTable.size());
  if (in.FileSize() < count * kDatRecordBytes)
    std::fprintf(stderr, "%s: file ends early; the missing collision cells are 0\n", name.c_str());
  else if (in.FileSize() > count * kDatRecordBytes)
    std::fprintf(stderr, "%s: %llu bytes after the last tile's cells are ignored\n", name.c_str(),
                 (unsigned long long)(in.FileSize() - count * kDatRecordBytes));
  for (size_t i = 0; i < count; ++i) {
    in.Skip(2);
    in.Bytes(Tiles.tileTable[i].collision.data(), 64);  // zeros past the end
  }
}

void ClearTileCollision() {
  for (Tile& t : Tiles.tileTable) t.collision.fill(0);
}

void AdvanceTileAnimations() {
  // Only the animating tiles are visited: the records lie far apart in memory.
  TileBlocks& table = CurrentTileBlocks();
  for (uint16_t n : table.animating) {
    Tile& t = Tiles.tileTable[n];
    if (t.step >= kMaxTileFrames) t.step = 0;
    if (int(t.stepDelays[t.step]) - 1 <= int(t.animTimer)) {
      t.animTimer = 0;
      t.step = t.step >= t.stepCount - 1 ? 0 : uint8_t(t.step + 1);
      t.frame = t.frame >= t.frameCount - 1 ? 0 : uint8_t(t.frame + 1);
      FillTileBlock(table, t, n);
    } else {
      ++t.animTimer;
    }
  }
}
