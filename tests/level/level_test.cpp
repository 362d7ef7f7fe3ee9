// level_test.cpp: the level reader for version 2, the older versions 1 and 0
// with their units, and the files that must fall back to a new level.
#include <gtest/gtest.h>

#include <algorithm>

#include "file_fixture.h"
#include "level/level.h"

namespace {

using LevelTest = FileTest;

uint16_t Cell(const Plane& p, int x, int y) { return p.tiles.at(size_t(y) * p.width + x); }

// A version-2 plane record; lines are (loop, speed) pairs.
Bytes PlaneV2(uint8_t type, uint32_t w, uint32_t h, const std::vector<std::pair<int, int>>& lines, int otherLoop,
              const std::vector<uint16_t>& cells) {
  Bytes out = {type};
  PutU32BE(out, w);
  PutU32BE(out, h);
  for (auto [loop, speed] : lines) {
    PutU16BE(out, uint32_t(loop));
    PutU8(out, uint32_t(speed));
  }
  if (type != kFlat) out += {uint8_t(otherLoop >> 8), uint8_t(otherLoop), 9};
  out += {0, 7};  // priority
  for (uint16_t c : cells) PutU16BE(out, c);
  return out;
}

TEST_F(LevelTest, VersionTwoPadsPlanesAndDefaultsTheUnstoredRows) {
  std::vector<uint16_t> cells;
  for (int i = 1; i <= 50; ++i) cells.push_back(uint16_t(i));
  const Bytes file = LevHeader(2) + Bytes{3} + PlaneV2(kFlat, 10, 5, {}, 0, cells) +
                     PlaneV2(kHTiled, 1, 5, {{100, 10}, {101, 11}, {102, 12}, {103, 13}, {0, 14}}, 7, {2, 2, 2, 2, 2}) +
                     PlaneV2(kRelative, 0, 0, {{0, 5}}, 0, {}) + Bytes{1, 2};
  Write("a.lev", file);
  Level.viewY = 5;
  LoadLevel(Path("a.lev"));
  ASSERT_EQ(Level.planeCount, 3);
  EXPECT_EQ(Level.viewY, 0);
  EXPECT_EQ(Level.levelParameter, 258);

  const Plane& flat = Level.planes[0];
  EXPECT_EQ(flat.width, 81);
  EXPECT_EQ(flat.height, 61);
  EXPECT_EQ(flat.tiles.size(), 62u * 81);  // one spare row
  EXPECT_EQ(Cell(flat, 0, 1), 11);
  EXPECT_EQ(Cell(flat, 9, 4), 50);
  EXPECT_EQ(std::count(flat.tiles.begin(), flat.tiles.end(), 0), long(flat.tiles.size() - 50));
  EXPECT_EQ(flat.wrapCells, 81 * 61);
  EXPECT_EQ(flat.priority, 7);

  const Plane& tiled = Level.planes[1];
  EXPECT_EQ(tiled.lineLoops[3], 103);
  EXPECT_EQ(tiled.lineSpeeds[3], 13);
  EXPECT_EQ(tiled.lineLoops[4], 1);  // a loop of 0 would divide by zero
  EXPECT_EQ(tiled.lineLoops[5], 81);
  EXPECT_EQ(tiled.lineSpeeds[60], 8);
  EXPECT_EQ(tiled.wrapCells, 7 * 81);
  EXPECT_EQ(Level.planes[2].otherLoop, 1);
}

TEST_F(LevelTest, VersionOneFileBuiltByteByByte) {
  Bytes f = LevHeader(1);
  PutOld(f, 2);  // plane 0, H Tiled 2 x 4, cells column by column
  PutOld(f, 4);
  for (int v : {1, 2, 3, 4, 300, 6, 7, 8}) PutOld(f, v);
  for (auto [speed, loop] : {std::pair{24, 10}, {12, 264}, {25, 5}, {48, 5}}) {
    PutU8(f, uint32_t(speed));
    PutOld(f, loop);
  }
  PutU8(f, 2);
  PutOld(f, 0);  // other loop 0: height - 2
  f += {0, 0, 0, 0, 3};  // plane 1, empty; other speed 3
  PutOld(f, 5);
  PutOld(f, 3);  // plane 2, Flat 3 x 2
  PutOld(f, 2);
  for (int v : {11, 12, 13, 14, 15, 16}) PutOld(f, v);
  PutOld(f, 5);  // plane 3, stored 5 x 1, read as wide as plane 2
  PutOld(f, 1);
  for (int v : {21, 22, 23}) PutOld(f, v);
  PutOld(f, 340);
  Write("v1.lev", f);
  LoadLevel(Path("v1.lev"));

  ASSERT_EQ(Level.planeCount, 4);
  const Plane& a = Level.planes[0];
  EXPECT_EQ(a.width, 41);
  EXPECT_EQ(a.height, 26);
  EXPECT_EQ(Cell(a, 1, 0), 300);
  EXPECT_EQ(a.lineSpeeds[0], 64);
  EXPECT_EQ(a.lineSpeeds[1], 32);
  EXPECT_EQ(a.lineSpeeds[2], 130);
  EXPECT_EQ(a.lineSpeeds[3], 192);
  EXPECT_EQ(a.lineLoops[1], 264);
  EXPECT_EQ(a.lineSpeeds[4], 6);
  EXPECT_EQ(a.otherSpeed, 32);
  EXPECT_EQ(a.otherLoop, 24);
  EXPECT_EQ(Level.planes[1].otherSpeed, 21);
  const Plane& c = Level.planes[2];
  EXPECT_EQ(c.height, 3);
  EXPECT_EQ(Cell(c, 0, 1), 12);
  EXPECT_EQ(Cell(c, 2, 0), 15);
  EXPECT_EQ(c.wrapCells, 6);  // the padding row is outside the wrap
  EXPECT_EQ(Cell(Level.planes[3], 2, 0), 23);
  EXPECT_EQ(Cell(Level.planes[3], 0, 1), 0);
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
    EXPECT_EQ(Cell(a, 0, 1), 8);
    EXPECT_EQ(a.lineSpeeds[0], 192);
    EXPECT_EQ(a.lineLoops[1], 4);
    EXPECT_EQ(a.otherSpeed, 0);
    EXPECT_EQ(a.otherLoop, 26);
    EXPECT_EQ(Cell(Level.planes[1], 1, 0), 6);
    EXPECT_EQ(Cell(Level.planes[2], 0, 1), 10);
    EXPECT_EQ(Level.levelParameter, 1000);
  }
}

