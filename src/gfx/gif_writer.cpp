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

// The bounding rectangle of the pixels whose colour differs between before
// and now (keys are each palette's colours as numbers).
Rect ChangedRect(const GifStream& s, const GifPicture& now) {
  Rect r;
  r.left = s.width;
  const bool samePalette = s.shown.palette == now.palette;
  for (int y = 0; y < s.height; ++y) {
    const uint8_t* a = &s.shown.pixels[size_t(y) * s.width];
    const uint8_t* b = &now.pixels[size_t(y) * s.width];
    if (samePalette && std::memcmp(a, b, size_t(s.width)) == 0) continue;
    int first = s.width, last = -1;
    for (int x = 0; x < s.width; ++x)
      if (s.keysBefore[a[x]] != s.keysNow[b[x]]) {
        first = std::min(first, x);
        last = x;
      }
    if (last < 0) continue;
    r.left = std::min(r.left, first);
    r.right = std::max(r.right, last);
    if (r.bottom < 0) r.top = y;
    r.bottom = y;
  }
  if (r.bottom < 0) return Rect{};
  return r;
}

// The first index no changed pixel of the rectangle uses, or -1.
int FreeIndex(const GifStream& s, const GifPicture& now, const Rect& r) {
  std::array<bool, 256> used{};
  for (int y = r.top; y <= r.bottom; ++y) {
    const uint8_t* a = &s.shown.pixels[size_t(y) * s.width];
    const uint8_t* b = &now.pixels[size_t(y) * s.width];
    for (int x = r.left; x <= r.right; ++x)
      if (s.keysBefore[a[x]] != s.keysNow[b[x]]) used[b[x]] = true;
  }
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

bool GifAddFrame(GifStream& s, GifPicture&& frame, uint16_t delay) {
  if (s.failed || !s.gif || frame.pixels.size() != size_t(s.width) * s.height) return false;
  if (GifFramePending(s) && !GifWriteRows(s, s.rectRows)) return false;
  Rect r{0, 0, s.width - 1, s.height - 1};
  int transparent = NO_TRANSPARENT_COLOR;
  if (s.frames > 0) {
    s.keysBefore = ColourKeys(s.shown.palette);
    s.keysNow = ColourKeys(frame.palette);
    r = ChangedRect(s, frame);
    if (r.Empty()) {
      // Nothing to show: the frame before stays up that much longer.
      uint8_t* at = &s.bytes[s.lastDelayAt];
      const uint32_t sum = std::min<uint32_t>(65535, uint32_t(at[0] | at[1] << 8) + delay);
      at[0] = uint8_t(sum);
      at[1] = uint8_t(sum >> 8);
      return true;
    }
    transparent = FreeIndex(s, frame, r);
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
  std::swap(s.now.pixels, frame.pixels);
  s.now.palette = frame.palette;
  s.rectLeft = r.left;
  s.rectTop = r.top;
  s.rectWidth = w;
  s.rectRows = h;
  s.rowsWritten = 0;
  s.transparent = transparent;
  s.row.resize(size_t(w));
  ++s.frames;
  return true;
}

bool GifWriteRows(GifStream& s, int rows) {
  if (s.failed) return false;
  while (rows-- > 0 && GifFramePending(s)) {
    const size_t at = size_t(s.rectTop + s.rowsWritten) * s.width + s.rectLeft;
    uint8_t* now = &s.now.pixels[at];
    uint8_t* row = now;
    if (s.transparent >= 0) {
      // Pixels whose colour did not change show through.
      const uint8_t* before = &s.shown.pixels[at];
      for (int x = 0; x < s.rectWidth; ++x)
        s.row[size_t(x)] = s.keysBefore[before[x]] == s.keysNow[now[x]] ? uint8_t(s.transparent) : now[x];
      row = s.row.data();
    }
    if (EGifPutLine(s.gif.get(), row, s.rectWidth) == GIF_ERROR) {
      s.failed = true;
      return false;
    }
    if (++s.rowsWritten == s.rectRows) std::swap(s.shown, s.now);
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
