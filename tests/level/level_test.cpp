// level_test.cpp: the level reader for version 2, the older versions 1 and 0
// with their units, and the files that must fall back to a new level.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <tuple>

#include "file_fixture.h"
#include "level/level.h"

namespace {

using LevelTest = FileTest;

uint16_t Cell(const Plane& p, int x, int y) { return p.tiles.at(size_t(y) * p.width + x); }

// A version-2 plane record; lines are (loop, speed) pairs.
Bytes PlaneV2(uint8_t type, uint32_t w, uint32_t h, const std::vector<std::pair<int, int>>& lines, int otherLoop,
              const std::vector<uint16_t>& cells) {
  Bytes out = {type};
  PutU32BE(out, w), PutU32BE(out, h);
  for (auto [loop, speed] : lines) out += {uint8_t(loop >> 8), uint8_t(loop), uint8_t(speed)};
  if (type != kFlat) out += {uint8_t(otherLoop >> 8), uint8_t(otherLoop), 9};
  out += {0, 7};  // priority
  for (uint16_t c : cells) PutU16BE(out, c);
  return out;
}

TEST_F(LevelTest, VersionTwoPadsPlanesAndDefaultsTheUnstoredRows) {
  std::vector<uint16_t> cells(50);
  std::iota(cells.begin(), cells.end(), 1);
  Write("a.lev", LevHeader(2) + Bytes{3} + PlaneV2(kFlat, 10, 5, {}, 0, cells) +
                     PlaneV2(kHTiled, 1, 5, {{100, 10}, {101, 11}, {102, 12}, {103, 13}, {0, 14}}, 7, {2, 2, 2, 2, 2}) +
                     PlaneV2(kRelative, 0, 0, {{0, 5}}, 0, {}) + Bytes{1, 2});
  Level.viewY = 5;
  LoadLevel(Path("a.lev"));
  ASSERT_EQ(Level.planeCount, 3);
  EXPECT_EQ(Ints({Level.viewY, Level.levelParameter}), Ints({0, 258}));

  const Plane& flat = Level.planes[0];
  EXPECT_EQ(Ints({flat.width, flat.height, flat.wrapCells, flat.priority}), Ints({81, 61, 81 * 61, 7}));
  EXPECT_EQ(flat.tiles.size(), 62u * 81);  // one spare row
  EXPECT_EQ(Ints({Cell(flat, 0, 1), Cell(flat, 9, 4)}), Ints({11, 50}));
  EXPECT_EQ(std::count(flat.tiles.begin(), flat.tiles.end(), 0), long(flat.tiles.size() - 50));

  // A loop of 0 would divide by zero; rows not stored keep the defaults.
  const Plane& tiled = Level.planes[1];
  EXPECT_EQ(Pick(tiled.lineLoops, {3, 4, 5}), Ints({103, 1, 81}));
  EXPECT_EQ(Pick(tiled.lineSpeeds, {3, 60}), Ints({13, 8}));
  EXPECT_EQ(tiled.wrapCells, 7 * 81);
  EXPECT_EQ(Level.planes[2].otherLoop, 1);
}

TEST_F(LevelTest, VersionOneFileBuiltByteByByte) {
  Bytes f = LevHeader(1);
  for (int v : {2, 4, 1, 2, 3, 4, 300, 6, 7, 8}) PutOld(f, v);  // plane 0, H Tiled 2 x 4, column by column
  for (auto [speed, loop] : {std::pair{24, 10}, {12, 264}, {25, 5}, {48, 5}}) {
    PutU8(f, uint32_t(speed));
    PutOld(f, loop);
  }
  f += {2, 0, 0};                                             // other speed 2; other loop 0: height - 2
  f += {0, 0, 0, 0, 3, 0, 5};                                 // plane 1, empty; other speed 3, other loop 5
  for (int v : {3, 2, 11, 12, 13, 14, 15, 16}) PutOld(f, v);  // plane 2, Flat 3 x 2
  for (int v : {5, 1, 21, 22, 23, 340}) PutOld(f, v);         // plane 3, stored 5 x 1, read as wide as plane 2
  Write("v1.lev", f);
  LoadLevel(Path("v1.lev"));

  ASSERT_EQ(Level.planeCount, 4);
  const Plane& a = Level.planes[0];
  EXPECT_EQ(Ints({a.width, a.height, Cell(a, 1, 0), a.lineLoops[1]}), Ints({41, 26, 300, 264}));
  EXPECT_EQ(Pick(a.lineSpeeds, {0, 1, 2, 3, 4}), Ints({64, 32, 130, 192, 6}));
  EXPECT_EQ(Ints({a.otherSpeed, a.otherLoop, Level.planes[1].otherSpeed}), Ints({32, 24, 21}));
  const Plane& c = Level.planes[2];
  EXPECT_EQ(Ints({c.height, Cell(c, 0, 1), Cell(c, 2, 0)}), Ints({3, 12, 15}));
  EXPECT_EQ(c.wrapCells, 6);  // the padding row is outside the wrap
  EXPECT_EQ(Ints({Cell(Level.planes[3], 2, 0), Cell(Level.planes[3], 0, 1)}), Ints({23, 0}));
  EXPECT_EQ(Level.levelParameter, 340);
}

TEST_F(LevelTest, VersionZeroFileBuiltByteByByteReadsTheSameWithoutAHeader) {
  Bytes f;
  for (int v : {2, 1, 5, 6}) PutOld(f, v);         // plane 1, Flat 2 x 1
  for (int v : {1, 2, 7, 8}) PutOld(f, v);         // plane 0, H Tiled 1 x 2
  for (int v : {1, 5, 9, 10, 1000}) PutOld(f, v);  // plane 2 sized as plane 1; the parameter
  f += {48, 0, 3, 0, 0, 4, 65, 0, 0};              // plane 0's rows, other speed and loop
  for (const Bytes& file : {LevHeader(0) + f, f}) {
    Write("v0.lev", file);
    LoadLevel(Path("v0.lev"));
    ASSERT_EQ(Level.planeCount, 3);
    const Plane& a = Level.planes[0];
    EXPECT_EQ(Ints({Cell(a, 0, 1), a.lineSpeeds[0], a.lineLoops[1], a.otherSpeed, a.otherLoop}),
              Ints({8, 192, 4, 0, 26}));
    EXPECT_EQ(Ints({Cell(Level.planes[1], 1, 0), Cell(Level.planes[2], 0, 1)}), Ints({6, 10}));
    EXPECT_EQ(Level.levelParameter, 1000);
  }
}

// A level without planes loads and says so in one line (the editor adds
// one: see the editor's tests); a sound file says nothing. Bytes after the
// end are in tests/common/bounded_reads_test.cpp.
TEST_F(LevelTest, ALevelWithoutPlanesLoadsAndSaysSo) {
  const Bytes one = LevHeader(2) + Bytes{1} + PlaneV2(kFlat, 1, 1, {}, 0, {5}) + Bytes{0, 9};
  const std::vector<std::tuple<Bytes, std::string, int>> cases = {
      {LevHeader(2) + Bytes{0, 0, 9}, "holds no planes (Ctrl + A in the editor adds one)", 0}, {one, "", 1}};
  for (const auto& [file, says, planes] : cases) {
    Write("t.lev", file);
    ::testing::internal::CaptureStderr();
    LoadLevel(Path("t.lev"));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), says.empty() ? "" : Path("t.lev") + ": " + says + "\n");
    EXPECT_EQ(Ints({Level.planeCount, int(Level.planes.size()), Level.levelParameter}), Ints({planes, planes, 9}));
  }
  EXPECT_EQ(Cell(Level.planes.at(0), 0, 0), 5);
}

