// The demo's file writers: .til bytes laid out by hand, and tile sets and
// levels of every layout read back through the engine's own loaders.
#include <unistd.h>

#include <filesystem>
#include <string>

#include "common/binary_reader.h"
#include "level/level.h"
#include "level/tile_set.h"
#include "lev_writer.h"
#include "palette.h"
#include "test_support.h"
#include "til_writer.h"

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

namespace {

class DemoWriters : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    dir_ = fs::temp_directory_path() / ("tarn_writers_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    fs::remove_all(dir_);
    EngineTest::TearDown();
  }
  std::string Put(const std::string& name, const Bytes& bytes) {
    std::string path = (dir_ / name).string();
    EXPECT_TRUE(WriteFileAtomic(path, bytes));
    return path;
  }
  fs::path dir_;
};

TilePixels Filled(uint8_t v) {
  TilePixels p;
  p.fill(v);
  return p;
}

// Tile 1: slope 3, floor 5, two frames stepping with delays 4 and 6.
TileSetDef SmallSet() {
  TileSetDef s;
  s.tiles.push_back(TileArt{{Filled(0)}, {}, 0, 0, {}});
  TileArt t{{Filled(7), Filled(9)}, {4, 6}, 3, 5, {}};
  t.collision[0] = 1, t.collision[63] = 2;
  s.tiles.push_back(t);
  PaletteSetDef set;
  set.tint = {8, 9, 10};
  set.cycles.resize(64, CycleDef{{{0, 0, 0}}, {0}, 0, 0});
  set.cycles[1] = CycleDef{{{1, 2, 3}, {4, 5, 6}}, {9, 10}, 3, 2};
  s.sets.push_back(set);
  return s;
}

TEST_F(DemoWriters, FixedTileBodyIsLaidOutAsTheLoaderReadsIt) {
  Bytes v2 = EncodeTileSet(SmallSet(), 2);
  ASSERT_GE(v2.size(), 5u + 68u + 134u);
  EXPECT_EQ(Bytes(v2.begin(), v2.begin() + 5), (Bytes{'S', 'T', 'I', 'L', 2}));
  // Tile 0: slope, floor, one frame, no steps, 64 pixels.
  EXPECT_EQ(Bytes(v2.begin() + 5, v2.begin() + 9), (Bytes{0, 0, 1, 0}));
  // Tile 1 follows at 5 + 68: slope before floor, counts, delays, then the frames.
  EXPECT_EQ(Bytes(v2.begin() + 73, v2.begin() + 79), (Bytes{3, 5, 2, 2, 4, 6}));
  EXPECT_EQ(v2[79], 7);
  EXPECT_EQ(v2[79 + 63], 7);
  EXPECT_EQ(v2[79 + 64], 9);
  // 2000 tiles (1998 blank pads of 68 bytes), 64 cycles of 7 bytes but cycle 1
  // with 11, then the tint.
  EXPECT_EQ(v2.size(), 5u + 68u + 134u + 1998u * 68u + 63u * 7u + 11u + 3u);
  size_t cycle1 = v2.size() - 3 - 62 * 7 - 11;
  EXPECT_EQ(Bytes(v2.begin() + long(cycle1), v2.begin() + long(cycle1) + 11), (Bytes{2, 1, 2, 3, 9, 4, 5, 6, 10, 3, 2}));
  EXPECT_EQ(Bytes(v2.end() - 3, v2.end()), (Bytes{8, 9, 10}));
  // Version 0 is the same body with no header.
  Bytes v0 = EncodeTileSet(SmallSet(), 0);
  EXPECT_EQ(v0, Bytes(v2.begin() + 5, v2.end()));
}

TEST_F(DemoWriters, CollisionFileHasTwoSpareBytesPerRecord) {
  Bytes dat = EncodeCollision(SmallSet());
  ASSERT_EQ(dat.size(), 2000u * 66u);
  EXPECT_EQ(dat[66], 0);
  EXPECT_EQ(dat[67], 0);
  EXPECT_EQ(dat[68], 1);            // tile 1, cell 0
  EXPECT_EQ(dat[66 + 2 + 63], 2);   // tile 1, cell 63
  EXPECT_EQ(dat[2 * 66 + 2], 0);    // pads are empty
}

TEST_F(DemoWriters, VersionZeroSetAndItsDatLoad) {
  Put("7.til", EncodeTileSet(SmallSet(), 0));
  Put("7.dat", EncodeCollision(SmallSet()));
  LoadTileSet((dir_ / "7.til").string());
  ASSERT_EQ(Tiles.tileCount, 2000);
  const Tile& t = Tiles.tileTable[1];
  EXPECT_EQ(t.slope, 3);
  EXPECT_EQ(t.floor, 5);
  EXPECT_EQ(t.frameCount, 2);
  EXPECT_EQ(t.stepCount, 2);
  EXPECT_EQ(t.stepDelays[1], 6);
  EXPECT_EQ(t.frames[1][10], 9);
  EXPECT_EQ(t.collision[0], 1);
  EXPECT_EQ(t.collision[63], 2);
  EXPECT_EQ(Tiles.paletteSets[0].tintBlue, 10);
  EXPECT_EQ(Tiles.paletteSets[0].rotateWith[1], 3);
}

