// line_strips_test.cpp: which map rows are kept, copied or merged, what a
// kept line holds, and the wide writes of kept lines.
#include <vector>

#include <gtest/gtest.h>

#include "gfx/line_strips.h"
#include "gfx/tile_blocks.h"
#include "test_support.h"

namespace {

class LineStripsTest : public EngineTest {
 protected:
  // Tile n (1..5) has pixel 10n + row at every column; tile 6 has a hole.
  void SetUp() override {
    EngineTest::SetUp();
    std::vector<Tile> tiles(7);
    for (int n = 1; n <= 6; ++n) {
      Tile& t = tiles[size_t(n)];
      t.frames[0].assign(65, 0);
      t.frameCount = 1;
      for (int i = 0; i < 64; ++i) t.frames[0][size_t(i)] = uint8_t(10 * n + i / 8);
      t.opaque = n != 6;
    }
    tiles[6].frames[0][9] = 0;
    FillTileBlocks(table, tiles);
  }
  TileBlocks table;
};

TEST_F(LineStripsTest, ALineIsTheLoopThenItsFirst320BytesAgain) {
  const std::vector<uint16_t> cells = {9, 9, 9, 3, 1, 5};  // row 1 of a map 3 wide: cells 3..5
  KeptLineRow* row = KeptRow(cells.data(), int64_t(cells.size()), 3, 3, 3, table, false);
  ASSERT_NE(row, nullptr);
  const uint8_t* line = KeptLine(*row, 2, table);
  const int loopTiles[] = {3, 1, 5};
  for (size_t x = 0; x < KeptLineBytes(3); ++x)
    ASSERT_EQ(line[x], 10 * loopTiles[x / 8 % 3] + 2) << x;
}

TEST_F(LineStripsTest, OnlyLoopsOfOpaqueTilesInsideTheMapAreKept) {
  const std::vector<uint16_t> holed = {1, 6, 2}, empty = {1, 0, 2}, unknown = {1, 7, 2}, solid = {1, 2, 3};
  EXPECT_EQ(KeptRow(holed.data(), 3, 3, 0, 3, table, false), nullptr);
  EXPECT_EQ(KeptRow(empty.data(), 3, 3, 0, 3, table, false), nullptr);
  EXPECT_EQ(KeptRow(unknown.data(), 3, 3, 0, 3, table, false), nullptr);
  EXPECT_EQ(KeptRow(solid.data(), 2, 3, 0, 3, table, false), nullptr) << "the loop runs past the map";
  std::vector<uint16_t> wide(kKeptLoopMax + 1, 1);
  EXPECT_EQ(KeptRow(wide.data(), int64_t(wide.size()), int64_t(wide.size()), 0, kKeptLoopMax + 1, table, false),
            nullptr);
  EXPECT_NE(KeptRow(wide.data(), int64_t(wide.size()), int64_t(wide.size()), 0, kKeptLoopMax, table, false), nullptr);
}

// A kept row is made again when any one number of its loop changes, in the
// eight-number steps of the comparison or after them: an edited cell, to
// another opaque tile or to a holed one.
TEST_F(LineStripsTest, AnyChangedNumberOfTheLoopMakesTheRowAgain) {
  for (size_t at = 0; at < 11; ++at) {
    std::vector<uint16_t> cells = {1, 2, 3, 4, 5, 1, 2, 3, 4, 5, 1};
    ASSERT_NE(KeptRow(cells.data(), 11, 11, 0, 11, table, false), nullptr);
    cells[at] = cells[at] == 5 ? 4 : 5;
    KeptLineRow* row = KeptRow(cells.data(), 11, 11, 0, 11, table, false);
    ASSERT_NE(row, nullptr) << at;
    EXPECT_EQ(KeptLine(*row, 0, table)[8 * at], 10 * cells[at]) << at;
    cells[at] = 6;
    EXPECT_EQ(KeptRow(cells.data(), 11, 11, 0, 11, table, false), nullptr) << at;
  }
}

// Rows with holes are merged for a draw that takes them, when enough of the
// loop draws and a merge writes what the tile blits would.
TEST_F(LineStripsTest, RowsWithHolesAreMergedWhereAMergeDrawsTheSame) {
  auto merged = [&](std::vector<uint16_t> cells) {
    KeptLineRow* row = KeptRow(cells.data(), int64_t(cells.size()), int64_t(cells.size()), 0,
                               int64_t(cells.size()), table, true);
    return row && row->merged && !row->opaque;
  };
  EXPECT_TRUE(merged({1, 6, 2}));
  EXPECT_TRUE(merged({9, 0, 0, 6}));
  EXPECT_FALSE(merged({0, 0, 0, 0, 6})) << "one tile in five";
  const std::vector<uint16_t> holed = {1, 6, 2};
  EXPECT_EQ(KeptRow(holed.data(), 3, 3, 0, 3, table, false), nullptr) << "only opaque rows for the cover pass";
  EXPECT_FALSE(merged({1, 2, 3})) << "opaque rows are copied";

  // An opaque tile with a 0 byte is copied whole: a merge would leave it out.
  std::vector<Tile> tiles(3);
  for (Tile& t : tiles) t.frames[0].assign(65, 4), t.frameCount = 1, t.opaque = 1;
  tiles[2].opaque = 0;
  tiles[2].frames[0][5] = 0;
  tiles[1].frames[0][7] = 0;
  TileBlocks odd;
  FillTileBlocks(odd, tiles);
  std::vector<uint16_t> cells = {1, 2};
  EXPECT_EQ(KeptRow(cells.data(), 2, 2, 0, 2, odd, true), nullptr);
  // Tile 0 with pixels shows in an H Lined line's edge slices.
  tiles[1].frames[0][7] = 4;
  FillTileBlocks(odd, tiles);
  cells = {0, 2, 1};
  EXPECT_EQ(KeptRow(cells.data(), 3, 3, 0, 3, odd, true), nullptr);
  cells = {1, 2, 1};
  EXPECT_NE(KeptRow(cells.data(), 3, 3, 0, 3, odd, true), nullptr);
}

// A merged line holds 0 where a cell draws nothing, and writes only its other bytes.
TEST_F(LineStripsTest, AMergedLineWritesOnlyWhatItsTilesDraw) {
  const std::vector<uint16_t> cells = {6, 0, 7, 2};  // holed, empty, past the table, solid
  KeptLineRow* row = KeptRow(cells.data(), 4, 4, 0, 4, table, true);
  ASSERT_NE(row, nullptr);
  const uint8_t* line = KeptLine(*row, 1, table);
  std::vector<uint8_t> dst(2 * 400, 0xEE);
  PutKeptLines(*row, dst.data(), 400, line, 320, 1);
  for (size_t x = 0; x < 400; ++x) {
    const size_t cell = x / 8 % 4;
    const uint8_t drawn = x >= 320 ? 0 : cell == 0 ? (x % 8 == 1 ? 0 : 61) : cell == 3 ? 21 : 0;
    ASSERT_EQ(dst[x], drawn ? drawn : 0xEE) << x;
  }
}

// Every length a screen line takes (320 less the first tile's cut), each row
// its own bytes and none past them.
TEST_F(LineStripsTest, TheWideCopyWritesEachRowsBytesAndNoMore) {
  std::vector<uint8_t> src(3 * 400);
  for (size_t i = 0; i < src.size(); ++i) src[i] = uint8_t(1 + i % 251);
  for (size_t n = 313; n <= 320; ++n) {
    std::vector<uint8_t> dst(3 * 360, 0xEE);
    CopyKeptLines(dst.data(), 360, src.data() + 5, 400, n, 3);
    for (size_t r = 0; r < 3; ++r)
      for (size_t x = 0; x < 360; ++x)
        ASSERT_EQ(dst[r * 360 + x], x < n ? src[r * 400 + 5 + x] : 0xEE) << "n " << n << " row " << r << " at " << x;
  }
}

}  // namespace
