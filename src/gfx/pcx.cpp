// pcx.cpp: the 320x200 8-bit PCX reader and writer, and sprite frames cut from the scratch image.
#include "gfx/pcx.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "common/binary_reader.h"
#include "common/limits.h"
#include "common/module_state.h"
#include "gfx/draw.h"
#include "gfx/frame_buffer.h"

PcxImage ScratchImage;

void ResetScratchImage() { ScratchImage = {}; }
const ModuleReset kScratchImageReset(ResetScratchImage);

namespace {

constexpr size_t kPixelBlock = 64001;  // 320 x 200, plus the palette marker a full stream ends on
constexpr size_t kFramePixels = 64000;
constexpr size_t kPaletteBytes = 768;
constexpr int kStride = 320;

}  // namespace

void AllocateScratchPixels() { ScratchImage.pixels.assign(kPixelBlock, 0); }

namespace {

uint16_t HeaderU16(const std::array<uint8_t, 128>& h, size_t at) { return uint16_t(h[at] | h[at + 1] << 8); }

// What the header says that this reader cannot take: it decodes every file
// as one 320x200 plane of 8-bit run-length pixels. Empty when all is well.
std::string HeaderProblems(const std::array<uint8_t, 128>& h) {
  std::string out;
  auto wrong = [&](const std::string& said, const char* want) {
    out += (out.empty() ? "" : ", ") + said + " (not " + want + ")";
  };
  if (h[0] != 10) wrong("manufacturer " + std::to_string(h[0]), "10");
  if (h[2] != 1) wrong("encoding " + std::to_string(h[2]), "1");
  if (h[3] != 8) wrong(std::to_string(h[3]) + " bits a pixel", "8");
  if (h[65] != 1) wrong(std::to_string(h[65]) + " planes", "1");
  const int width = int(HeaderU16(h, 8)) - HeaderU16(h, 4) + 1, height = int(HeaderU16(h, 10)) - HeaderU16(h, 6) + 1;
  if (width != 320 || height != 200) wrong(std::to_string(width) + "x" + std::to_string(height) + " pixels", "320x200");
  if (HeaderU16(h, 66) != 320) wrong(std::to_string(HeaderU16(h, 66)) + " bytes a line", "320");
  return out.empty() ? out : "not a 320x200 8-bit PCX: " + out + "; read as one all the same";
}

}  // namespace

std::optional<PcxImage> ReadPcx(const std::string& path, bool installPalette) {
  auto opened = BinaryReader::Open(path, kMaxPcxBytes);
  if (!opened) return std::nullopt;
  BinaryReader& in = *opened;

  PcxImage image;
  in.Bytes(image.header.data(), image.header.size());
  // A file too short for a header says so below, as image data that ends early.
  std::string problems = in.Short() ? "" : HeaderProblems(image.header);
  auto add = [&](const std::string& problem) { problems += (problems.empty() ? "" : "; ") + problem; };
  image.pixels.assign(kPixelBlock, 0);
  uint8_t* out = image.pixels.data();
  size_t i = 0;
  while (i < kPixelBlock) {
    uint8_t b = in.U8();
    if (b < 0xC0) {
      out[i++] = b;
      continue;
    }
    // A run of 0..63; a zero-length run still consumes its value byte.
    size_t count = std::min<size_t>(b - 0xC0, kPixelBlock - i);
    uint8_t v = in.U8();
    std::fill_n(out + i, count, v);
    i += count;
  }
  const bool streamShort = in.Short();
  const size_t dataEnd = in.Position();

  // The palette is the last 768 bytes; a smaller file gives what it has, then zeros.
  uint8_t raw[kPaletteBytes];
  in.Seek(in.Size() >= kPaletteBytes ? in.Size() - kPaletteBytes : 0);
  in.Bytes(raw, kPaletteBytes);
  for (size_t c = 0; c < kPaletteBytes; ++c) image.palette[c] = raw[c] >> 2;

  if (in.FileSize() > in.Size())
    add(std::to_string(in.FileSize()) + " bytes, more than any 320x200 PCX takes; reading the first " +
        std::to_string(in.Size()));
  if (streamShort)
    add("image data ends before 320x200 pixels");
  else if (in.Size() < 128 + kPaletteBytes)
    add("too short to hold a palette");
  else if (dataEnd > in.Size() - kPaletteBytes)
    add("palette cut short; " + std::to_string(dataEnd - (in.Size() - kPaletteBytes)) +
        " of its colour bytes are image data");
  // Everything wrong with one file goes in one line.
  if (!problems.empty()) std::fprintf(stderr, "%s: %s\n", path.c_str(), problems.c_str());

  if (installPalette)
    for (uint16_t slot = 0; slot < 256; ++slot) SetPaletteEntry(slot, &image.palette[slot * 3]);
  return image;
}