TEST_F(DemoWriters, CountedSetKeepsItsCountCollisionAndEverySet) {
  TileSetDef s = SmallSet();
  PaletteSetDef second = s.sets[0];
  second.tintUpperHalf = 0;
  second.cycles.resize(128, CycleDef{{{0, 0, 0}}, {0}, 0, 0});
  second.cycles[100] = CycleDef{{{20, 30, 40}}, {0}, 5, 1};
  s.sets.push_back(second);
  LoadTileSet(Put("8.til", EncodeTileSet(s, 1)));
  ASSERT_EQ(Tiles.tileCount, 2);
  EXPECT_EQ(Tiles.tileTable[1].collision[63], 2);
  EXPECT_EQ(Tiles.tileTable[1].frames[0][0], 7);
  ASSERT_EQ(Tiles.paletteSetCount, 2);
  const PaletteSet& p = Tiles.paletteSets[1];
  EXPECT_EQ(p.tintUpperHalf, 0);
  EXPECT_EQ(p.cycleCount, 128);
  EXPECT_EQ(p.cycles[100].colours, (std::vector<uint8_t>{20, 30, 40}));
  EXPECT_EQ(p.rotateWith[100], 5);
}

// A map of w x h cells numbered from `first` (large numbers need both bytes).
TileMap Numbered(int w, int h, uint16_t first) {
  TileMap m{w, h, {}};
  for (int i = 0; i < w * h; ++i) m.cells.push_back(uint16_t(first + i));
  return m;
}

TEST_F(DemoWriters, OldValuesAreBase254AndCellsColumnMajor) {
  OldPlane flat;
  flat.map = Numbered(2, 2, 300);  // 300 = 1 x 254 + 46
  OldPlane hTiled;
  hTiled.map = Numbered(1, 1, 1);
  Bytes v0 = EncodeLevelV0(hTiled, flat, flat, 340, false);
  // No header; the first Flat plane comes first: width, height, then (0,0), (0,1), (1,0).
  EXPECT_EQ(Bytes(v0.begin(), v0.begin() + 10), (Bytes{0, 2, 0, 2, 1, 46, 1, 48, 1, 47}));
}

TEST_F(DemoWriters, VersionZeroLevelReadsBack) {
  OldPlane hTiled;
  hTiled.map = Numbered(2, 2, 500);
  hTiled.rowSpeeds = {24, 30};  // 64/64, and drifting 128 + 16
  hTiled.rowLoops = {5, 300};
  hTiled.otherSpeed = 2;  // 64 / 2
  hTiled.otherLoop = 0;   // reads as the height
  OldPlane flat1, flat2;
  flat1.map = Numbered(41, 3, 1000);
  flat2.map = Numbered(41, 2, 2000);
  LoadLevel(Put("9.lev", EncodeLevelV0(hTiled, flat1, flat2, 340, false)));
  ASSERT_EQ(Level.planeCount, 3);
  const Plane& h = Level.planes[0];
  EXPECT_EQ(h.type, kHTiled);
  EXPECT_EQ(h.width, 41);
  EXPECT_EQ(h.height, 26);
  EXPECT_EQ(h.tiles[0], 500);
  EXPECT_EQ(h.tiles[1], 501);
  EXPECT_EQ(h.tiles[41], 502);
  EXPECT_EQ(h.tiles[2], 0);
  EXPECT_EQ(h.lineSpeeds[0], 64);
  EXPECT_EQ(h.lineSpeeds[1], 144);
  EXPECT_EQ(h.lineLoops[0], 5);
  EXPECT_EQ(h.lineLoops[1], 300);
  EXPECT_EQ(h.otherSpeed, 32);
  EXPECT_EQ(h.otherLoop, 26);
  EXPECT_EQ(Level.planes[1].type, kFlat);
  EXPECT_EQ(Level.planes[1].height, 4);
  EXPECT_EQ(Level.planes[1].tiles[41 * 2 + 40], 1000 + 41 * 2 + 40);
  EXPECT_EQ(Level.planes[2].tiles[41 + 3], 2000 + 41 + 3);
  EXPECT_EQ(Level.planes[2].tiles[41 * 2], 0);  // below its stored rows
  EXPECT_EQ(Level.levelParameter, 340);
}

