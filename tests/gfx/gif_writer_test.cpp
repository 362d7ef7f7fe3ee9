// gif_writer_test.cpp: GIFs read back with giflib's decoder and laid frame
// over frame as a browser shows them: odd palettes and sizes, the changed
// rectangle, transparency, merged delays, slices, and the recorder's timing.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/binary_reader.h"
#include "gfx/frame_buffer.h"
#include "gfx/gif_record.h"
#include "gfx/gif_writer.h"

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

namespace {

// What a reader shows after each frame, as RGB triples, with each frame's
// delay, its rectangle and whether it had a table of its own.
struct Shown {
  std::vector<Bytes> rgb;
  std::vector<int> delays, transparent;
  std::vector<GifImageDesc> rects;
  bool loops = false;
};

struct Reader {
  const Bytes* bytes;
  size_t at = 0;
};

int ReadBytes(GifFileType* gif, GifByteType* out, int length) {
  auto* r = static_cast<Reader*>(gif->UserData);
  const int n = int(std::min<size_t>(size_t(length), r->bytes->size() - r->at));
  std::memcpy(out, r->bytes->data() + r->at, size_t(n));
  r->at += size_t(n);
  return n;
}

Shown Decode(const Bytes& file) {
  Shown out;
  Reader reader{&file};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, ReadBytes, &error);
  if (!gif) return out;
  if (DGifSlurp(gif) != GIF_OK) {
    DGifCloseFile(gif, &error);
    return out;
  }
  const int w = gif->SWidth, h = gif->SHeight;
  Bytes canvas(size_t(w) * h * 3, 0);
  for (int k = 0; k < gif->ImageCount; ++k) {
    const SavedImage& image = gif->SavedImages[k];
    GraphicsControlBlock gcb{};
    DGifSavedExtensionToGCB(gif, k, &gcb);
    for (int e = 0; e < image.ExtensionBlockCount; ++e) {
      const ExtensionBlock& b = image.ExtensionBlocks[e];
      if (b.Function == APPLICATION_EXT_FUNC_CODE && b.ByteCount == 11 && !std::memcmp(b.Bytes, "NETSCAPE2.0", 11))
        out.loops = true;
    }
    const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
    const GifImageDesc& d = image.ImageDesc;
    for (int y = 0; y < d.Height; ++y)
      for (int x = 0; x < d.Width; ++x) {
        const int index = image.RasterBits[y * d.Width + x];
        if (index == gcb.TransparentColor) continue;
        uint8_t* px = &canvas[(size_t(d.Top + y) * w + d.Left + x) * 3];
        px[0] = map->Colors[index].Red, px[1] = map->Colors[index].Green, px[2] = map->Colors[index].Blue;
      }
    out.rgb.push_back(canvas);
    out.delays.push_back(gcb.DelayTime);
    out.transparent.push_back(gcb.TransparentColor);
    out.rects.push_back(d);
  }
  DGifCloseFile(gif, &error);
  return out;
}

Bytes Rgb(const GifPicture& p) {
  Bytes out;
  for (uint8_t i : p.pixels) out.insert(out.end(), {p.palette[i * 3], p.palette[i * 3 + 1], p.palette[i * 3 + 2]});
  return out;
}

std::array<uint8_t, 768> Greys() {
  std::array<uint8_t, 768> p{};
  for (int i = 0; i < 768; ++i) p[i] = uint8_t(i / 3);
  return p;
}

GifPicture Picture(int w, int h, uint8_t fill, const std::array<uint8_t, 768>& palette = Greys()) {
  return {Bytes(size_t(w) * h, fill), palette};
}

// Writes the frames with the delays, each frame's rows in slices of sliceRows.
Bytes Write(int w, int h, const std::vector<GifPicture>& frames, const std::vector<uint16_t>& delays,
            int sliceRows = 1 << 20) {
  GifStream s;
  EXPECT_TRUE(GifBegin(s, w, h, frames[0].palette));
  for (size_t k = 0; k < frames.size(); ++k) {
    EXPECT_TRUE(GifAddFrame(s, GifPicture(frames[k]), delays[k]));
    while (GifFramePending(s)) EXPECT_TRUE(GifWriteRows(s, sliceRows));
  }
  return GifEnd(s);
}

