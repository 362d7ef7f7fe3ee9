// The demo's file writers: tile sets and levels of every layout read back
// through the engine's own loaders, and the palette builder's positions.
#include "lev_writer.h"
#include "level/file_fixture.h"
#include "level/level.h"
#include "level/tile_set.h"
#include "palette.h"
#include "til_writer.h"

namespace {

using DemoWriters = FileTest;

// Tile 1: slope 3, floor 5, two frames stepping with delays 4 and 6. A second
// palette set of 128 cycles only a version-1 file keeps.
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
  set.tintUpperHalf = 0;
  set.cycles.resize(128, CycleDef{{{0, 0, 0}}, {0}, 0, 0});
  set.cycles[100] = CycleDef{{{20, 30, 40}}, {0}, 5, 1};
  s.sets.push_back(set);
  return s;
}

TEST_F(DemoWriters, TileSetsOfEveryVersionReadBack) {
  const TileSetDef set = SmallSet();
  const Bytes v2 = EncodeTileSet(set, 2);
  EXPECT_EQ(EncodeTileSet(set, 0), Bytes(v2.begin() + 5, v2.end()));  // the same body without the header
  Write("0.til", EncodeTileSet(set, 0));
  Write("0.dat", EncodeCollision(set));
  Write("2.til", v2);
  Write("1.til", EncodeTileSet(set, 1));
  for (int v : {0, 2, 1}) {
    SCOPED_TRACE(v);
    LoadTileSet(Path(std::to_string(v) + ".til"));
    ASSERT_EQ(Ints({Tiles.tileCount, Tiles.paletteSetCount}), v == 1 ? Ints({2, 2}) : Ints({2000, 1}));
    const Tile& t = Tiles.tileTable[1];
    EXPECT_EQ(Ints({t.slope, t.floor, t.frameCount, t.stepCount, t.stepDelays[1], t.frames[0][0], t.frames[1][10]}),
              Ints({3, 5, 2, 2, 6, 7, 9}));
    EXPECT_EQ(Ints({t.collision[0], t.collision[63]}), v == 2 ? Ints({0, 0}) : Ints({1, 2}));  // 2 has none
    const PaletteSet& p = Tiles.paletteSets[0];
    EXPECT_EQ(Ints({p.cycles[1].colours[3], p.cycles[1].stepDelays[1], p.rotateWith[1], p.tintBlue}),
              Ints({4, 10, 3, 10}));
  }
  const PaletteSet& second = Tiles.paletteSets[1];
  EXPECT_EQ(Ints({second.tintUpperHalf, second.cycleCount, second.rotateWith[100]}), Ints({0, 128, 5}));
  EXPECT_EQ(second.cycles[100].colours, (Bytes{20, 30, 40}));
}

// A map of w x h cells numbered from `first` (large numbers need both bytes).
TileMap Numbered(int w, int h, uint16_t first) {
  TileMap m{w, h, {}};
  for (int i = 0; i < w * h; ++i) m.cells.push_back(uint16_t(first + i));
  return m;
}

// One H Tiled and two Flat planes in both old layouts; version 1 stores the H
// Tiled plane twice.
TEST_F(DemoWriters, OldLevelsReadBack) {
  OldPlane h, f1, f2;
  h.map = Numbered(2, 2, 500);
  h.rowSpeeds = {24, 30};  // 64/64, and drifting 128 + 16
  h.rowLoops = {5, 300};
  h.otherSpeed = 2;  // 64 / 2; other loop 0 reads as the height (less 2 in version 1)
  f1.map = Numbered(41, 3, 1000);
  f2.map = Numbered(41, 2, 2000);
  Write("0.lev", EncodeLevelV0(h, f1, f2, 340, false));
  Write("00.lev", EncodeLevelV0(h, f1, f2, 340, true));
  Write("1.lev", EncodeLevelV1(h, h, f1, f2, 77));
  for (const std::string name : {"0.lev", "00.lev", "1.lev"}) {
    SCOPED_TRACE(name);
    const bool v1 = name == "1.lev";
    LoadLevel(Path(name));
    ASSERT_EQ(Level.planeCount, v1 ? 4 : 3);
    const Plane& p = Level.planes[v1];
    EXPECT_EQ(Ints({p.type, p.width, p.height, p.otherSpeed, p.otherLoop}), Ints({kHTiled, 41, 26, 32, v1 ? 24 : 26}));
    EXPECT_EQ(Pick(p.tiles, {0, 1, 41, 2}), Ints({500, 501, 502, 0}));
    EXPECT_EQ(Pick(p.lineSpeeds, {0, 1}), Ints({64, 144}));
    EXPECT_EQ(Pick(p.lineLoops, {0, 1}), Ints({5, 300}));
    const Plane &a = Level.planes[v1 ? 2 : 1], &b = Level.planes[v1 ? 3 : 2];
    EXPECT_EQ(Ints({a.type, a.height, a.tiles[41 * 2 + 40]}), Ints({kFlat, 4, 1000 + 41 * 2 + 40}));
    EXPECT_EQ(Pick(b.tiles, {41 + 3, 41 * 2}), Ints({2000 + 41 + 3, 0}));  // nothing below its stored rows
    EXPECT_EQ(Level.levelParameter, v1 ? 77 : 340);
  }
}

TEST(DemoPalette, UpperPositionsTakeTheUpperSlotsAndRotationsNameTheirEnd) {
  PaletteBuilder pal(128, {1, 2, 3});
  EXPECT_EQ(Pick(pal.AddRamp({0, 0, 0}, {63, 63, 63}, 63), {0, 31, 62}), Ints({1, 32, 63}));  // positions 1..63
  EXPECT_EQ(pal.Add({5, 5, 5}), 128);  // position 64 drives slot 128
  EXPECT_EQ(pal.AddRamp({0, 0, 0}, {9, 9, 9}, 4).back(), 132);
  pal.Rotate(5, 8, 3);
  pal.Rotate(129, 132, 7, true);
  const PaletteSetDef set = pal.Build(0, {4, 5, 6});
  ASSERT_EQ(set.cycles.size(), 128u);
  // Backward rotations end 4 past their range's start; position 0 is the backdrop.
  EXPECT_EQ(Ints({set.cycles[5].rotateWith, set.cycles[5].rotateDelay, set.cycles[65].rotateWith}), Ints({8, 3, 68}));
  EXPECT_EQ(Ints({set.cycles[0].colours[0].b, set.cycles[63].colours[0].r}), Ints({3, 63}));
  EXPECT_EQ(set.cycles[127].colours.size(), 1u);  // unused: one black step
  EXPECT_EQ(set.tintUpperHalf, 0);
}

}  // namespace
