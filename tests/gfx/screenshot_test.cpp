// screenshot_test.cpp: the PCX encoder byte for byte, screenshot files, and a foreign reader's view of them.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "common/binary_reader.h"
#include "gfx/frame_buffer.h"
#include "gfx/pcx.h"
#include "gfx/screenshot.h"
#include "level/file_fixture.h"
#include "shell/window.h"

namespace fs = std::filesystem;

namespace {

// Bytes of rows of a single colour: five runs of 63 and a run of 5 each.
void AppendFlatRows(Bytes& out, int rows) {
  for (int r = 0; r < rows; ++r) out.insert(out.end(), {255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 197, 0});
}

TEST(PcxEncoder, AClearedFrameIsSixRunsARowBetweenHeaderAndPalette) {
  Bytes frame(64000, 0), palette(768);
  for (int i = 0; i < 768; ++i) palette[i] = uint8_t(i * 4);
  Bytes want = {10, 5, 1, 8, 0, 0, 0, 0, 63, 1, 199, 0, 144, 0, 144, 0};
  want.resize(65, 0);
  want.insert(want.end(), {1, 64, 1, 1, 0});
  want.resize(128, 0);
  AppendFlatRows(want, 200);
  want.push_back(12);
  want.insert(want.end(), palette.begin(), palette.end());
  EXPECT_EQ(EncodePcx(frame.data(), palette.data()), want);
}

TEST(PcxEncoder, RunsStopAtRowEndsAndHighSinglesBecomeRunsOfOne) {
  Bytes frame(64000, 0), palette(768, 0);
  frame[100] = 200;                           // row 0: a lone high colour
  frame[320 + 7] = 5;                         // row 1: a lone low colour
  frame[2 * 320 + 319] = frame[3 * 320] = 7;  // equal across a row end: two singles
  for (int i = 0; i < 10; ++i) frame[4 * 320 + 310 + i] = frame[5 * 320 + i] = 9;  // two runs of ten
  for (int i = 0; i < 64; ++i) frame[6 * 320 + i] = 230;                           // a run of 63 and a run of one
  Bytes want = {255, 0,   229, 0,   193, 200, 255, 0,   255, 0,   255, 0,   222, 0,   199, 0,   5,   255, 0,
                255, 0,   255, 0,   255, 0,   252, 0,   255, 0,   255, 0,   255, 0,   255, 0,   255, 0,   196,
                0,   7,   7,   255, 0,   255, 0,   255, 0,   255, 0,   255, 0,   196, 0,   255, 0,   255, 0,
                255, 0,   255, 0,   250, 0,   202, 9,   202, 9,   255, 0,   255, 0,   255, 0,   255, 0,   250,
                0,   255, 230, 193, 230, 255, 0,   255, 0,   255, 0,   255, 0,   196, 0};
  AppendFlatRows(want, 193);
  Bytes file = EncodePcx(frame.data(), palette.data());
  EXPECT_EQ(Bytes(file.begin() + 128, file.end() - 769), want);
}

// Runs each test in a fresh folder, since screenshots go to the current directory.
class ScreenshotTest : public FileTest {
 protected:
  void SetUp() override {
    FileTest::SetUp();
    WorkIn();
    // Every colour, one long run of a high colour, and three different components per slot.
    for (int i = 0; i < 64000; ++i) Screen.FrameBuffer[i] = uint8_t((i / 320) * 7 + (i % 320) / 3);
    std::fill_n(Screen.FrameBuffer + 150 * 320, 320, uint8_t(201));
    for (uint16_t slot = 0; slot < 256; ++slot) {
      uint8_t rgb[3] = {uint8_t(slot & 63), uint8_t((slot >> 2) & 63), uint8_t(63 - (slot & 63))};
      SetPaletteEntry(slot, rgb);
    }
  }
};

}  // namespace