TEST(GifWriter, EdgeFramesDecodeToTheirColoursWithRectanglesAndMergedDelays) {
  const int w = 7, h = 5;
  GifPicture first = Picture(w, h, 10);
  GifPicture onePixel = first;
  onePixel.pixels[2 * w + 3] = 200;
  GifPicture everyPixel = Picture(w, h, 99);
  std::array<uint8_t, 768> reds{};
  for (int i = 0; i < 256; ++i) reds[i * 3] = uint8_t(i), reds[i * 3 + 2] = uint8_t(255 - i);
  GifPicture allColours{Bytes(size_t(w) * h), reds};
  for (int i = 0; i < w * h; ++i) allColours.pixels[size_t(i)] = uint8_t(i * 7);

  const Bytes file = Write(w, h, {first, onePixel, onePixel, everyPixel, allColours, allColours}, {3, 4, 3, 3, 4, 3});
  const Shown shown = Decode(file);
  ASSERT_EQ(shown.rgb.size(), 4u);  // the two repeats add their time instead
  EXPECT_TRUE(shown.loops);
  EXPECT_EQ(shown.rgb[0], Rgb(first));
  EXPECT_EQ(shown.rgb[1], Rgb(onePixel));
  EXPECT_EQ(shown.rgb[2], Rgb(everyPixel));
  EXPECT_EQ(shown.rgb[3], Rgb(allColours));
  EXPECT_EQ(shown.delays, (std::vector<int>{3, 4 + 3, 3, 4 + 3}));
  EXPECT_EQ(std::vector<int>({shown.rects[1].Left, shown.rects[1].Top, shown.rects[1].Width, shown.rects[1].Height}),
            std::vector<int>({3, 2, 1, 1}));
  EXPECT_EQ(shown.rects[2].Width * shown.rects[2].Height, w * h);
  EXPECT_EQ(shown.transparent[0], NO_TRANSPARENT_COLOR);
  EXPECT_NE(shown.transparent[1], NO_TRANSPARENT_COLOR);
  EXPECT_EQ(shown.rects[0].ColorMap, nullptr);
  EXPECT_NE(shown.rects[3].ColorMap, nullptr);

  // Every one of the 256 indices changed, in a table of its own: no index
  // is free for transparency, and the colours are still exact.
  GifPicture all256{Bytes(256), reds};
  for (int i = 0; i < 256; ++i) all256.pixels[size_t(i)] = uint8_t(i);
  const Shown full = Decode(Write(16, 16, {Picture(16, 16, 0), all256}, {3, 4}));
  ASSERT_EQ(full.rgb.size(), 2u);
  EXPECT_EQ(full.rgb[1], Rgb(all256));
  EXPECT_EQ(full.transparent[1], NO_TRANSPARENT_COLOR);
}

TEST(GifWriter, APaletteChangeAloneStoresThePixelsWhoseColourChanged) {
  const int w = 4, h = 3;
  GifPicture a = Picture(w, h, 1);
  a.pixels[5] = 2;
  GifPicture b = a;
  b.palette[2 * 3] = 255;  // index 2 turns red; index 1 stays grey
  const Shown shown = Decode(Write(w, h, {a, b}, {3, 4}));
  ASSERT_EQ(shown.rgb.size(), 2u);
  EXPECT_EQ(shown.rgb[1], Rgb(b));
  EXPECT_EQ(std::vector<int>({shown.rects[1].Left, shown.rects[1].Top, shown.rects[1].Width, shown.rects[1].Height}),
            std::vector<int>({1, 1, 1, 1}));
  // A changed palette that leaves every colour shown as it was changes nothing.
  GifPicture c = b;
  c.palette[200 * 3] = 7;
  EXPECT_EQ(Decode(Write(w, h, {b, c}, {3, 4})).delays, std::vector<int>({7}));
  // Back to the first palette after a frame with a table of its own (under
  // the sanitizers this also shows that table is freed).
  GifPicture d = a;
  d.pixels[0] = 2;
  const Shown back = Decode(Write(w, h, {a, b, d}, {3, 4, 3}));
  ASSERT_EQ(back.rgb.size(), 3u);
  EXPECT_EQ(back.rgb[2], Rgb(d));
}

