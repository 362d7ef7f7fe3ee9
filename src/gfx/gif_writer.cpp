// gif_writer.cpp: animated GIFs through giflib: the changed rectangle of each
// frame, transparency for what did not change, delays merged for repeats.
#include "gfx/gif_writer.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>

namespace {

int AppendBytes(GifFileType* gif, const GifByteType* data, int length) {
  auto* bytes = static_cast<std::vector<uint8_t>*>(gif->UserData);
  bytes->insert(bytes->end(), data, data + length);
  return length;
}

// A colour map of 256 entries, as giflib takes it.
struct ColourMap {
  ColorMapObject* map = nullptr;
  explicit ColourMap(const std::array<uint8_t, 768>& palette) {
    GifColorType colours[256];
    for (int i = 0; i < 256; ++i) colours[i] = {palette[i * 3], palette[i * 3 + 1], palette[i * 3 + 2]};
    map = GifMakeMapObject(256, colours);
  }
  ~ColourMap() { GifFreeMapObject(map); }
  ColourMap(const ColourMap&) = delete;
  ColourMap& operator=(const ColourMap&) = delete;
};

// Each index's colour as one number, so two palettes' pixels compare at once.
std::array<uint32_t, 256> ColourKeys(const std::array<uint8_t, 768>& palette) {
  std::array<uint32_t, 256> keys{};
  for (int i = 0; i < 256; ++i) keys[i] = uint32_t(palette[i * 3]) << 16 | palette[i * 3 + 1] << 8 | palette[i * 3 + 2];
  return keys;
}

struct Rect {
  int left = 0, top = 0, right = -1, bottom = -1;  // inclusive; empty when right < left
  bool Empty() const { return right < left; }
};

// Marks in changed[] every pixel whose colour differs between before and
// now, and returns their bounding rectangle.
Rect ChangedRect(const GifPicture& before, const GifPicture& now, int width, int height,
                 std::vector<uint8_t>& changed) {
  Rect r;
  r.left = width;
  const bool samePalette = before.palette == now.palette;
  const std::array<uint32_t, 256> keysBefore = ColourKeys(before.palette), keysNow = ColourKeys(now.palette);
  changed.assign(size_t(width) * height, 0);
  for (int y = 0; y < height; ++y) {
    const uint8_t* a = &before.pixels[size_t(y) * width];
    const uint8_t* b = &now.pixels[size_t(y) * width];
    if (samePalette && std::memcmp(a, b, size_t(width)) == 0) continue;
    uint8_t* mark = &changed[size_t(y) * width];
    bool any = false;
    for (int x = 0; x < width; ++x) {
      if (keysBefore[a[x]] == keysNow[b[x]]) continue;
      mark[x] = 1;
      any = true;
      r.left = std::min(r.left, x);
      r.right = std::max(r.right, x);
    }
    if (!any) continue;
    if (r.bottom < 0) r.top = y;
    r.bottom = y;
  }
  if (r.bottom < 0) return Rect{};
  return r;
}

// The first index no changed pixel of the rectangle uses, or -1.
int FreeIndex(const GifPicture& now, const std::vector<uint8_t>& changed, const Rect& r, int width) {
  std::array<bool, 256> used{};
  for (int y = r.top; y <= r.bottom; ++y)
    for (int x = r.left; x <= r.right; ++x)
      if (changed[size_t(y) * width + x]) used[now.pixels[size_t(y) * width + x]] = true;
  for (int i = 0; i < 256; ++i)
    if (!used[i]) return i;
  return -1;
}

}  // namespace

void GifFileCloser::operator()(GifFileType* gif) const {
  // Discarded unfinished: the trailer giflib writes goes with the bytes.
  int error = 0;
  EGifCloseFile(gif, &error);
}

