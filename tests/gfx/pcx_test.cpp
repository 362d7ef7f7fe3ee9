// pcx_test.cpp: decoding of PCX streams and palettes, broken files, and sprite cutting.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gfx/frame_buffer.h"
#include "gfx/pcx.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

class PcxTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    dir_ = fs::temp_directory_path() /
           ("tarn-pcx-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    image_.pixels.assign(64001, 0);
  }
  void TearDown() override {
    fs::remove_all(dir_);
    EngineTest::TearDown();
  }
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path;
  }
  fs::path dir_;
  PcxImage image_;
};

// 128 header bytes numbered 0..127, so a shifted copy shows.
std::vector<uint8_t> NumberedHeader() {
  std::vector<uint8_t> h(128);
  for (int i = 0; i < 128; ++i) h[i] = uint8_t(i);
  return h;
}

void Append(std::vector<uint8_t>& out, std::initializer_list<uint8_t> bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

}  // namespace

TEST_F(PcxTest, RunsSinglesAndEmptyRunsDecodeAndThePaletteIsShiftedDown) {
  std::vector<uint8_t> file = NumberedHeader();
  // C3 05: three 5s. C0 07: nothing, both bytes used. 3F: a bare 63.
  Append(file, {0xC3, 0x05, 0xC0, 0x07, 0x3F});
  // 63997 more pixels of 9: 1015 runs of 63, then one of 52.
  for (int i = 0; i < 1015; ++i) Append(file, {0xFF, 0x09});
  Append(file, {0xF4, 0x09});
  std::vector<uint8_t> palette(768, 0);
  palette[0] = 255;  // -> 63
  palette[1] = 3;    // -> 0
  palette[2] = 4;    // -> 1
  palette[765] = 128;
  palette[766] = 252;
  palette[767] = 130;
  file.insert(file.end(), palette.begin(), palette.end());

  ASSERT_EQ(LoadPcx(Write("runs.pcx", file), image_, 0), 1);
  std::vector<uint8_t> header = NumberedHeader();
  EXPECT_TRUE(std::equal(header.begin(), header.end(), image_.header.begin()));
  ASSERT_EQ(image_.pixels.size(), 64001u);
  EXPECT_EQ(image_.pixels[0], 5);
  EXPECT_EQ(image_.pixels[1], 5);
  EXPECT_EQ(image_.pixels[2], 5);
  EXPECT_EQ(image_.pixels[3], 63);
  EXPECT_EQ(image_.pixels[4], 9);
  EXPECT_EQ(image_.pixels[64000], 9);
  EXPECT_EQ(image_.palette[0], 63);
  EXPECT_EQ(image_.palette[1], 0);
  EXPECT_EQ(image_.palette[2], 1);
  EXPECT_EQ(image_.palette[765], 32);
  EXPECT_EQ(image_.palette[766], 63);
  EXPECT_EQ(image_.palette[767], 32);
}

TEST_F(PcxTest, AFullImageEndsOnThePaletteMarkerAndReadsThePaletteFromTheEnd) {
  std::vector<uint8_t> file = NumberedHeader();
  // Each row is five runs of 63 and one of 5 in colour row % 192.
  for (int row = 0; row < 200; ++row) {
    uint8_t v = uint8_t(row % 192);
    for (int k = 0; k < 5; ++k) Append(file, {0xFF, v});
    Append(file, {0xC5, v});
  }
  file.push_back(12);
  for (int i = 0; i < 768; ++i) file.push_back(uint8_t(i * 4));  // 6-bit value i % 64

  ASSERT_EQ(LoadPcx(Write("full.pcx", file), image_, 0), 1);
  EXPECT_EQ(image_.pixels[0], 0);
  EXPECT_EQ(image_.pixels[319], 0);
  EXPECT_EQ(image_.pixels[320], 1);
  EXPECT_EQ(image_.pixels[191 * 320 + 200], 191);
  EXPECT_EQ(image_.pixels[192 * 320], 0);
  EXPECT_EQ(image_.pixels[199 * 320 + 319], 7);
  EXPECT_EQ(image_.pixels[64000], 12);
  EXPECT_EQ(image_.palette[0], 0);
  EXPECT_EQ(image_.palette[1], 1);
  EXPECT_EQ(image_.palette[63], 63);
  EXPECT_EQ(image_.palette[64], 0);
  EXPECT_EQ(image_.palette[767], 63);
}

