// level_write_test.cpp: SaveLevel's bytes and trimming, round trips of every
// plane type, and failed saves that keep the old file.
#include <gtest/gtest.h>

#include <tuple>

#include "file_fixture.h"
#include "level/level.h"

namespace {

using LevelWriteTest = FileTest;

// Everything a plane stores; a Flat plane stores no lines.
auto Stored(const Plane& p) {
  const bool lines = p.type != kFlat;
  return std::tuple(p.type, p.width, p.height, p.priority, p.tiles, lines ? p.lineLoops : std::vector<int32_t>{},
                    lines ? p.lineSpeeds : Bytes{}, p.otherLoop, p.otherSpeed);
}

TEST_F(LevelWriteTest, EveryPlaneTypeSurvivesASaveAndALoad) {
  Level.planes.assign(6, Plane{});
  Level.planeCount = 6;
  Level.levelParameter = 4660;
  for (uint8_t t = 0; t < 6; ++t) {
    Plane& p = Level.planes[t];
    InitPlane(p, t, 90, 70);  // at least 81 x 61, so the reader pads nothing
    for (size_t c = 0; c < 90 * 70; c += 13) p.tiles[c] = uint16_t(c * 5 + t);
    p.tiles[69 * 90 + 89] = 0xFFFF;
    p.priority = uint16_t(10 + t);
    if (t == kFlat) continue;
    for (size_t k = 0; k < p.lineLoops.size(); ++k) {
      p.lineLoops[k] = int32_t(1 + (k * 7 + t) % 700);
      p.lineSpeeds[k] = uint8_t(k * 3 + t);
    }
    p.otherLoop = 33 + t;
    p.otherSpeed = uint8_t(200 + t);
  }
  const std::vector<Plane> saved = Level.planes;
  EXPECT_TRUE(SaveLevel(Path("round.lev")));
  NewLevel();
  LoadLevel(Path("round.lev"));
  ASSERT_EQ(Level.planeCount, 6);
  EXPECT_EQ(Level.levelParameter, 4660);
  for (uint8_t t = 0; t < 6; ++t) EXPECT_TRUE(Stored(Level.planes[t]) == Stored(saved[t])) << "type " << int(t);
}

TEST_F(LevelWriteTest, PlanesAreTrimmedToTheirLastColumnAndRow) {
  Plane p, empty;
  InitPlane(p, kFlat, 1200, 320);
  p.tiles[10 * 1200 + 99] = 7;  // last column 99
  p.tiles[49 * 1200 + 5] = 8;   // last row 49
  InitPlane(empty, kHTiled, 200, 100);
  empty.otherLoop = 0x1234;
  empty.priority = 0x789A;
  Level.planes = {p, empty};
  Level.planeCount = 2;
  SaveLevel(Path("trim.lev"));

  const Bytes b = Read("trim.lev");
  // Header 6, type 1, sizes 8, priority 2, 100 x 50 cells; the empty plane; parameter 2.
  const size_t second = 6 + 1 + 8 + 2 + 100 * 50 * 2;
  ASSERT_EQ(b.size(), second + 14 + 2);
  EXPECT_EQ(Bytes(b.begin() + 7, b.begin() + 15), (Bytes{0, 0, 0, 100, 0, 0, 0, 50}));
  EXPECT_EQ(b[17 + (10 * 100 + 99) * 2 + 1], 7);
  // No rows and no cells for the empty plane: its size 0 x 0, other loop and speed, priority.
  EXPECT_EQ(Bytes(b.begin() + second, b.end()),
            (Bytes{kHTiled, 0, 0, 0, 0, 0, 0, 0, 0, 0x12, 0x34, 8, 0x78, 0x9A, 340 >> 8, 340 & 255}));

  LoadLevel(Path("trim.lev"));
  const Plane& q = Level.planes.at(0);
  EXPECT_EQ(Ints({q.width, q.height, q.tiles[49 * 100 + 5], Level.planes[1].width}), Ints({100, 61, 8, 81}));
  EXPECT_EQ(Level.planes[1].lineLoops, std::vector<int32_t>(61, 81));
}

TEST_F(LevelWriteTest, AFailedSaveKeepsTheOldFileAndSaysSo) {
  NewLevel();
  Write("old.lev", {1, 2, 3});
  const std::string target = Path("old.lev"), nowhere = Path("no/such/folder/x.lev");
  // The bytes go to a temporary file beside the target first: block its name.
  std::filesystem::create_directory(target + ".tmp" + std::to_string(::getpid()));
  for (const std::string& path : {target, nowhere}) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(SaveLevel(path));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "\n\n*** error creating " + path + " ***\n");
    EXPECT_NE(::testing::internal::GetCapturedStderr().find(path + ": cannot write: "), std::string::npos);
  }
  EXPECT_EQ(Read("old.lev"), (Bytes{1, 2, 3}));
  EXPECT_FALSE(std::filesystem::exists(Path("no")));
}

