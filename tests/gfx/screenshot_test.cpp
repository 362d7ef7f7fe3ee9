// screenshot_test.cpp: the PCX encoder byte for byte, screenshot files, and a foreign reader's view of them.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/binary_reader.h"
#include "gfx/frame_buffer.h"
#include "gfx/pcx.h"
#include "gfx/screenshot.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

// Bytes of one row of a single colour: five runs of 63 and a run of 5.
void AppendFlatRow(std::vector<uint8_t>& out, uint8_t v) {
  for (int k = 0; k < 5; ++k) out.insert(out.end(), {255, v});
  out.insert(out.end(), {197, v});
}

// The encoded pixel stream: everything between the header and the marker.
std::vector<uint8_t> Stream(const std::vector<uint8_t>& file) {
  return std::vector<uint8_t>(file.begin() + 128, file.end() - 769);
}

class EncodeTest : public ::testing::Test {
 protected:
  std::vector<uint8_t> frame = std::vector<uint8_t>(64000, 0);
  std::vector<uint8_t> palette = std::vector<uint8_t>(768, 0);
};

}  // namespace

TEST_F(EncodeTest, HeaderMarkerAndPaletteFrameTheStream) {
  for (int i = 0; i < 768; ++i) palette[i] = uint8_t(i * 4);
  std::vector<uint8_t> file = EncodePcx(frame.data(), palette.data());
  std::vector<uint8_t> header = {10, 5, 1, 8, 0, 0, 0, 0, 63, 1, 199, 0, 144, 0, 144, 0};
  header.resize(65, 0);
  header.insert(header.end(), {1, 64, 1, 1, 0});
  header.resize(128, 0);
  ASSERT_EQ(file.size(), 128u + 2400 + 1 + 768);
  EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 128), header);
  EXPECT_EQ(file[file.size() - 769], 12);
  EXPECT_EQ(std::vector<uint8_t>(file.end() - 768, file.end()), palette);
}

TEST_F(EncodeTest, AClearedFrameIsSixRunsARow) {
  std::vector<uint8_t> expected;
  for (int row = 0; row < 200; ++row) AppendFlatRow(expected, 0);
  EXPECT_EQ(Stream(EncodePcx(frame.data(), palette.data())), expected);
}

TEST_F(EncodeTest, LonePixelsAreBareBelow192AndARunOfOneAbove) {
  frame[100] = 200;  // row 0
  frame[320 + 7] = 5;  // row 1
  std::vector<uint8_t> expected = {255, 0, 229, 0, 193, 200, 255, 0, 255, 0, 255, 0, 222, 0};
  // Row 1: 7 zeros, the 5, then 312 zeros (four runs of 63 and one of 60).
  expected.insert(expected.end(), {199, 0, 5, 255, 0, 255, 0, 255, 0, 255, 0, 252, 0});
  for (int row = 2; row < 200; ++row) AppendFlatRow(expected, 0);
  EXPECT_EQ(Stream(EncodePcx(frame.data(), palette.data())), expected);
}

TEST_F(EncodeTest, RunsStopAtTheEndOfEachRow) {
  // The last pixel of row 0 and the first of row 1 are equal: two singles.
  frame[319] = 7;
  frame[320] = 7;
  // Ten 9s end row 2 and ten 9s begin row 3: two runs of ten.
  for (int i = 0; i < 10; ++i) frame[2 * 320 + 310 + i] = frame[3 * 320 + i] = 9;
  // Row 4: 64 pixels of 230 then zeros: a run of 63 and a single written as a run of one.
  for (int i = 0; i < 64; ++i) frame[4 * 320 + i] = 230;
  std::vector<uint8_t> expected;
  expected.insert(expected.end(), {255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 196, 0, 7});
  expected.insert(expected.end(), {7, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 196, 0});
  expected.insert(expected.end(), {255, 0, 255, 0, 255, 0, 255, 0, 250, 0, 202, 9});
  expected.insert(expected.end(), {202, 9, 255, 0, 255, 0, 255, 0, 255, 0, 250, 0});
  expected.insert(expected.end(), {255, 230, 193, 230, 255, 0, 255, 0, 255, 0, 255, 0, 196, 0});
  for (int row = 5; row < 200; ++row) AppendFlatRow(expected, 0);
  EXPECT_EQ(Stream(EncodePcx(frame.data(), palette.data())), expected);
}