TEST_F(PcxTest, ThePaletteIsInstalledOnlyWhenAsked) {
  std::vector<uint8_t> file = NumberedHeader();
  Append(file, {0xC0, 0x00});
  std::vector<uint8_t> palette(768, 0);
  palette[5 * 3 + 0] = 40;  // slot 5 = (10, 20, 30)
  palette[5 * 3 + 1] = 80;
  palette[5 * 3 + 2] = 120;
  palette[255 * 3 + 2] = 255;  // slot 255 = (0, 0, 63)
  file.insert(file.end(), palette.begin(), palette.end());
  std::string path = Write("pal.pcx", file);
  testing::internal::CaptureStderr();  // the image data is short on purpose

  uint8_t before[3] = {1, 2, 3};
  SetPaletteEntry(5, before);
  ASSERT_EQ(LoadPcx(path, image_, 0), 1);
  uint8_t rgb[3];
  GetPaletteEntry(5, rgb);
  EXPECT_EQ(rgb[0], 1);
  EXPECT_EQ(rgb[1], 2);
  EXPECT_EQ(rgb[2], 3);
  EXPECT_EQ(nullplat::DisplayPalette()[5 * 4], 0) << "the display palette is handed over only by frames";

  ASSERT_EQ(LoadPcx(path, image_, 1), 1);
  GetPaletteEntry(5, rgb);
  EXPECT_EQ(rgb[0], 10);
  EXPECT_EQ(rgb[1], 20);
  EXPECT_EQ(rgb[2], 30);
  GetPaletteEntry(255, rgb);
  EXPECT_EQ(rgb[2], 63);
  GetPaletteEntry(0, rgb);
  EXPECT_EQ(rgb[0], 0);
  testing::internal::GetCapturedStderr();
}

TEST_F(PcxTest, TruncatedAndTinyFilesLoadWithZerosWhereDataIsMissing) {
  // A header and three pixels: the rest of the image decodes from zeros.
  std::vector<uint8_t> cut = NumberedHeader();
  Append(cut, {0xC3, 0x21});
  image_.pixels.assign(64001, 0xEE);
  testing::internal::CaptureStderr();
  ASSERT_EQ(LoadPcx(Write("cut.pcx", cut), image_, 0), 1);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("cut.pcx"), std::string::npos);
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
  EXPECT_EQ(image_.pixels[2], 0x21);
  EXPECT_EQ(image_.pixels[3], 0);
  EXPECT_EQ(image_.pixels[64000], 0);
  // Shorter than a palette: the palette is the file's bytes from the start.
  EXPECT_EQ(image_.palette[0], 0);
  EXPECT_EQ(image_.palette[1], 0);
  EXPECT_EQ(image_.palette[4], 1);
  EXPECT_EQ(image_.palette[127], 31);
  EXPECT_EQ(image_.palette[128], 0x30);  // 0xC3 >> 2
  EXPECT_EQ(image_.palette[130], 0);

  // Five bytes: a short header, a palette of five values, no pixels.
  testing::internal::CaptureStderr();
  ASSERT_EQ(LoadPcx(Write("tiny.pcx", {40, 80, 120, 160, 200}), image_, 1), 1);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(image_.header[4], 200);
  EXPECT_EQ(image_.header[5], 0);
  EXPECT_EQ(image_.palette[4], 50);
  EXPECT_EQ(image_.palette[5], 0);
  EXPECT_EQ(std::count(image_.pixels.begin(), image_.pixels.end(), 0), 64001);
  uint8_t rgb[3];
  GetPaletteEntry(1, rgb);
  EXPECT_EQ(rgb[0], 40);
  EXPECT_EQ(rgb[1], 50);
  EXPECT_EQ(rgb[2], 0);

  // Empty file, and a run of 63 that starts on the last pixel of the block.
  testing::internal::CaptureStderr();
  EXPECT_EQ(LoadPcx(Write("empty.pcx", {}), image_, 0), 1);
  std::vector<uint8_t> over = NumberedHeader();
  for (int i = 0; i < 1015; ++i) Append(over, {0xFF, 0x01});
  Append(over, {0xF7, 0x01, 0xFF, 0x02, 0x03});  // 64000 pixels, then a run of 63 with room for one
  over.resize(over.size() + 768, 0x80);
  EXPECT_EQ(LoadPcx(Write("over.pcx", over), image_, 0), 1);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(image_.pixels[63999], 1);
  EXPECT_EQ(image_.pixels[64000], 2);
}