// A disk that fills at any byte of the new file, or a rename that fails:
// the old file stays as it was, no temporary file is left behind, and the
// level in memory is untouched.
TEST_F(LevelWriteTest, ASaveThatFailsAtAnyByteLosesNothing) {
  Level.planes.assign(3, Plane{});
  Level.planeCount = 3;
  for (uint8_t t = 0; t < 3; ++t) {
    InitPlane(Level.planes[t], uint8_t(t * 2), 30, 20);
    for (size_t c = 0; c < 30 * 5; c += 7) Level.planes[t].tiles[c] = uint16_t(c + t);
  }
  const Bytes old = {'S', 'L', 'E', 'V', 2, 0, 0x12, 0x34};
  Write("keep.lev", old);
  std::vector<decltype(Stored(Plane{}))> before;
  for (const Plane& p : Level.planes) before.push_back(Stored(p));
  ASSERT_TRUE(SaveLevel(Path("size.lev")));
  const size_t size = Read("size.lev").size();
  ASSERT_GT(size, 300u);
  for (size_t at = 0; at <= size; ++at) {
    FailNextWrite(at);
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const bool saved = SaveLevel(Path("keep.lev"));
    const std::string out = ::testing::internal::GetCapturedStdout(), err = ::testing::internal::GetCapturedStderr();
    ASSERT_FALSE(saved) << at;
    ASSERT_EQ(out, "\n\n*** error creating " + Path("keep.lev") + " ***\n");
    ASSERT_EQ(err, Path("keep.lev") + (at < size ? ": cannot write: No space left on device\n"
                                                 : ": cannot write: Input/output error\n"));
    ASSERT_EQ(Read("keep.lev"), old) << at;
    ASSERT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 2) << "a temporary file was left";
  }
  ASSERT_EQ(Level.planeCount, 3);
  for (size_t i = 0; i < 3; ++i) EXPECT_TRUE(Stored(Level.planes[i]) == before[i]) << i;
  // With nothing armed the same save goes through.
  EXPECT_TRUE(SaveLevel(Path("keep.lev")));
  EXPECT_EQ(Read("keep.lev"), Read("size.lev"));
}

// A folder the user may not write to: the save says so and the file stays.
// Root writes anyway, so there the refusal comes from the failure hook.
TEST_F(LevelWriteTest, ASaveIntoAReadOnlyFolderSaysSo) {
  NewLevel();
  Write("ro/1.lev", {9, 9});
  std::filesystem::permissions(Path("ro"), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  if (::access(Path("ro").c_str(), W_OK) == 0) FailNextWrite(kFailOnCreate);
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(SaveLevel(Path("ro/1.lev")));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "\n\n*** error creating " + Path("ro/1.lev") + " ***\n");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), Path("ro/1.lev") + ": cannot write: Permission denied\n");
  std::filesystem::permissions(Path("ro"), std::filesystem::perms::owner_all);
  EXPECT_EQ(Read("ro/1.lev"), (Bytes{9, 9}));
}

}  // namespace