TEST_F(ScreenshotTest, ReadsBackThroughLoadPcxAsTheSamePixelsAndPalette) {
  std::string problem;
  ASSERT_TRUE(SaveScreenshot(42, problem));
  PcxImage back;
  ASSERT_EQ(LoadPcx("SH000042.PCX", back, 0), 1);
  EXPECT_TRUE(std::equal(back.pixels.begin(), back.pixels.begin() + 64000, Screen.FrameBuffer));
  EXPECT_EQ(back.pixels[64000], 12);
  Bytes palette(768);
  for (uint16_t slot = 0; slot < 256; ++slot) GetPaletteEntry(slot, &palette[slot * 3]);
  EXPECT_TRUE(std::equal(palette.begin(), palette.end(), back.palette.begin()));
  // The palette block holds 8-bit components: slot 1 = (1, 0, 62) -> 4, 0, 248.
  auto bytes = ReadWholeFile("SH000042.PCX");
  ASSERT_TRUE(bytes);
  EXPECT_EQ(Bytes(bytes->end() - 765, bytes->end() - 762), (Bytes{4, 0, 248}));
}

// Each shot takes the first free name; a name taken even by a folder is passed over.
TEST_F(ScreenshotTest, TakesTheNextFreeNameAndKeepsEarlierShots) {
  fs::create_directory("SH000001.PCX");
  for (int i = 0; i < 3; ++i) HandleMenuCommand(kCommandScreenShot);
  for (const char* name : {"SH000000.PCX", "SH000002.PCX", "SH000003.PCX"})
    EXPECT_TRUE(fs::is_regular_file(name)) << name;
  EXPECT_TRUE(fs::is_directory("SH000001.PCX"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 4);
}

// A folder that has gone away, and a read-only one (root writes anyway, so
// there the refusal comes from the failure hook): nothing is written, and
// Debug > Screen Shot says which file and why in a box, which tarn-run's
// platform writes to stderr.
TEST_F(ScreenshotTest, SaysWhyWhenItCannotWrite) {
#ifndef _WIN32  // Windows does not remove the folder a process is in
  fs::create_directory("gone");
  fs::current_path("gone");
  fs::remove(dir_ / "gone");
  std::string problem;
  EXPECT_FALSE(SaveScreenshot(7, problem));
  EXPECT_EQ(problem, "SH000007.PCX: cannot write: No such file or directory");
  fs::current_path(dir_);
  EXPECT_TRUE(fs::is_empty(dir_));
#endif

  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  if (::access(dir_.string().c_str(), W_OK) == 0) FailNextWrite(kFailOnCreate);
  ::testing::internal::CaptureStderr();
  HandleMenuCommand(kCommandScreenShot);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "[box] Screen Shot: " + (dir_ / "SH000000.PCX").string() + ": cannot write: Permission denied\n");
  fs::permissions(dir_, fs::perms::owner_all);
  EXPECT_TRUE(fs::is_empty(dir_));
}

TEST_F(ScreenshotTest, ImageMagickSeesTheSame320x200Picture) {
  if (ExitCodeOfCommand("command -v identify >/dev/null 2>&1 && command -v convert >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "ImageMagick is not installed";
  std::string problem;
  ASSERT_TRUE(SaveScreenshot(1, problem));
  ASSERT_EQ(ExitCodeOfCommand("identify -format '%m %w %h' SH000001.PCX >size.txt 2>&1 && "
                              "convert SH000001.PCX -depth 8 rgb:shot.rgb 2>/dev/null"),
            0);
  auto size = ReadWholeFile("size.txt");
  auto rgb = ReadWholeFile("shot.rgb");
  ASSERT_TRUE(size && rgb);
  EXPECT_EQ(std::string(size->begin(), size->end()), "PCX 320 200");
  ASSERT_EQ(rgb->size(), 64000u * 3);
  int wrong = 0;
  for (int i = 0; i < 64000; ++i) {
    uint8_t c[3];
    GetPaletteEntry(Screen.FrameBuffer[i], c);
    for (int k = 0; k < 3; ++k) wrong += (*rgb)[3 * i + k] != c[k] * 4;
  }
  EXPECT_EQ(wrong, 0);
}