TEST_F(PcxTest, AFileThatCannotBeReadChangesNothing) {
  image_.pixels.assign(64001, 7);
  image_.header.fill(3);
  image_.palette.fill(4);
  uint8_t rgb[3] = {9, 8, 7};
  SetPaletteEntry(0, rgb);
  EXPECT_EQ(LoadPcx((dir_ / "absent.pcx").string(), image_, 1), 0);
  EXPECT_EQ(LoadPcx(dir_.string(), image_, 1), 0) << "a folder is not a file";
  EXPECT_EQ(std::count(image_.pixels.begin(), image_.pixels.end(), 7), 64001);
  EXPECT_EQ(image_.header[0], 3);
  EXPECT_EQ(image_.palette[767], 4);
  GetPaletteEntry(0, rgb);
  EXPECT_EQ(rgb[0], 9);
}

// Image pixel (x, y) = x + 3y (low byte), so every cut position is recognisable.
static void FillPattern(PcxImage& image) {
  image.pixels.assign(64001, 0);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 320; ++x) image.pixels[y * 320 + x] = uint8_t(x + 3 * y);
  image.pixels[64000] = 12;
}

TEST_F(PcxTest, CutSpriteFrameCopiesTheRectangleRowByRow) {
  FillPattern(image_);
  Sprite s;
  s.frames[3].assign(5, 1);
  s.originX = 4;
  InitSprite(s, 3, 2);
  EXPECT_EQ(s.width, 3u);
  EXPECT_EQ(s.height, 2u);
  EXPECT_TRUE(s.frames[3].empty());
  EXPECT_EQ(s.originX, 0);
  EXPECT_EQ(s.frameCount, 0);

  CutSpriteFrame(image_, s, 0, 10, 20);
  // (10,20)=70 (11,20)=71 (12,20)=72 / (10,21)=73 ... plus one spare byte.
  EXPECT_EQ(s.frames[0], (std::vector<uint8_t>{70, 71, 72, 73, 74, 75, 0}));
  EXPECT_EQ(s.frameCount, 1);
  CutSpriteFrame(image_, s, 1, 300, 199);
  // (300,199) = 300 + 597 = 897 -> 0x81.
  EXPECT_EQ(s.frames[1][0], 0x81);
  EXPECT_EQ(s.frameCount, 2);

  FreeSpriteFrames(s);
  for (const auto& f : s.frames) EXPECT_TRUE(f.empty());
  EXPECT_EQ(s.width, 3u);
}

TEST_F(PcxTest, InVideoMode2EverySourcePixelIsStoredTwice) {
  FillPattern(image_);
  Video.VideoMode = 2;
  Sprite s;
  InitSprite(s, 10, 1);
  EXPECT_EQ(s.width, 20u);
  CutSpriteFrame(image_, s, 0, 0, 1);
  ASSERT_EQ(s.frames[0].size(), 21u);
  for (int c = 0; c < 10; ++c) {
    EXPECT_EQ(s.frames[0][2 * c], 3 + c);
    EXPECT_EQ(s.frames[0][2 * c + 1], 3 + c);
  }
}

TEST_F(PcxTest, RectanglesOutsideTheImageReadNothingOutOfBounds) {
  FillPattern(image_);
  Sprite s;
  InitSprite(s, 5, 3);
  CutSpriteFrame(image_, s, 0, 318, 199);
  // (318,199) = 915 -> 0x93, (319,199) -> 0x94, then the marker, then nothing.
  EXPECT_EQ(s.frames[0], (std::vector<uint8_t>{0x93, 0x94, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

  InitSprite(s, 2, 2);
  CutSpriteFrame(image_, s, 0, -400, -300);
  EXPECT_EQ(s.frames[0], (std::vector<uint8_t>(5, 0)));

  // Slots past the 25 and sizes no screen could show are left out.
  CutSpriteFrame(image_, s, 25, 0, 0);
  CutSpriteFrame(image_, s, -1, 0, 0);
  EXPECT_EQ(s.frameCount, 1);
  testing::internal::CaptureStderr();
  InitSprite(s, 100000, 100000);
  CutSpriteFrame(image_, s, 0, 0, 0);
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(s.frames[0].empty());
  EXPECT_EQ(s.frameCount, 0);
}