namespace {

// Runs each test in a fresh folder, since screenshots go to the current directory.
class ScreenshotTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    home_ = fs::current_path();
    dir_ = fs::temp_directory_path() /
           ("tarn-shot-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    fs::current_path(dir_);
    ASSERT_NE(Screen.FrameBuffer, nullptr);
    // A frame that uses every colour, and a palette with three different components per slot.
    for (int i = 0; i < 64000; ++i) Screen.FrameBuffer[i] = uint8_t((i / 320) * 7 + (i % 320) / 3);
    for (int i = 0; i < 320; ++i) Screen.FrameBuffer[150 * 320 + i] = 201;  // one long run of a high colour
    for (uint16_t slot = 0; slot < 256; ++slot) {
      uint8_t rgb[3] = {uint8_t(slot & 63), uint8_t((slot >> 2) & 63), uint8_t(63 - (slot & 63))};
      SetPaletteEntry(slot, rgb);
    }
  }
  void TearDown() override {
    fs::current_path(home_);
    fs::remove_all(dir_);
    EngineTest::TearDown();
  }
  fs::path home_, dir_;
};

}  // namespace

TEST_F(ScreenshotTest, ReadsBackThroughLoadPcxAsTheSamePixelsAndPalette) {
  SaveScreenshot(42);
  ASSERT_TRUE(fs::exists(dir_ / "SH000042.PCX"));
  PcxImage back;
  ASSERT_EQ(LoadPcx("SH000042.PCX", back, 0), 1);
  EXPECT_TRUE(std::equal(back.pixels.begin(), back.pixels.begin() + 64000, Screen.FrameBuffer));
  EXPECT_EQ(back.pixels[64000], 12);
  for (uint16_t slot = 0; slot < 256; ++slot) {
    uint8_t rgb[3];
    GetPaletteEntry(slot, rgb);
    ASSERT_EQ(back.palette[slot * 3 + 0], rgb[0]) << slot;
    ASSERT_EQ(back.palette[slot * 3 + 1], rgb[1]) << slot;
    ASSERT_EQ(back.palette[slot * 3 + 2], rgb[2]) << slot;
  }
  // The palette block holds 8-bit components: slot 1 = (1, 0, 62) -> 4, 0, 248.
  auto bytes = ReadWholeFile("SH000042.PCX");
  ASSERT_TRUE(bytes);
  size_t pal = bytes->size() - 768;
  EXPECT_EQ((*bytes)[pal + 3], 4);
  EXPECT_EQ((*bytes)[pal + 4], 0);
  EXPECT_EQ((*bytes)[pal + 5], 248);
}

TEST_F(ScreenshotTest, ReplacesAnEarlierShotAndLeavesNothingWhenItCannotWrite) {
  SaveScreenshot(0);
  Screen.FrameBuffer[0] = 77;
  SaveScreenshot(0);
  PcxImage back;
  ASSERT_EQ(LoadPcx("SH000000.PCX", back, 0), 1);
  EXPECT_EQ(back.pixels[0], 77);

  // A folder where the file should go: the save fails and leaves no stray file.
  fs::create_directory("SH000007.PCX");
  SaveScreenshot(7);
  EXPECT_TRUE(fs::is_directory("SH000007.PCX"));
  int entries = 0;
  for (const auto& e : fs::directory_iterator(dir_)) entries += e.exists();
  EXPECT_EQ(entries, 2);
}

TEST_F(ScreenshotTest, ImageMagickSeesTheSame320x200Picture) {
  if (std::system("command -v identify >/dev/null 2>&1 && command -v convert >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "ImageMagick is not installed";
  SaveScreenshot(1);
  FILE* p = ::popen("identify -format '%m %w %h' SH000001.PCX 2>&1", "r");
  ASSERT_NE(p, nullptr);
  char line[256] = {};
  std::fgets(line, sizeof line, p);
  ::pclose(p);
  EXPECT_EQ(std::string(line), "PCX 320 200");

  ASSERT_EQ(std::system("convert SH000001.PCX -depth 8 rgb:shot.rgb 2>/dev/null"), 0);
  auto rgb = ReadWholeFile("shot.rgb");
  ASSERT_TRUE(rgb);
  ASSERT_EQ(rgb->size(), 64000u * 3);
  int wrong = 0;
  for (int i = 0; i < 64000; ++i) {
    uint8_t c[3];
    GetPaletteEntry(Screen.FrameBuffer[i], c);
    for (int k = 0; k < 3; ++k) wrong += (*rgb)[3 * i + k] != c[k] * 4;
  }
  EXPECT_EQ(wrong, 0);
}