TEST_F(LevelTest, FilesThatCannotBeReadGiveANewLevel) {
  Bytes huge = LevHeader(2) + Bytes{1} + PlaneV2(kFlat, 0x00FFFFFF, 1, {}, 0, {1, 2});
  // Read as a version-0 body, "SLEx" is a Flat plane of 21158 x 17647 tiles.
  Bytes slex = {'S', 'L', 'E', 'x'};
  slex.resize(64, 1);
  for (const Bytes& bad : {LevHeader(3), huge, slex}) {
    Write("ok.lev", LevHeader(2) + Bytes{1} + PlaneV2(kFlat, 1, 1, {}, 0, {5}) + Bytes{0, 0});
    LoadLevel(Path("ok.lev"));
    ASSERT_EQ(Level.planeCount, 1);
    Write("bad.lev", bad);
    ::testing::internal::CaptureStderr();
    LoadLevel(Path("bad.lev"));
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
    if (bad == slex) {
      EXPECT_NE(err.find("21158x17647"), std::string::npos) << err;
    }
    ASSERT_EQ(Level.planeCount, 3);
    EXPECT_EQ(Level.planes[0].width, 500);
  }
  LoadLevel(Path("ok.lev"));
  LoadLevel(Path("absent.lev"));
  EXPECT_EQ(Level.planeCount, 3);
}

}  // namespace
