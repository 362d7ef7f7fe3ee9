// draw.cpp: video modes and the three sets of tile and sprite routines, each
// written once over the geometry of its frame buffer.
#include "gfx/draw.h"

#include <algorithm>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "common/module_state.h"
#include "gfx/frame_buffer.h"
#include "gfx/pcx.h"
#include "gfx/plane_render.h"
#include "gfx/tile_blit.h"
#include "model/tiles.h"

VideoState Video;

void ResetVideo() { Video = {}; }
const ModuleReset kVideoReset(ResetVideo);

namespace {

// A routine set's frame: bytes per row, rows drawn, bytes per screen pixel.
template <int StrideV, int RowsV, int PxV>
struct Geometry {
  static constexpr int Stride = StrideV, Rows = RowsV, Px = PxV;
  static constexpr int Width = StrideV / PxV;  // screen pixels per row
};
using Set1 = Geometry<320, 200, 1>;  // mode 0
using Set2 = Geometry<640, 200, 2>;  // mode 2: every pixel is two equal bytes
using Set3 = Geometry<640, 480, 1>;  // mode 4

// origin + world - camera with the 32-bit wrap-around of the position maths.
int64_t ScreenPos(int32_t origin, int32_t world, int32_t camera) {
  return int32_t(uint32_t(origin) + uint32_t(world) - uint32_t(camera));
}

// The part of a window that lies on the screen: writes never leave the frame,
// even when a caller's window does.
struct Window {
  int64_t left, right, top, bottom;
};
template <class G>
Window OnScreen(int64_t left, int64_t right, int64_t top, int64_t bottom) {
  return {std::max<int64_t>(left, 0), std::min<int64_t>(right, G::Width), std::max<int64_t>(top, 0),
          std::min<int64_t>(bottom, G::Rows)};
}

// An 8x8 tile at screen (sx, sy) inside window w, which lies on the screen.
// Whole tiles take the row-copy path; the rest are cut to the window.
template <class G, bool Masked>
void BlitTile(const Tile& tile, int64_t sx, int64_t sy, Window w) {
  if (sx < w.left - 7 || sx >= w.right || sy < w.top - 7 || sy >= w.bottom) return;
  constexpr int kRowBytes = 8 * G::Px;
  const uint8_t* px = TilePixels(tile, 8 * kRowBytes);
  uint8_t* fb = Screen.FrameBuffer;
  if (!px || !fb) return;
  if constexpr (G::Px == 1) {
    if (sx >= w.left && sx < w.right - 8 && sy >= w.top && sy < w.bottom - 8) {
      uint8_t* dst = fb + sy * G::Stride + sx;
      Masked ? MergeTile8x8(dst, G::Stride, px) : CopyTile8x8(dst, G::Stride, px);
      return;
    }
  }
  int64_t c0 = std::max<int64_t>(0, w.left - sx), c1 = std::min<int64_t>(8, w.right - sx);
  int64_t r0 = std::max<int64_t>(0, w.top - sy), r1 = std::min<int64_t>(8, w.bottom - sy);
  for (int64_t r = r0; r < r1; ++r) {
    const uint8_t* src = px + r * kRowBytes;
    uint8_t* row = fb + (sy + r) * G::Stride;
    if constexpr (G::Px == 1) {
      // Tiles cut only at the top or bottom still move whole rows.
      if (c0 == 0 && c1 == 8) {
        Masked ? MergeRow8(row + sx, src) : CopyRow8(row + sx, src);
      } else {
        // Cut at the side: byte by byte, yet without a branch on the pixel.
        for (int64_t c = c0; c < c1; ++c) {
          uint8_t v = src[c], &d = row[sx + c];
          d = Masked ? uint8_t((d & uint8_t(-(v == 0))) | v) : v;
        }
      }
      continue;
    }
    for (int64_t c = c0; c < c1; ++c) {
      const uint8_t* p = src + c * G::Px;
      if (Masked && p[0] == 0) continue;  // mode 2 tests the first byte of the pair
      uint8_t* d = row + (sx + c) * G::Px;
      d[0] = p[0];
      if constexpr (G::Px == 2) d[1] = p[1];
    }
  }
}

#if defined(__x86_64__)
__attribute__((target("avx512f,avx512bw"))) void MergeRows64(uint8_t* dst, int64_t dstStride, const uint8_t* src,
                                                             int64_t srcStride, int64_t n, int64_t rows) {
  const int64_t whole = n & ~int64_t(63);
  const __mmask64 tail = n == whole ? 0 : ~0ULL >> (64 - (n - whole));
  for (int64_t r = 0; r < rows; ++r, dst += dstStride, src += srcStride) {
    for (int64_t c = 0; c < whole; c += 64) {
      const __m512i v = _mm512_loadu_si512(src + c);
      _mm512_storeu_si512(dst + c, _mm512_mask_mov_epi8(_mm512_loadu_si512(dst + c), _mm512_test_epi8_mask(v, v), v));
    }
    // The bytes past the row are neither read nor written.
    const __m512i v = _mm512_maskz_loadu_epi8(tail, src + whole);
    _mm512_mask_storeu_epi8(dst + whole, _mm512_mask_test_epi8_mask(tail, v, v), v);
  }
}

// Thirty-two at a time, the rest of a row sixteen or fewer at a time.
__attribute__((target("avx2"))) void MergeRows32(uint8_t* dst, int64_t dstStride, const uint8_t* src,
                                                 int64_t srcStride, int64_t n, int64_t rows) {
  const __m256i zero = _mm256_setzero_si256();
  for (int64_t r = 0; r < rows; ++r, dst += dstStride, src += srcStride) {
    int64_t c = 0;
    for (; c + 32 <= n; c += 32) {
      const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + c));
      const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + c));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + c), _mm256_blendv_epi8(s, d, _mm256_cmpeq_epi8(s, zero)));
    }
    MergeRow(dst + c, src + c, size_t(n - c));
  }
}
#endif