bool GifBegin(GifStream& s, int width, int height, const std::array<uint8_t, 768>& firstPalette) {
  if (s.gif || width < 1 || height < 1 || width > 65535 || height > 65535) return false;
  s.width = width;
  s.height = height;
  s.globalPalette = firstPalette;
  int error = 0;
  s.gif.reset(EGifOpen(&s.bytes, AppendBytes, &error));
  if (!s.gif) return false;
  GifFileType* gif = s.gif.get();
  EGifSetGifVersion(gif, true);
  const ColourMap global(firstPalette);
  // The loop extension: NETSCAPE2.0 with a loop count of 0, for ever.
  static const GifByteType kNetscape[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
  static const GifByteType kForever[] = {1, 0, 0};
  if (!global.map || EGifPutScreenDesc(gif, width, height, 8, 0, global.map) == GIF_ERROR ||
      EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
      EGifPutExtensionBlock(gif, sizeof kNetscape, kNetscape) == GIF_ERROR ||
      EGifPutExtensionBlock(gif, sizeof kForever, kForever) == GIF_ERROR || EGifPutExtensionTrailer(gif) == GIF_ERROR) {
    s.failed = true;
    return false;
  }
  return true;
}

bool GifFramePending(const GifStream& s) { return s.rowsWritten < s.rectRows; }

bool GifAddFrame(GifStream& s, const GifPicture& frame, uint16_t delay) {
  if (s.failed || !s.gif || frame.pixels.size() != size_t(s.width) * s.height) return false;
  if (GifFramePending(s) && !GifWriteRows(s, s.rectRows)) return false;
  Rect r{0, 0, s.width - 1, s.height - 1};
  int transparent = NO_TRANSPARENT_COLOR;
  std::vector<uint8_t> changed;
  if (s.frames > 0) {
    r = ChangedRect(s.shown, frame, s.width, s.height, changed);
    if (r.Empty()) {
      // Nothing to show: the frame before stays up that much longer.
      uint8_t* at = &s.bytes[s.lastDelayAt];
      const uint32_t sum = std::min<uint32_t>(65535, uint32_t(at[0] | at[1] << 8) + delay);
      at[0] = uint8_t(sum);
      at[1] = uint8_t(sum >> 8);
      return true;
    }
    transparent = FreeIndex(frame, changed, r, s.width);
  }
  GifFileType* gif = s.gif.get();
  GraphicsControlBlock control{DISPOSE_DO_NOT, false, delay, transparent};
  GifByteType extension[4];
  EGifGCBToExtension(&control, extension);
  // giflib writes 0x21 0xF9 4, then the block: its delay is at 4 and 5.
  const size_t start = s.bytes.size();
  if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_ERROR || s.bytes.size() < start + 6 ||
      s.bytes[start + 1] != GRAPHICS_EXT_FUNC_CODE) {
    s.failed = true;
    return false;
  }
  s.lastDelayAt = start + 4;
  const bool local = frame.palette != s.globalPalette;
  const ColourMap colours(frame.palette);
  const int w = r.right - r.left + 1, h = r.bottom - r.top + 1;
  // giflib drops the last frame's own colour map unfreed when this one has
  // none: free it here first.
  if (!local && gif->Image.ColorMap) {
    GifFreeMapObject(gif->Image.ColorMap);
    gif->Image.ColorMap = nullptr;
  }
  if ((local && !colours.map) ||
      EGifPutImageDesc(gif, r.left, r.top, w, h, false, local ? colours.map : nullptr) == GIF_ERROR) {
    s.failed = true;
    return false;
  }
  s.rect.resize(size_t(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const size_t at = size_t(r.top + y) * s.width + r.left + x;
      const bool keep = transparent >= 0 && !changed[at];
      s.rect[size_t(y) * w + x] = keep ? uint8_t(transparent) : frame.pixels[at];
    }
  s.rectWidth = w;
  s.rectRows = h;
  s.rowsWritten = 0;
  s.shown = frame;
  ++s.frames;
  return true;
}

bool GifWriteRows(GifStream& s, int rows) {
  if (s.failed) return false;
  while (rows-- > 0 && GifFramePending(s)) {
    if (EGifPutLine(s.gif.get(), &s.rect[size_t(s.rowsWritten) * s.rectWidth], s.rectWidth) == GIF_ERROR) {
      s.failed = true;
      return false;
    }
    ++s.rowsWritten;
  }
  return true;
}

std::vector<uint8_t> GifEnd(GifStream& s) {
  if (s.failed || !s.gif || (GifFramePending(s) && !GifWriteRows(s, s.rectRows)) || s.frames == 0) {
    s.gif.reset();
    return {};
  }
  int error = 0;
  if (EGifCloseFile(s.gif.release(), &error) == GIF_ERROR) return {};
  return std::move(s.bytes);
}