int LoadPcx(const std::string& path, PcxImage& image, int installPalette) {
  std::optional<PcxImage> read = ReadPcx(path, installPalette != 0);
  if (!read) return 0;
  image = std::move(*read);
  return 1;
}

void InitSprite(Sprite& sprite, uint32_t width, uint32_t height) {
  sprite = Sprite{};
  sprite.width = Video.VideoMode == 2 ? width * 2 : width;
  sprite.height = height;
}

void CutSpriteFrame(const PcxImage& image, Sprite& sprite, int frameSlot, int x, int y) {
  if (frameSlot < 0 || frameSlot >= int(sprite.frames.size())) return;
  uint64_t bytes = uint64_t(sprite.width) * sprite.height;
  if (bytes > kMaxSpriteBytes) {
    std::fprintf(stderr, "sprite of %ux%u is larger than any screen; frame left out\n", sprite.width, sprite.height);
    return;
  }
  std::vector<uint8_t>& frame = sprite.frames[frameSlot];
  frame.assign(bytes + 1, 0);
  // Reads follow the image's linear layout (as the callers' rectangles assume);
  // anything before or after the pixel block reads as transparent.
  auto pixel = [&](int64_t row, int64_t col) -> uint8_t {
    int64_t at = (int64_t(y) + row) * kStride + x + col;
    return at >= 0 && at < int64_t(image.pixels.size()) ? image.pixels[size_t(at)] : 0;
  };
  uint32_t w = sprite.width;
  for (uint32_t r = 0; r < sprite.height; ++r) {
    uint8_t* dst = frame.data() + size_t(r) * w;
    if (Video.VideoMode == 2) {
      for (uint32_t c = 0; c < w / 2; ++c) dst[2 * c] = dst[2 * c + 1] = pixel(r, c);
    } else {
      for (uint32_t c = 0; c < w; ++c) dst[c] = pixel(r, c);
    }
  }
  ++sprite.frameCount;
}

void FreeSpriteFrames(Sprite& sprite) {
  for (auto& frame : sprite.frames) frame = {};
}

namespace {

void PutPcxHeader(std::vector<uint8_t>& out) {
  PutU8(out, 10);  // ZSoft
  PutU8(out, 5);   // version 3.0 with a 256-colour palette
  PutU8(out, 1);   // run-length encoded
  PutU8(out, 8);   // bits per pixel
  PutU16LE(out, 0);
  PutU16LE(out, 0);
  PutU16LE(out, 319);
  PutU16LE(out, 199);
  PutU16LE(out, 144);
  PutU16LE(out, 144);
  out.resize(out.size() + 48 + 1, 0);  // 16-colour palette, reserved
  PutU8(out, 1);                       // planes
  PutU16LE(out, 320);                  // bytes per line
  PutU16LE(out, 1);                    // colour palette
  out.resize(128, 0);
}

}  // namespace

std::vector<uint8_t> EncodePcx(const uint8_t* pixels, const uint8_t* palette8) {
  std::vector<uint8_t> out;
  out.reserve(128 + kFramePixels + 1 + kPaletteBytes);
  PutPcxHeader(out);
  // Runs of 2..63 never cross a row end, so every row decodes on its own.
  size_t i = 0;
  int col = 0;
  while (i < kFramePixels) {
    if (i + 1 < kFramePixels && pixels[i] == pixels[i + 1] && col < 319) {
      uint8_t v = pixels[i];
      int count = 2;
      i += 2;
      col += 2;
      while (i < kFramePixels && pixels[i] == v && count < 63 && col < 320) {
        ++count;
        ++i;
        ++col;
      }
      PutU8(out, 192 + count);
      PutU8(out, v);
    } else {
      // A single value that would read as a run marker goes out as a run of one.
      if (pixels[i] >= 192) PutU8(out, 193);
      PutU8(out, pixels[i]);
      ++i;
      ++col;
    }
    if (col == 320) col = 0;
  }
  PutU8(out, 12);
  out.insert(out.end(), palette8, palette8 + kPaletteBytes);
  return out;
}
