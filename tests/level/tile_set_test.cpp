// tile_set_test.cpp: the .til/.dat readers of every version, the opaque flag,
// broken counts and cut files, and the tile animation.
#include <gtest/gtest.h>

#include <algorithm>

#include "file_fixture.h"
#include "gfx/draw.h"
#include "gfx/frame_buffer.h"
#include "level/tile_set.h"

namespace {

using TileSetTest = FileTest;
using Rgb = std::array<uint8_t, 3>;

Rgb Slot(uint16_t slot) {
  Rgb rgb;
  GetPaletteEntry(slot, rgb.data());
  return rgb;
}

// Record i: two unused bytes (0xEE, never cells), then row 0 = i + 1.
Bytes DatFile() {
  Bytes out;
  for (int i = 0; i < 2000; ++i) {
    out += {0xEE, 0xEE};
    for (int c = 0; c < 64; ++c) out.push_back(c < 8 ? uint8_t(i + 1) : 0);
  }
  return out;
}

TEST_F(TileSetTest, HeaderlessFilesReadTheirDatAndVersionTwoIgnoresIt) {
  Frame counting;
  for (int i = 0; i < 64; ++i) counting[i] = uint8_t(i + 1);
  const Bytes body = FixedBody({TileRec({counting}, {}, 3, 4), TileRec({Filled(9), Filled(8)}, {5, 6})},
                               {CycleRec({{10, 20, 30, 2}, {1, 2, 3, 4}}, 7, 8)});
  Write("lv.old/1.til", body);  // a dot in the folder must not move the .dat name
  Write("lv.old/1.dat", DatFile());
  LoadTileSet(Path("lv.old/1.til"));
  ASSERT_EQ(Tiles.tileCount, 2000);
  const Tile& a = Tiles.tileTable[0];
  EXPECT_EQ(a.slope, 3);  // slope comes first in the file
  EXPECT_EQ(a.floor, 4);
  EXPECT_EQ(a.frames[0][63], 64);
  EXPECT_EQ(Tiles.tileTable[1].frames[1], Bytes(64, 8));
  EXPECT_EQ(a.collision[0], 1);
  EXPECT_EQ(Tiles.tileTable[1999].collision[7], uint8_t(2000));
  EXPECT_EQ(Tiles.tileTable[1999].collision[8], 0);
  const PaletteSet& set = Tiles.paletteSets.at(0);
  EXPECT_EQ(set.cycles[0].colours, (Bytes{10, 20, 30, 1, 2, 3}));
  EXPECT_EQ(set.tintBlue, 3);
  EXPECT_EQ(Slot(0), (Rgb{10, 20, 30}));

  Write("lv.old/2.til", TilHeader(2) + body);
  Write("lv.old/2.dat", DatFile());
  LoadTileSet(Path("lv.old/2.til"));
  EXPECT_EQ(Tiles.tileTable[0].frames[0][63], 64);
  EXPECT_EQ(Tiles.tileTable[0].collision, (std::array<uint8_t, 64>{}));
}

TEST_F(TileSetTest, OpacityCountsAboveTwentyFiveAndDoubledPixels) {
  Frame holed = Filled(3);
  holed[40] = 0;
  std::vector<Frame> thirty;
  for (int f = 0; f < 30; ++f) thirty.push_back(Filled(uint8_t(f + 1)));
  Write("o.til", TilHeader(2) + FixedBody({TileRec({Filled(1), Filled(2)}), TileRec({Filled(1), holed}), TileRec(),
                                           TileRec(thirty, Bytes(27, 4)), TileRec({Filled(0x42)}, {}, 7)}));
  LoadTileSet(Path("o.til"));
  EXPECT_EQ(Tiles.tileTable[0].opaque, 1);
  EXPECT_EQ(Tiles.tileTable[1].opaque, 0);
  EXPECT_EQ(Tiles.tileTable[2].opaque, 1);  // no frames: nothing transparent
  // Excess frames and delays are read past: the next tile still reads right.
  EXPECT_EQ(Tiles.tileTable[3].frameCount, 25);
  EXPECT_EQ(Tiles.tileTable[3].frames[24], Bytes(64, 25));
  EXPECT_EQ(Tiles.tileTable[4].slope, 7);
  EXPECT_EQ(Tiles.tileTable[4].frames[0], Bytes(64, 0x42));

  Video.VideoMode = 2;
  LoadTileSet(Path("o.til"));
  Bytes doubled(128, 1);
  EXPECT_EQ(Tiles.tileTable[0].frames[0], doubled);
  EXPECT_EQ(Tiles.tileTable[1].frames[1][81], 0);  // pixel 40 is bytes 80 and 81
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
  ASSERT_EQ(Tiles.tileCount, 3000);
  EXPECT_EQ(Tiles.tileTable[2999].frames[0], Bytes(64, 6));
  EXPECT_EQ(Tiles.tileTable[2999].collision[63], 2999 % 251);
  ASSERT_EQ(Tiles.paletteSetCount, 2);
  const PaletteSet& s0 = Tiles.paletteSets[0];
  EXPECT_EQ(s0.cycleCount, 2);
  EXPECT_EQ(s0.cycles[0].colours, (Bytes{0, 0, 0}));  // still a colour to show
  EXPECT_EQ(s0.cycles[1].colours[3], 8);
  EXPECT_EQ(Tiles.paletteSets[1].tintBlue, 6);

  Write("small.til", FixedBody({}));
  LoadTileSet(Path("small.til"));
  EXPECT_EQ(Tiles.tileCount, 2000);
  EXPECT_EQ(Tiles.tileTable.size(), 2000u);
}

TEST_F(TileSetTest, CutOrEmptyFilesLeaveUsableTiles) {
  Bytes cut = TilHeader(2) + FixedBody({TileRec({Filled(1)}), TileRec({Filled(2)}), TileRec({Filled(3)})},
                                       {CycleRec({{9, 9, 9, 0}})});
  cut.resize(5 + 68 + 4 + 10);  // tile 1 ends after ten pixels
  Write("cut.til", cut);
  ::testing::internal::CaptureStderr();
  LoadTileSet(Path("cut.til"));
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(Tiles.tileTable[1].frames[0][9], 2);
  EXPECT_EQ(Tiles.tileTable[1].frames[0][10], 0);
  EXPECT_EQ(Tiles.tileTable[2].frameCount, 1);  // never read: blank, with a block to draw
  EXPECT_EQ(Tiles.tileTable[2].frames[0], Bytes(64, 0));
  EXPECT_EQ(Tiles.paletteSets.at(0).cycles[0].colours[0], 0);
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
  EXPECT_NE(err.find("cut.til"), std::string::npos);

  // No tiles at all: tile 0, the empty cell, still exists.
  Write("none.til", TilHeader(1) + Bytes{0, 0, 0});
  ::testing::internal::CaptureStderr();
  LoadTileSet(Path("none.til"));
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(Tiles.tileCount, 1);
  EXPECT_EQ(Tiles.paletteSetCount, 0);

  LoadTileSet(Path("absent.til"));
  EXPECT_EQ(Tiles.tileCount, 2000);
  EXPECT_EQ(Tiles.paletteSets.at(0).tintBlue, 12);
}

TEST_F(TileSetTest, AnimationStepsAndFramesRunAsTwoCycles) {
  Tiles.tileTable.resize(2);
  Tile& t = Tiles.tileTable[1];
  t.stepCount = 3;
  t.frameCount = 2;
  t.stepDelays = {2, 1, 1};
  std::vector<int> shown;
  for (int i = 0; i < 10; ++i) {
    AdvanceTileAnimations();
    shown.push_back(t.frame);
  }
  EXPECT_EQ(shown, (std::vector<int>{0, 1, 0, 1, 1, 0, 1, 0, 0, 1}));
  EXPECT_EQ(Tiles.tileTable[0].frame, 0);  // stepCount 0 never moves
}

}  // namespace
