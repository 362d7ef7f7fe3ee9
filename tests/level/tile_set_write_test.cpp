// tile_set_write_test.cpp: SaveTileSet writes what every tile file version
// loads to, and a failed write keeps the old file.
#include <gtest/gtest.h>

#include "file_fixture.h"
#include "level/tile_set.h"

namespace {

using TileSetWriteTest = FileTest;

TEST_F(TileSetWriteTest, EveryVersionLoadsBackTheSame) {
  // Version 0 (with its .dat), 1 with two palette sets, 2; animated and holed tiles, cycles that rotate.
  Bytes animated = TileRec({Filled(5), Filled(0), Filled(9)}, {3, 0}, 2, 7);
  const Bytes cycles = CycleRec({{1, 2, 3, 4}, {5, 6, 7, 0}}, 9, 2);
  // Built by appending: GCC 12 warns wrongly on sums of short vectors.
  Bytes v1 = TilHeader(1);
  auto add = [&](std::initializer_list<uint8_t> b) { v1 += Bytes(b); };
  add({0, 3});
  v1 += TileRec();
  v1 += animated;
  v1 += TileRec({Filled(1)});
  for (int t = 0; t < 3; ++t) v1.insert(v1.end(), 64, uint8_t(t));
  add({2, 1, 1});
  v1 += cycles;
  add({4, 5, 6, 2, 0, 7, 8, 9});
  Bytes dat;
  for (int i = 0; i < 2000; ++i) {
    dat.insert(dat.end(), 2, 0);
    dat.insert(dat.end(), 64, uint8_t(i % 3));
  }
  const std::vector<std::pair<std::string, Bytes>> files = {
      {"v0.til", FixedBody({TileRec(), animated}, {cycles})},
      {"v1.til", v1},
      {"v2.til", TilHeader(2) + FixedBody({TileRec(), animated}, {cycles})}};
  Write("v0.dat", dat);
  for (const auto& [name, bytes] : files) {
    Write(name, bytes);
    LoadTileSet(Path(name));
    const TileSetState before = Tiles;
    ASSERT_TRUE(SaveTileSet(Path("out.til")));
    LoadTileSet(Path("out.til"));
    ASSERT_EQ(Tiles.tileCount, before.tileCount) << name;
    for (size_t i = 0; i < Tiles.tileCount; ++i) {
      const Tile &a = Tiles.tileTable[i], &b = before.tileTable[i];
      ASSERT_TRUE(a.frames == b.frames && a.stepDelays == b.stepDelays && a.collision == b.collision &&
                  a.frameCount == b.frameCount && a.stepCount == b.stepCount && a.floor == b.floor &&
                  a.slope == b.slope && a.opaque == b.opaque)
          << name << " tile " << i;
    }
    ASSERT_EQ(Tiles.paletteSetCount, before.paletteSetCount) << name;
    for (size_t n = 0; n < Tiles.paletteSets.size(); ++n) {
      const PaletteSet &a = Tiles.paletteSets[n], &b = before.paletteSets[n];
      EXPECT_TRUE(a.cycleCount == b.cycleCount && a.tintUpperHalf == b.tintUpperHalf && a.tintRed == b.tintRed &&
                  a.tintGreen == b.tintGreen && a.tintBlue == b.tintBlue && a.rotateWith == b.rotateWith &&
                  a.rotateDelay == b.rotateDelay)
          << name << " set " << n;
      for (size_t c = 0; c < a.cycles.size(); ++c)
        EXPECT_TRUE(a.cycles[c].colours == b.cycles[c].colours && a.cycles[c].stepDelays == b.cycles[c].stepDelays &&
                    a.cycles[c].stepCount == b.cycles[c].stepCount)
            << name << " set " << n << " cycle " << c;
    }
    // Written again, the same bytes: nothing drifts.
    EXPECT_TRUE(EncodeTileSet() == Read("out.til")) << name;
  }
}

TEST_F(TileSetWriteTest, AFailedWriteKeepsTheOldFile) {
  Write("keep.til", Bytes{1, 2, 3});
  BuildDefaultTileSet();
  FailNextWrite(100);
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(SaveTileSet(Path("keep.til")));
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("keep.til: cannot write"), std::string::npos);
  EXPECT_EQ(Read("keep.til"), (Bytes{1, 2, 3}));
}

}  // namespace
