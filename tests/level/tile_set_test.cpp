// tile_set_test.cpp: the .til/.dat readers of every version, the opaque flag,
// broken counts and cut files, the tile animation, and the block table the
// renderers read, which must follow all of them.
#include <gtest/gtest.h>

#include <algorithm>

#include "file_fixture.h"
#include "gfx/draw.h"
#include "gfx/frame_buffer.h"
#include "gfx/tile_blit.h"
#include "gfx/tile_blocks.h"
#include "level/tile_set.h"

namespace {

using TileSetTest = FileTest;

// Whether every entry of the tile set's block table shows what its record does.
::testing::AssertionResult TableMatchesRecords() {
  const TileBlocks& table = CurrentTileBlocks();
  if (table.kinds.size() != Tiles.tileTable.size()) return ::testing::AssertionFailure() << "size";
  for (size_t n = 0; n < Tiles.tileTable.size(); ++n) {
    const Tile& t = Tiles.tileTable[n];
    const uint8_t* px = TilePixels(t, 64);
    const bool drawn = px && std::any_of(px, px + 64, [](uint8_t b) { return b != 0; });
    const uint8_t kind = !px ? kNoBlock : t.opaque ? kOpaqueBlock : drawn ? kMergedBlock : kNoBlock;
    if (table.kinds[n] != kind) return ::testing::AssertionFailure() << "kind of tile " << n;
    if (kind != kNoBlock && !std::equal(px, px + 64, table.blocks[n].px.begin()))
      return ::testing::AssertionFailure() << "block of tile " << n;
  }
  return ::testing::AssertionSuccess();
}

TEST_F(TileSetTest, HeaderlessFilesReadTheirDatAndVersionTwoIgnoresIt) {
  Frame counting;
  for (int i = 0; i < 64; ++i) counting[i] = uint8_t(i + 1);
  const Bytes body = FixedBody({TileRec({counting}, {}, 3, 4), TileRec({Filled(9), Filled(8)}, {5, 6})},
                               {CycleRec({{10, 20, 30, 2}, {1, 2, 3, 4}}, 7, 8)});
  // Record i of the .dat: two unused bytes (0xEE, never cells), then row 0 = i + 1.
  Bytes dat;
  for (int i = 0; i < 2000; ++i) dat += Bytes{0xEE, 0xEE} + Bytes(8, uint8_t(i + 1)) + Bytes(56, 0);
  Write("lv.old/1.til", body);  // a dot in the folder must not move the .dat name
  Write("lv.old/1.dat", dat);
  Write("lv.old/2.til", TilHeader(2) + body);
  Write("lv.old/2.dat", dat);
  LoadTileSet(Path("lv.old/1.til"));
  ASSERT_EQ(Tiles.tileCount, 2000);
  const Tile& a = Tiles.tileTable[0];
  EXPECT_EQ(Ints({a.slope, a.floor, a.frames[0][63]}), Ints({3, 4, 64}));  // slope comes first
  EXPECT_EQ(Tiles.tileTable[1].frames[1], Bytes(64, 8));
  const auto& last = Tiles.tileTable[1999].collision;
  EXPECT_EQ(Ints({a.collision[0], last[7], last[8]}), Ints({1, 2000 & 255, 0}));
  const PaletteSet& set = Tiles.paletteSets.at(0);
  EXPECT_EQ(set.cycles[0].colours, (Bytes{10, 20, 30, 1, 2, 3}));
  EXPECT_EQ(set.tintBlue, 3);
  uint8_t rgb[3];
  GetPaletteEntry(0, rgb);
  EXPECT_EQ(Ints({rgb[0], rgb[1], rgb[2]}), Ints({10, 20, 30}));

  LoadTileSet(Path("lv.old/2.til"));
  EXPECT_EQ(Tiles.tileTable[0].frames[0][63], 64);
  EXPECT_EQ(Tiles.tileTable[0].collision, (std::array<uint8_t, 64>{}));
}

TEST_F(TileSetTest, OpacityExcessFramesAndDoubledPixels) {
  Frame holed = Filled(3);
  holed[40] = 0;
  std::vector<Frame> thirty;
  for (int f = 0; f < 30; ++f) thirty.push_back(Filled(uint8_t(f + 1)));
  Write("o.til", TilHeader(2) + FixedBody({TileRec({Filled(1), Filled(2)}), TileRec({Filled(1), holed}), TileRec(),
                                           TileRec(thirty, Bytes(27, 4)), TileRec({Filled(0x42)}, {}, 7)}));
  LoadTileSet(Path("o.til"));
  const auto& t = Tiles.tileTable;
  EXPECT_EQ(Ints({t[0].opaque, t[1].opaque, t[2].opaque}), Ints({1, 0, 1}));  // no frames: nothing transparent
  // Excess frames and delays are read past: the next tile still reads right.
  EXPECT_EQ(Ints({t[3].frameCount, t[3].frames[24][0], t[4].slope, t[4].frames[0][63]}), Ints({25, 25, 7, 0x42}));

  Video.VideoMode = 2;
  LoadTileSet(Path("o.til"));
  EXPECT_EQ(t[0].frames[0], Bytes(128, 1));
  EXPECT_EQ(Pick(t[1].frames[1], {79, 80, 81, 82}), Ints({3, 0, 0, 3}));  // pixel 40 is bytes 80 and 81
}

TEST_F(TileSetTest, VersionOneOfThreeThousandTilesThenVersionZeroShrinks) {
  Bytes f = TilHeader(1) + Bytes{3000 >> 8, 3000 & 255};
  for (int i = 0; i < 3000; ++i) f += TileRec(i == 2999 ? std::vector<Frame>{Filled(6)} : std::vector<Frame>{});
  for (int i = 0; i < 3000; ++i) f += Bytes(64, uint8_t(i % 251));
  f += {2, 0, 2};  // two sets; the first in mode 0 with a cycle of no steps
  f += CycleRec({}) + CycleRec({{5, 6, 7, 1}, {8, 9, 10, 1}}, 3) + Bytes{1, 2, 3};
  f += Bytes{1, 1} + CycleRec({{40, 41, 42, 0}}) + Bytes{4, 5, 6};
  Write("big.til", f);
  LoadTileSet(Path("big.til"));
  ASSERT_EQ(Ints({Tiles.tileCount, Tiles.paletteSetCount}), Ints({3000, 2}));
  EXPECT_EQ(Tiles.tileTable[2999].frames[0], Bytes(64, 6));
  EXPECT_EQ(Tiles.tileTable[2999].collision[63], 2999 % 251);
  const PaletteSet& s0 = Tiles.paletteSets[0];
  EXPECT_EQ(s0.cycles[0].colours, (Bytes{0, 0, 0}));  // still a colour to show
  EXPECT_EQ(Ints({s0.cycleCount, s0.cycles[1].colours[3], Tiles.paletteSets[1].tintBlue}), Ints({2, 8, 6}));

  Write("small.til", FixedBody({}));
  LoadTileSet(Path("small.til"));
  EXPECT_EQ(Ints({Tiles.tileCount, int(Tiles.tileTable.size())}), Ints({2000, 2000}));
}

TEST_F(TileSetTest, CutEmptyOrMissingFilesLeaveUsableTiles) {
  Bytes cut = TilHeader(2) +
              FixedBody({TileRec({Filled(1)}), TileRec({Filled(2)}), TileRec({Filled(3)})}, {CycleRec({{9, 9, 9, 0}})});
  cut.resize(5 + 68 + 4 + 10);  // tile 1 ends after ten pixels
  Write("cut.til", cut);
  Write("none.til", TilHeader(1) + Bytes{0, 0, 0});
  ::testing::internal::CaptureStderr();
  LoadTileSet(Path("cut.til"));
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(Pick(Tiles.tileTable[1].frames[0], {9, 10}), Ints({2, 0}));
  // Tile 2 was never read: blank, with a block to draw.
  EXPECT_EQ(Ints({Tiles.tileTable[2].frameCount, Tiles.paletteSets.at(0).cycles[0].colours[0]}), Ints({1, 0}));
  EXPECT_EQ(Tiles.tileTable[2].frames[0], Bytes(64, 0));
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
  EXPECT_NE(err.find("cut.til"), std::string::npos);

  // No tiles at all: tile 0, the empty cell, still exists.
  ::testing::internal::CaptureStderr();
  LoadTileSet(Path("none.til"));
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(Ints({Tiles.tileCount, Tiles.paletteSetCount}), Ints({1, 0}));

  LoadTileSet(Path("absent.til"));
  EXPECT_EQ(Ints({Tiles.tileCount, Tiles.paletteSets.at(0).tintBlue}), Ints({2000, 12}));
}

// The .dat beside a headerless set takes the place of the set's own
// extension, never of a dot in a folder's name.
TEST(CollisionFileNameTest, ReplacesTheExtensionOfTheFileAlone) {
  EXPECT_EQ(CollisionFileName("g/TILES.TIL"), "g/TILES.dat");
  EXPECT_EQ(CollisionFileName("my.game/TILES"), "my.game/TILES.dat");
#ifdef _WIN32
  EXPECT_EQ(CollisionFileName("C:\\my.game\\TILES"), "C:\\my.game\\TILES.dat");
  EXPECT_EQ(CollisionFileName("C:\\my.game\\TILES.til"), "C:\\my.game\\TILES.dat");
#endif
}

TEST_F(TileSetTest, AnimationStepsAndFramesRunAsTwoCycles) {
  Tiles.tileTable.resize(2);
  Tile& t = Tiles.tileTable[1];
  t.stepCount = 3;
  t.frameCount = 2;
  t.stepDelays = {2, 1, 1};
  TileSetChanged();
  Ints shown;
  for (int i = 0; i < 10; ++i) {
    AdvanceTileAnimations();
    shown.push_back(t.frame);
  }
  EXPECT_EQ(shown, Ints({0, 1, 0, 1, 1, 0, 1, 0, 0, 1}));
  EXPECT_EQ(Tiles.tileTable[0].frame, 0);  // stepCount 0 never moves
}

// The table is read before each change, so a change it misses leaves it stale.
TEST_F(TileSetTest, TheBlockTableFollowsLoadsResizesEditsAndAnimation) {
  Write("a.til", TilHeader(2) +
                     FixedBody({TileRec({Filled(1)}), TileRec({Filled(2), Filled(0)}, {0, 0}), TileRec({Filled(0)})}));
  Frame holed = Filled(4);
  holed[9] = 0;
  Write("b.til", TilHeader(1) + Bytes{0, 3} + TileRec() + TileRec({holed}) + TileRec({Filled(0), Filled(5)}, {1, 1}) +
                     Bytes(3 * 64, 0) + Bytes{0});
  LoadTileSet(Path("a.til"));
  EXPECT_TRUE(TableMatchesRecords());
  // Tile 1's second frame is blank, so it is not opaque; tile 2 draws nothing.
  EXPECT_EQ(Ints({CurrentTileBlocks().kinds[1], CurrentTileBlocks().kinds[2]}), Ints({kMergedBlock, kNoBlock}));
  for (int i = 0; i < 3; ++i) {
    AdvanceTileAnimations();  // tile 1 turns blank and back
    EXPECT_TRUE(TableMatchesRecords()) << "step " << i;
  }
  LoadTileSet(Path("b.til"));
  EXPECT_TRUE(TableMatchesRecords());
  EXPECT_EQ(CurrentTileBlocks().animating, std::vector<uint16_t>{2}) << "only the new set's tiles animate";
  AdvanceTileAnimations();
  AdvanceTileAnimations();
  EXPECT_TRUE(TableMatchesRecords());
  InitTile(Tiles.tileTable[1]);  // its blocks freed
  EXPECT_TRUE(TableMatchesRecords());
  ResizeTileSet(5);
  EXPECT_TRUE(TableMatchesRecords());
  LoadTileSet(Path("absent.til"));
  EXPECT_TRUE(TableMatchesRecords());
  Tiles.tileTable[7].frames[0].assign(64, 3);  // a direct write, then said
  TileSetChanged();
  EXPECT_TRUE(TableMatchesRecords());
}

}  // namespace
