// pcx_test.cpp: decoding of PCX streams and palettes, cut files and foreign headers, and sprite cutting.

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "gfx/frame_buffer.h"
#include "gfx/pcx.h"
#include "level/file_fixture.h"

namespace {

Bytes Slot(uint16_t slot) {
  Bytes rgb(3);
  GetPaletteEntry(slot, rgb.data());
  return rgb;
}

// A 320x200 8-bit header whose other bytes are numbered 0..127, so a
// shifted copy shows, then the stream.
Bytes WithHeader(std::initializer_list<uint8_t> stream) {
  Bytes f(128);
  for (int i = 0; i < 128; ++i) f[i] = uint8_t(i);
  f[0] = 10, f[2] = 1, f[3] = 8;                               // manufacturer, run-length, 8 bits a pixel
  f[4] = f[5] = f[6] = f[7] = 0;                               // from (0, 0)
  f[8] = 319 & 0xFF, f[9] = 319 >> 8, f[10] = 199, f[11] = 0;  // to (319, 199)
  f[65] = 1, f[66] = 320 & 0xFF, f[67] = 320 >> 8;             // one plane of 320 bytes a line
  f.insert(f.end(), stream);
  return f;
}

void Repeat(Bytes& out, int n, std::initializer_list<uint8_t> bytes) {
  for (int i = 0; i < n; ++i) out.insert(out.end(), bytes);
}

// Image pixel (x, y) = x + 3y (low byte), so every cut position is recognisable.
void FillPattern(PcxImage& image) {
  image.pixels.assign(64001, 12);
  for (int i = 0; i < 64000; ++i) image.pixels[i] = uint8_t(i % 320 + 3 * (i / 320));
}

class PcxTest : public FileTest {
 protected:
  // Writes the file and loads it; what went to stderr is kept in err_.
  int Load(const std::string& name, const Bytes& bytes, int install = 0) {
    Write(name, bytes);
    testing::internal::CaptureStderr();
    int loaded = LoadPcx(Path(name), image_, install);
    err_ = testing::internal::GetCapturedStderr();
    return loaded;
  }
  PcxImage image_;
  std::string err_;
};

}  // namespace

TEST_F(PcxTest, RunsSinglesAndEmptyRunsDecodeAndThePaletteIsShiftedDown) {
  // C3 05: three 5s. C0 07: nothing, both bytes used. 3F: a bare 63.
  Bytes file = WithHeader({0xC3, 0x05, 0xC0, 0x07, 0x3F});
  // 63997 more pixels of 9: 1015 runs of 63, then one of 52 that fills the 64001st byte too.
  Repeat(file, 1015, {0xFF, 0x09});
  file.insert(file.end(), {0xF4, 0x09, 255, 3, 4});  // palette: 255 -> 63, 3 -> 0, 4 -> 1
  file.resize(file.size() + 762, 0);
  file.insert(file.end(), {128, 252, 130});
  ASSERT_EQ(Load("runs.pcx", file), 1);
  EXPECT_TRUE(std::equal(file.begin(), file.begin() + 128, image_.header.begin()));
  ASSERT_EQ(image_.pixels.size(), 64001u);
  EXPECT_EQ(Pick(image_.pixels, {0, 1, 2, 3, 4, 64000}), Ints({5, 5, 5, 63, 9, 9}));
  EXPECT_EQ(Pick(image_.palette, {0, 1, 2, 765, 766, 767}), Ints({63, 0, 1, 32, 63, 32}));
  EXPECT_EQ(err_, "");
  // The palette is installed only when asked, and reaches the display only with a frame.
  EXPECT_EQ(Slot(0), (Bytes{0, 0, 0}));
  ASSERT_EQ(Load("runs.pcx", file, 1), 1);
  EXPECT_EQ(Slot(0), (Bytes{63, 0, 1}));
  EXPECT_EQ(Slot(255), (Bytes{32, 63, 32}));
  EXPECT_EQ(nullplat::DisplayPalette()[0], 0);
}

TEST_F(PcxTest, ShortFilesLoadWithZerosWhereDataIsMissing) {
  // A header and three pixels: the rest decodes from zeros, with one line of warning.
  image_.pixels.assign(64001, 0xEE);
  ASSERT_EQ(Load("cut.pcx", WithHeader({0xC3, 0x21})), 1);
  EXPECT_NE(err_.find("cut.pcx"), std::string::npos);
  EXPECT_EQ(std::count(err_.begin(), err_.end(), '\n'), 1);
  EXPECT_EQ(Pick(image_.pixels, {2, 3, 64000}), Ints({0x21, 0, 0}));
  // Shorter than a palette: the palette is the file's bytes from the start (0xC3 >> 2 = 0x30).
  EXPECT_EQ(Pick(image_.palette, {0, 1, 4, 127, 128, 130}), Ints({10 >> 2, 0, 0, 31, 0x30, 0}));

  // An empty file gives a blank image; a run of 63 that starts on the last
  // pixel of the block fills only that pixel.
  EXPECT_EQ(Load("empty.pcx", {}), 1);
  EXPECT_EQ(std::count(image_.pixels.begin(), image_.pixels.end(), 0), 64001);
  Bytes over = WithHeader({});
  Repeat(over, 1015, {0xFF, 0x01});
  over.insert(over.end(), {0xF7, 0x01, 0xFF, 0x02, 0x03});  // 64000 pixels, then a run of 63 with room for one
  over.resize(over.size() + 768, 0x80);
  EXPECT_EQ(Load("over.pcx", over), 1);
  EXPECT_EQ(Pick(image_.pixels, {63999, 64000}), Ints({1, 2}));
  EXPECT_EQ(err_, "");
  // Image data running into the last 768 bytes: a palette cut short, said so.
  Bytes cutPalette = over;
  cutPalette.resize(cutPalette.size() - 700);
  EXPECT_EQ(Load("cutpal.pcx", cutPalette), 1);
  EXPECT_EQ(err_, Path("cutpal.pcx") + ": palette cut short; 699 of its colour bytes are image data\n");
  // Only a file that cannot be opened fails (and one that is no file: see
  // tests/common/bounded_reads_test.cpp).
  EXPECT_EQ(LoadPcx(Path("absent.pcx"), image_, 1), 0);
}