void MergeRowsPlain(uint8_t* dst, int64_t dstStride, const uint8_t* src, int64_t srcStride, int64_t n, int64_t rows) {
  for (int64_t r = 0; r < rows; ++r, dst += dstStride, src += srcStride) MergeRow(dst, src, size_t(n));
}

WideMergeFn WideMerge() {
  static const WideMergeFn fn = WideMergeCandidates().back();
  return fn;
}

// All four sprite variants: the flips pick the origin pair and mirror the source.
template <class G, bool FlipH, bool FlipV>
int BlitSprite(const Sprite& s, int32_t camX, int32_t camY, int32_t x, int32_t y, int64_t left, int64_t right,
               int64_t top, int64_t bottom) {
  int64_t sx = ScreenPos(FlipH ? s.flippedOriginX : s.originX, x, camX);
  int64_t sy = ScreenPos(FlipV ? s.flippedOriginY : s.originY, y, camY);
  int64_t w = s.width / G::Px, h = s.height;
  if (sx <= left - w || sx >= right || sy <= top - h || sy >= bottom) return 0;
  if (s.currentFrame >= s.frames.size()) return 0;
  const std::vector<uint8_t>& frame = s.frames[s.currentFrame];
  uint8_t* fb = Screen.FrameBuffer;
  if (!fb || frame.size() < uint64_t(s.width) * s.height) return 0;
  Window win = OnScreen<G>(left, right, top, bottom);
  int64_t c0 = std::max<int64_t>(0, win.left - sx), c1 = std::min<int64_t>(w, win.right - sx);
  int64_t r0 = std::max<int64_t>(0, win.top - sy), r1 = std::min<int64_t>(h, win.bottom - sy);
  if constexpr (G::Px == 1 && !FlipH) {
    // Unmirrored rows merge many pixels at a time; a glyph's two rows at a time.
    if (c1 <= c0) return 1;
    const int64_t step = FlipV ? -int64_t(s.width) : int64_t(s.width), n = c1 - c0;
    const uint8_t* src = frame.data() + (FlipV ? h - 1 - r0 : r0) * int64_t(s.width) + c0;
    uint8_t* dst = fb + (sy + r0) * G::Stride + sx + c0;
    if (n == 8 && step == 8)
      MergeRows8(dst, G::Stride, src, r1 - r0);  // a whole glyph row: the rows lie next to each other
    else if (n >= 64)
      WideMerge()(dst, G::Stride, src, step, n, r1 - r0);
    else
      MergeRowsPlain(dst, G::Stride, src, step, n, r1 - r0);
    return 1;
  }
  for (int64_t r = r0; r < r1; ++r) {
    const uint8_t* src = frame.data() + (FlipV ? h - 1 - r : r) * int64_t(s.width);
    uint8_t* row = fb + (sy + r) * G::Stride;
    for (int64_t c = c0; c < c1; ++c) {
      const uint8_t* p = src + (FlipH ? w - 1 - c : c) * G::Px;
      if (p[0] == 0) continue;
      uint8_t* d = row + (sx + c) * G::Px;
      d[0] = p[0];
      if constexpr (G::Px == 2) d[1] = p[1];
    }
  }
  return 1;
}