TEST(GifWriter, SeededRandomRunsOfOddSizesAndPalettesDecodeExactly) {
  std::mt19937 rng(20);
  for (int run = 0; run < 40; ++run) {
    const int w = 1 + int(rng() % 40), h = 1 + int(rng() % 30);
    std::vector<GifPicture> frames;
    std::vector<uint16_t> delays;
    GifPicture p = Picture(w, h, uint8_t(rng()));
    for (auto& c : p.palette) c = uint8_t(rng());
    for (int k = 0; k < 12; ++k) {
      switch (rng() % 5) {
        case 0: break;                                                      // unchanged
        case 1: p.pixels[rng() % p.pixels.size()] = uint8_t(rng()); break;  // one pixel
        case 2:
          for (auto& i : p.pixels) i = uint8_t(rng());
          break;                                                 // every pixel
        case 3: p.palette[rng() % 768] = uint8_t(rng()); break;  // a colour
        default:
          for (auto& i : p.pixels) i = uint8_t(rng() % 4);  // a few colours
      }
      frames.push_back(p);
      delays.push_back(uint16_t(1 + rng() % 9));
    }
    const Bytes sliced = Write(w, h, frames, delays, 1 + int(rng() % 3));
    ASSERT_EQ(sliced, Write(w, h, frames, delays)) << "run " << run;
    const Shown shown = Decode(sliced);
    // Each decoded frame is the last input frame it stands for; the delays
    // of the frames it stands for add up.
    size_t k = 0;
    for (size_t f = 0; f < shown.rgb.size(); ++f) {
      int sum = delays[k];
      while (k + 1 < frames.size() && Rgb(frames[k + 1]) == Rgb(frames[k])) sum += delays[++k];
      ASSERT_EQ(shown.rgb[f], Rgb(frames[k])) << "run " << run << " frame " << f;
      EXPECT_EQ(shown.delays[f], sum);
      ++k;
    }
    EXPECT_EQ(k, frames.size());
  }
}

TEST(GifWriter, RefusesSizesAndFramesThatDoNotFit) {
  GifStream s;
  EXPECT_FALSE(GifBegin(s, 0, 10, Greys()));
  GifStream t;
  ASSERT_TRUE(GifBegin(t, 4, 4, Greys()));
  EXPECT_FALSE(GifAddFrame(t, Picture(4, 3, 0), 3));
  EXPECT_TRUE(GifEnd(t).empty());  // no frame: no file
}

// ---- The recorder ----------------------------------------------------------

std::vector<uint8_t> PaletteTable(int shift) {
  std::vector<uint8_t> t(1024);
  for (int i = 0; i < 256; ++i) t[i * 4] = uint8_t((i + shift) * 4 & 255), t[i * 4 + 1] = uint8_t(i);
  return t;
}

// Frame f of a scrolling stripe whose colours cycle every fifth frame.
Bytes Stripe(int f) {
  Bytes frame(320 * 200);
  for (size_t i = 0; i < frame.size(); ++i) frame[i] = uint8_t((i % 320 + size_t(f) * 3) / 16);
  return frame;
}

// Frame f as a reader must show it.
Bytes StripeRgb(int f) {
  const std::vector<uint8_t> table = PaletteTable(f / 5);
  GifPicture p{Stripe(f), {}};
  for (int slot = 0; slot < 256; ++slot) std::memcpy(&p.palette[size_t(slot) * 3], &table[size_t(slot) * 4], 3);
  return Rgb(p);
}

// Offers frames 0..count-1 of the stripe and writes the recording to path.
bool Record(bool worker, int count, const std::string& path, std::string& problem) {
  GifRecording r = StartRecording(worker);
  for (int f = 0; f < count; ++f) {
    RecordFrame(*r, Stripe(f).data(), PaletteTable(f / 5).data());
    RecordingSlice(*r, 37);
  }
  EXPECT_EQ(OfferedFrames(*r), uint64_t(count));
  return FinishRecording(std::move(r), path, problem);
}