TEST_F(DemoWriters, VersionOneLevelReadsBack) {
  OldPlane h0, h1, flat2, flat3;
  h0.map = Numbered(3, 1, 10);
  h0.rowSpeeds = {12};
  h0.rowLoops = {3};
  h0.otherLoop = 26;
  h1.map = Numbered(50, 30, 20);
  h1.rowSpeeds.assign(30, 26);  // drifting 128 + 5
  h1.rowLoops.assign(30, 48);
  h1.otherSpeed = 4;
  h1.otherLoop = 30;
  flat2.map = Numbered(45, 2, 4000);
  flat3.map = Numbered(45, 1, 6000);
  LoadLevel(Put("10.lev", EncodeLevelV1(h0, h1, flat2, flat3, 77)));
  ASSERT_EQ(Level.planeCount, 4);
  EXPECT_EQ(Level.planes[0].lineSpeeds[0], 32);
  EXPECT_EQ(Level.planes[0].tiles[2], 12);
  EXPECT_EQ(Level.planes[1].width, 50);
  EXPECT_EQ(Level.planes[1].height, 30);
  EXPECT_EQ(Level.planes[1].lineSpeeds[29], 133);
  EXPECT_EQ(Level.planes[1].lineLoops[29], 48);
  EXPECT_EQ(Level.planes[1].otherSpeed, 16);
  EXPECT_EQ(Level.planes[1].tiles[50 * 29 + 49], 20 + 50 * 29 + 49);
  EXPECT_EQ(Level.planes[2].type, kFlat);
  EXPECT_EQ(Level.planes[2].tiles[45 + 44], 4000 + 45 + 44);
  EXPECT_EQ(Level.planes[3].tiles[44], 6000 + 44);
  EXPECT_EQ(Level.planes[3].tiles[45], 0);
  EXPECT_EQ(Level.levelParameter, 77);
}

TEST_F(DemoWriters, VersionTwoLevelKeepsLinesLoopsAndCells) {
  PlaneDef lined = MakePlane(kHLined, Numbered(3, 2, 1));
  for (int y = 0; y < 16; ++y) lined.speeds.push_back(uint8_t(130 + y)), lined.loops.push_back(2);
  lined.otherLoop = 2;
  lined.otherSpeed = 200;
  PlaneDef flat = MakePlane(kFlat, Numbered(4, 1, 40));
  flat.priority = 9;
  std::string path = (dir_ / "11.lev").string();
  ASSERT_TRUE(SaveLevelV2(path, {lined, flat}, 123));
  ResetLevel();
  LoadLevel(path);
  ASSERT_EQ(Level.planeCount, 2);
  const Plane& p = Level.planes[0];
  EXPECT_EQ(p.type, kHLined);
  EXPECT_EQ(p.lineSpeeds[15], 145);
  EXPECT_EQ(p.lineLoops[15], 2);
  EXPECT_EQ(p.otherLoop, 2);
  EXPECT_EQ(p.otherSpeed, 200);
  EXPECT_EQ(p.tiles[size_t(p.width) + 2], 6);
  EXPECT_EQ(Level.planes[1].tiles[3], 43);
  EXPECT_EQ(Level.planes[1].priority, 9);
  EXPECT_EQ(Level.levelParameter, 123);
}

TEST(DemoPalette, UpperPositionsTakeTheUpperSlotsAndRotationsNameTheirEnd) {
  PaletteBuilder pal(128, {1, 2, 3});
  Ramp first = pal.AddRamp({0, 0, 0}, {63, 63, 63}, 63);  // positions 1..63
  EXPECT_EQ(first.front(), 1);
  EXPECT_EQ(first.back(), 63);
  EXPECT_EQ(first[31], 32);
  uint8_t next = pal.Add({5, 5, 5});
  EXPECT_EQ(next, 128);  // position 64 drives slot 128
  Ramp more = pal.AddRamp({0, 0, 0}, {9, 9, 9}, 4);
  EXPECT_EQ(more.back(), 132);
  pal.Rotate(5, 8, 3);
  pal.Rotate(129, 132, 7, true);
  PaletteSetDef set = pal.Build(0, {4, 5, 6});
  ASSERT_EQ(set.cycles.size(), 128u);
  EXPECT_EQ(set.cycles[5].rotateWith, 8);
  EXPECT_EQ(set.cycles[5].rotateDelay, 3);
  EXPECT_EQ(set.cycles[65].rotateWith, 64 + 4);  // backward, ending 4 past its range's start
  EXPECT_EQ(set.cycles[0].colours[0].b, 3);       // the backdrop
  EXPECT_EQ(set.cycles[63].colours[0].r, 63);
  EXPECT_EQ(set.cycles[127].colours.size(), 1u);  // unused: one black step
  EXPECT_EQ(set.tintUpperHalf, 0);
}

}  // namespace