// The header is checked for what this reader takes (one 320x200 plane of
// 8-bit run-length pixels); a file that is not one says what is wrong in
// one line and loads as today. Longer files: bounded_reads_test.cpp.
TEST_F(PcxTest, AHeaderThatIsNotA320x200EightBitPcxIsSaidInOneLineAndTheImageStillLoads) {
  Bytes pixels(64000), palette(768, 0x40);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(i / 320);  // row y is y
  const Bytes good = EncodePcx(pixels.data(), palette.data());
  ASSERT_EQ(Load("good.pcx", good), 1);
  EXPECT_EQ(err_, "");
  EXPECT_EQ(Pick(image_.pixels, {0, 319, 320, 63999}), Ints({0, 0, 1, 199}));

  // Filled with 0xFF: every field wrong; the stream is runs of 63 0xFFs.
  ASSERT_EQ(Load("ff.pcx", Bytes(good.size(), 0xFF)), 1);
  EXPECT_EQ(err_, Path("ff.pcx") +
                      ": not a 320x200 8-bit PCX: manufacturer 255 (not 10), encoding 255 (not 1), 255 bits a pixel "
                      "(not 8), 255 planes (not 1), 1x1 pixels (not 320x200), 65535 bytes a line (not 320); read as "
                      "one all the same\n");
  EXPECT_EQ(Pick(image_.pixels, {0, 64000}), Ints({0xFF, 0xFF}));
  EXPECT_EQ(image_.palette[767], 63);

  // Every byte doubled: 10 10 5 5 1 1 8 8 0 0 ...; xmin 0x0101, ymin 0x0808.
  Bytes doubled;
  for (uint8_t b : good) doubled.insert(doubled.end(), {b, b});
  ASSERT_EQ(Load("doubled.pcx", doubled), 1);
  const std::string said = Path("doubled.pcx") +
                           ": not a 320x200 8-bit PCX: encoding 5 (not 1), 5 bits a pixel (not 8), 0 planes (not 1), "
                           "-256x-2055 pixels (not 320x200), 0 bytes a line (not 320); read as one all the same";
  EXPECT_EQ(err_.substr(0, said.size()), said);
  EXPECT_EQ(std::count(err_.begin(), err_.end(), '\n'), 1) << err_;

  // A header cut short says only that the image data ends early.
  ASSERT_EQ(Load("stub.pcx", Bytes{10, 5, 1, 8}), 1);
  EXPECT_EQ(err_, Path("stub.pcx") + ": image data ends before 320x200 pixels\n");
}

TEST_F(PcxTest, CutSpriteFrameCopiesTheRectangleRowByRowAndNothingOutsideTheImage) {
  FillPattern(image_);
  Sprite s;
  s.frames[3].assign(5, 1);
  s.originX = 4;
  InitSprite(s, 3, 2);
  EXPECT_TRUE(s.frames[3].empty() && s.originX == 0 && s.frameCount == 0) << "a fresh sprite";
  CutSpriteFrame(image_, s, 0, 10, 20);
  // (10,20)=70 (11,20)=71 (12,20)=72 / (10,21)=73 ... plus one spare byte.
  EXPECT_EQ(s.frames[0], (Bytes{70, 71, 72, 73, 74, 75, 0}));
  CutSpriteFrame(image_, s, 1, 300, 199);
  EXPECT_EQ(s.frames[1][0], 0x81);  // (300,199) = 300 + 597 = 897
  EXPECT_EQ(s.frameCount, 2);

  // In video mode 2 every source pixel is stored twice.
  Video.VideoMode = 2;
  InitSprite(s, 10, 1);
  EXPECT_EQ(s.width, 20u);
  CutSpriteFrame(image_, s, 0, 0, 1);
  Bytes want;
  for (int c = 0; c < 10; ++c) want.insert(want.end(), {uint8_t(3 + c), uint8_t(3 + c)});
  want.push_back(0);
  EXPECT_EQ(s.frames[0], want);

  // Rectangles outside the image read nothing out of bounds.
  Video.VideoMode = 0;
  InitSprite(s, 5, 3);
  CutSpriteFrame(image_, s, 0, 318, 199);
  // (318,199) = 915 -> 0x93, (319,199) -> 0x94, then the marker, then nothing.
  EXPECT_EQ(s.frames[0], (Bytes{0x93, 0x94, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  InitSprite(s, 2, 2);
  CutSpriteFrame(image_, s, 0, -400, -300);
  EXPECT_EQ(s.frames[0], Bytes(5, 0));
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