TEST(GifRecorder, KeepsEverySecondFrameWithDelaysOfThreeFourThree) {
  EXPECT_EQ(std::vector<int>({RecordedFrameDelay(0), RecordedFrameDelay(1), RecordedFrameDelay(2),
                              RecordedFrameDelay(3), RecordedFrameDelay(4), RecordedFrameDelay(5)}),
            std::vector<int>({3, 4, 3, 3, 4, 3}));
  const fs::path dir = fs::temp_directory_path() / ("tarn-gif-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::string problem;
  ASSERT_TRUE(Record(true, 25, (dir / "worker.gif").string(), problem)) << problem;
  ASSERT_TRUE(Record(false, 25, (dir / "slices.gif").string(), problem)) << problem;
  const auto worker = ReadWholeFile((dir / "worker.gif").string(), 1 << 24);
  const auto slices = ReadWholeFile((dir / "slices.gif").string(), 1 << 24);
  ASSERT_TRUE(worker && slices);
  EXPECT_EQ(*worker, *slices);  // the thread changes when, never what
  const Shown shown = Decode(Bytes(worker->begin(), worker->end()));
  ASSERT_EQ(shown.rgb.size(), 13u);  // frames 0, 2, ... 24
  // Kept frames in runs of one palette and across its changes.
  for (int k = 0; k < 13; ++k) EXPECT_EQ(shown.rgb[size_t(k)], StripeRgb(2 * k)) << "frame " << 2 * k;
  EXPECT_EQ(shown.delays, std::vector<int>({3, 4, 3, 3, 4, 3, 3, 4, 3, 3, 4, 3, 3}));
  EXPECT_FALSE(Record(true, 3, (dir / "no-such-folder" / "x.gif").string(), problem));
  EXPECT_NE(problem.find((fs::path("no-such-folder") / "x.gif").string() + ": cannot write"), std::string::npos)
      << problem;
  EXPECT_FALSE(fs::exists(dir / "no-such-folder"));
  fs::remove_all(dir);
}

// The game's recording takes the engine's frame buffer instead of copying
// it: the frame stays on screen until the next one starts, every taken frame
// is recorded as it was drawn however the next frames draw over their
// buffers, and the frame buffer gets its memory back with the last frame in it.
TEST(GifRecorder, TakesTheFramesOfTheEnginesOwnBufferAndGivesItBack) {
  const fs::path path = fs::temp_directory_path() / ("tarn-take-" + std::to_string(::getpid()) + ".gif");
  const std::vector<uint8_t> table = PaletteTable(0);
  std::memcpy(Screen.PaletteTable.data(), table.data(), table.size());
  Screen.OwnFrame.assign(320 * 200, 0);
  Screen.FrameBuffer = Screen.OwnFrame.data();
  GifRecording r = StartRecording(true);
  for (int f = 0; f < 5; ++f) {
    ReleaseScreenFrame(*r);  // the frame starts
    std::memset(Screen.FrameBuffer, f + 1, 320 * 200);
    Screen.FrameBuffer[f] = 40;
    TakeScreenFrame(*r);
    ASSERT_EQ(Screen.FrameBuffer[0], f == 0 ? 40 : f + 1) << "a shot now still shows frame " << f;
    EXPECT_EQ(Screen.FrameBuffer == Screen.OwnFrame.data(), f % 2 == 1) << "only kept frames are taken";
  }
  std::string problem;
  ASSERT_TRUE(FinishRecording(std::move(r), path.string(), problem)) << problem;
  ASSERT_EQ(Screen.FrameBuffer, Screen.OwnFrame.data());
  EXPECT_EQ(Screen.FrameBuffer[4], 40);
  EXPECT_EQ(Screen.FrameBuffer[5], 5);
  const auto file = ReadWholeFile(path.string(), 1 << 24);
  ASSERT_TRUE(file);
  const Shown shown = Decode(Bytes(file->begin(), file->end()));
  ASSERT_EQ(shown.rgb.size(), 3u);  // frames 0, 2, 4
  for (int k = 0; k < 3; ++k) {
    const int f = k * 2;
    EXPECT_EQ(shown.rgb[k][size_t(f) * 3], (40 * 4) & 255) << "frame " << f;
    EXPECT_EQ(shown.rgb[k][size_t(f + 1) * 3], ((f + 1) * 4) & 255) << "frame " << f;
  }
  fs::remove(path);

  // Dropped with a frame taken: the frame buffer is whole again.
  r = StartRecording(false);
  std::memset(Screen.FrameBuffer, 9, 320 * 200);
  TakeScreenFrame(*r);
  ASSERT_NE(Screen.FrameBuffer, Screen.OwnFrame.data());
  r.reset();
  ASSERT_EQ(Screen.FrameBuffer, Screen.OwnFrame.data());
  EXPECT_EQ(Screen.FrameBuffer[64000 - 1], 9);

  // The display's own memory (full screen) is copied and stays put.
  Bytes display(320 * 200, 7);
  Screen.FrameBuffer = display.data();
  r = StartRecording(false);
  TakeScreenFrame(*r);
  ReleaseScreenFrame(*r);
  EXPECT_EQ(Screen.FrameBuffer, display.data());
  r.reset();
  ResetScreen();
}

}  // namespace