// The table's entry points, in the signatures of its slots.
template <class G, bool Masked>
void TileSlot(const Tile& t, int32_t camX, int32_t camY, int32_t x, int32_t y) {
  BlitTile<G, Masked>(t, ScreenPos(0, x, camX), ScreenPos(0, y, camY), {0, G::Width, 0, G::Rows});
}

template <class G, bool Masked>
void TileClipSlot(const Tile& t, int32_t camX, int32_t camY, int32_t x, int32_t y, int32_t left, int32_t right,
                  int32_t top, int32_t bottom) {
  BlitTile<G, Masked>(t, ScreenPos(0, x, camX), ScreenPos(0, y, camY), OnScreen<G>(left, right, top, bottom));
}

template <class G, bool FlipH, bool FlipV>
int SpriteSlot(const Sprite& s, int32_t camX, int32_t camY, int32_t x, int32_t y) {
  return BlitSprite<G, FlipH, FlipV>(s, camX, camY, x, y, 0, G::Width, 0, G::Rows);
}

template <class G, bool FlipH, bool FlipV>
int SpriteClipSlot(const Sprite& s, int32_t camX, int32_t camY, int32_t x, int32_t y, int32_t left, int32_t right,
                   int32_t top, int32_t bottom) {
  return BlitSprite<G, FlipH, FlipV>(s, camX, camY, x, y, left, right, top, bottom);
}

template <class G>
constexpr DrawTableT kRoutineSet = {
    &TileSlot<G, false>,
    &TileSlot<G, true>,
    &SpriteSlot<G, false, false>,
    &SpriteSlot<G, false, true>,
    &SpriteSlot<G, true, false>,
    &SpriteSlot<G, true, true>,
    &TileClipSlot<G, false>,
    &TileClipSlot<G, true>,
    &SpriteClipSlot<G, false, false>,
    &SpriteClipSlot<G, false, true>,
    &SpriteClipSlot<G, true, false>,
    &SpriteClipSlot<G, true, true>,
};
static_assert(sizeof(DrawTableT) == 12 * sizeof(void (*)()), "the DrawTable has twelve slots");

}  // namespace

void MergeWideRows(uint8_t* dst, int64_t dstStride, const uint8_t* src, int64_t srcStride, int64_t n, int64_t rows) {
  WideMerge()(dst, dstStride, src, srcStride, n, rows);
}

std::vector<WideMergeFn> WideMergeCandidates() {
  std::vector<WideMergeFn> ways{&MergeRowsPlain};
#if defined(__x86_64__)
  if (__builtin_cpu_supports("avx2")) ways.push_back(&MergeRows32);
  if (__builtin_cpu_supports("avx512bw")) ways.push_back(&MergeRows64);
#endif
  return ways;
}

void SelectVideoMode(uint8_t mode) {
  Video.VideoMode = mode;
  if (mode != 0 && mode != 2 && mode != 4) return;
  Video.DrawTable = mode == 0 ? kRoutineSet<Set1> : mode == 2 ? kRoutineSet<Set2> : kRoutineSet<Set3>;
  Video.TileColumns = mode == 4 ? 81 : 41;
  Video.TileRows = mode == 4 ? 61 : 26;
  Video.ScreenWidth = uint16_t(mode == 4 ? 640 : 320);
  Video.ScreenHeight = uint16_t(mode == 4 ? 480 : 200);
  // Mode 4 keeps the plane renderers it had: they are written for a 320-byte row.
  if (mode != 4) FillPlaneDrawTable(mode);
}