TEST_F(LevelTest, FilesThatCannotBeReadGiveANewLevel) {
  const Bytes huge = LevHeader(2) + Bytes{1} + PlaneV2(kFlat, 0x00FFFFFF, 1, {}, 0, {1, 2});
  // Read as a version-0 body, "SLEx" is a Flat plane of 21158 x 17647 tiles.
  Bytes slex = {'S', 'L', 'E', 'x'};
  slex.resize(64, 1);
  Write("ok.lev", LevHeader(2) + Bytes{1} + PlaneV2(kFlat, 1, 1, {}, 0, {5}) + Bytes{0, 0});
  for (const Bytes& bad : {LevHeader(3), huge, slex}) {
    LoadLevel(Path("ok.lev"));
    ASSERT_EQ(Level.planeCount, 1);
    Write("bad.lev", bad);
    ::testing::internal::CaptureStderr();
    LoadLevel(Path("bad.lev"));
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
    EXPECT_TRUE(bad != slex || err.find("21158x17647") != std::string::npos) << err;
    ASSERT_EQ(Level.planeCount, 3);
    EXPECT_EQ(Level.planes[0].width, 500);
  }
  LoadLevel(Path("ok.lev"));
  LoadLevel(Path("absent.lev"));
  EXPECT_EQ(Level.planeCount, 3);
}

}  // namespace
