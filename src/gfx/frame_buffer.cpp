// frame_buffer.cpp: the palette tables, the frame clear and the expansion of
// the frame into RGB display memory.
#include "gfx/frame_buffer.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "common/module_state.h"
#include "gfx/draw.h"

ScreenState Screen;

void ResetScreen() { Screen = {}; }
const ModuleReset kScreenReset(ResetScreen);

// Display pixel of a 6-bit triple in the current format; 8 and unknown formats have none.
static bool PixelValue(const uint8_t* rgb, uint32_t& v) {
  uint32_t r = rgb[0], g = rgb[1], b = rgb[2];
  switch (Screen.PixelFormatCode) {
    case 15: v = (r >> 1) << 10 | (g >> 1) << 5 | (b >> 1); return true;
    case 16: v = (r >> 1) << 11 | g << 5 | (b >> 1); return true;
    case 24:
    case 32: v = uint32_t(uint8_t(r * 4)) << 16 | uint32_t(uint8_t(g * 4)) << 8 | uint8_t(b * 4); return true;
    case 25:
    case 33: v = uint32_t(uint8_t(b * 4)) << 16 | uint32_t(uint8_t(g * 4)) << 8 | uint8_t(r * 4); return true;
    default: return false;
  }
}

void SetPaletteEntry(uint16_t slot, const uint8_t* rgb) {
  slot &= 255;
  uint8_t* e = &Screen.PaletteTable[slot * 4];
  e[0] = uint8_t(rgb[0] * 4);
  e[1] = uint8_t(rgb[1] * 4);
  e[2] = uint8_t(rgb[2] * 4);
  e[3] = 0;
  uint32_t v;
  if (PixelValue(rgb, v)) Screen.PixelLookup[slot] = v;
}

void GetPaletteEntry(uint16_t slot, uint8_t* rgb) {
  const uint8_t* e = &Screen.PaletteTable[(slot & 255) * 4];
  rgb[0] = e[0] >> 2;
  rgb[1] = e[1] >> 2;
  rgb[2] = e[2] >> 2;
}

static size_t FrameBytes() { return Video.VideoMode == 0 ? 64000 : 307200; }

void ClearFrameBuffer(uint8_t colour) {
  if (Screen.FrameBuffer) std::memset(Screen.FrameBuffer, colour, FrameBytes());
}

void ClearFrameBufferBut(uint8_t colour, const std::bitset<200>& kept) {
  if (Video.VideoMode != 0 || kept.none()) return ClearFrameBuffer(colour);
  if (!Screen.FrameBuffer) return;
  // One memset a stretch of lines to clear.
  for (size_t y = 0; y < kept.size();) {
    if (kept[y]) {
      ++y;
      continue;
    }
    size_t end = y + 1;
    while (end < kept.size() && !kept[end]) ++end;
    std::memset(Screen.FrameBuffer + y * 320, colour, (end - y) * 320);
    y = end;
  }
}

namespace {

// Eight pixels a step from one 8-byte read; returns the pixels done.
uint32_t Expand32Scalar(const uint8_t* src, uint32_t* dst, const uint32_t* lut, uint32_t n) {
  uint32_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t s;
    std::memcpy(&s, src + i, 8);
    for (int k = 0; k < 8; ++k) dst[i + k] = lut[(s >> (8 * k)) & 255];
  }
  return i;
}

#if defined(__x86_64__) || defined(__i386__)
// Eight look-ups per AVX2 gather: faster on processors whose gathers are
// quick, slower on others.
__attribute__((target("avx2"))) uint32_t Expand32Gather(const uint8_t* src, uint32_t* dst, const uint32_t* lut,
                                                        uint32_t n) {
  uint32_t i = 0;
  for (; i + 8 <= n; i += 8) {
    __m256i index = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(src + i)));
    __m256i pixels = _mm256_i32gather_epi32(reinterpret_cast<const int*>(lut), index, 4);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), pixels);
  }
  return i;
}

// GCC's own permute intrinsic starts from an undefined register and warns of it.
#pragma GCC diagnostic push
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
// Sixty-four look-ups a step without a gather: the table cut into four byte
// planes of 256 (four registers each), each plane looked up by two
// two-register byte permutes and a blend on the index's top bit, then the planes interleaved
// into 32-bit pixels. The indices are reordered first so that the
// interleave, which works within 128-bit lanes, writes the pixels in order.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) uint32_t Expand32Permute(const uint8_t* src, uint32_t* dst,
                                                                                const uint32_t* lut, uint32_t n) {
  if (n < 64) return 0;
  alignas(64) uint8_t planes[4][256];
  for (int i = 0; i < 256; ++i)
    for (int b = 0; b < 4; ++b) planes[b][i] = uint8_t(lut[i] >> (8 * b));
  __m512i quarter[4][4];  // plane b, entries 64q..64q+63
  for (int b = 0; b < 4; ++b)
    for (int q = 0; q < 4; ++q) quarter[b][q] = _mm512_load_si512(planes[b] + 64 * q);
  // Byte 16j + 4m + k of the reordered indices is pixel 16m + 4j + k.
  static const std::array<uint8_t, 64> order = [] {
    std::array<uint8_t, 64> o{};
    for (int j = 0; j < 4; ++j)
      for (int m = 0; m < 4; ++m)
        for (int k = 0; k < 4; ++k) o[16 * j + 4 * m + k] = uint8_t(16 * m + 4 * j + k);
    return o;
  }();
  const __m512i reorder = _mm512_loadu_si512(order.data());
  // The top byte of every entry is mostly the same (no alpha in the window's
  // pixels): then it needs no look-up at all.
  const bool sameTop = std::all_of(planes[3], planes[3] + 256, [&](uint8_t v) { return v == planes[3][0]; });
  const __m512i top3 = _mm512_set1_epi8(char(planes[3][0]));
  // Pixels one by one up to a 64-byte boundary of the destination: a store
  // that straddles two cache lines costs two.
  uint32_t i = 0;
  for (; i < n && (reinterpret_cast<uintptr_t>(dst + i) & 63) != 0; ++i) dst[i] = lut[src[i]];
  for (; i + 64 <= n; i += 64) {
    const __m512i index = _mm512_permutexvar_epi8(reorder, _mm512_loadu_si512(src + i));
    const __mmask64 top = _mm512_movepi8_mask(index);
    __m512i p[4];
    for (int b = 0; b < 4; ++b) {
      if (b == 3 && sameTop) {
        p[b] = top3;
        break;
      }
      const __m512i low = _mm512_permutex2var_epi8(quarter[b][0], index, quarter[b][1]);
      const __m512i high = _mm512_permutex2var_epi8(quarter[b][2], index, quarter[b][3]);
      p[b] = _mm512_mask_blend_epi8(top, low, high);
    }
    const __m512i a = _mm512_unpacklo_epi8(p[0], p[1]), c = _mm512_unpacklo_epi8(p[2], p[3]);
    const __m512i b = _mm512_unpackhi_epi8(p[0], p[1]), e = _mm512_unpackhi_epi8(p[2], p[3]);
    _mm512_store_si512(dst + i, _mm512_unpacklo_epi16(a, c));
    _mm512_store_si512(dst + i + 16, _mm512_unpackhi_epi16(a, c));
    _mm512_store_si512(dst + i + 32, _mm512_unpacklo_epi16(b, e));
    _mm512_store_si512(dst + i + 48, _mm512_unpackhi_epi16(b, e));
  }
  return i;
}
#pragma GCC diagnostic pop
#endif

}  // namespace

std::vector<Expand32Fn> Expand32Candidates() {
  std::vector<Expand32Fn> ways{Expand32Scalar};
#if defined(__x86_64__) || defined(__i386__)
  if (__builtin_cpu_supports("avx2")) ways.push_back(Expand32Gather);
  if (__builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi")) ways.push_back(Expand32Permute);
#endif
  return ways;
}

namespace {

// The 32-bit expansion is the biggest single cost of a windowed frame. Which
// way is fastest depends on the processor (gathers are slow on some), so the
// first use times each on a frame's worth of pixels and keeps the fastest.
Expand32Fn Expand32() {
  static const Expand32Fn chosen = [] {
    const std::vector<Expand32Fn> ways = Expand32Candidates();
    if (ways.size() == 1) return ways[0];
    std::vector<uint8_t> src(64000);
    std::vector<uint32_t> dst(64000), lut(256);
    for (size_t i = 0; i < src.size(); ++i) src[i] = uint8_t(i * 37 + i / 320);
    auto fastest = [&](Expand32Fn f) {
      auto best = std::chrono::steady_clock::duration::max();
      for (int round = 0; round < 5; ++round) {
        const auto start = std::chrono::steady_clock::now();
        f(src.data(), dst.data(), lut.data(), 64000);
        best = std::min(best, std::chrono::steady_clock::now() - start);
      }
      return best;
    };
    Expand32Fn chosenWay = ways[0];
    auto chosenTime = fastest(chosenWay);
    for (size_t k = 1; k < ways.size(); ++k)
      if (const auto t = fastest(ways[k]); t < chosenTime) chosenWay = ways[k], chosenTime = t;
    return chosenWay;
  }();
  return chosen;
}

}  // namespace

void ConvertFrameBuffer() {
  const uint8_t* src = Screen.FrameBuffer;
  uint8_t* dst = Screen.ConvertDest;
  if (!src || !dst) return;
  const uint32_t* lut = Screen.PixelLookup.data();
  uint32_t n = Screen.ConvertCount;
  switch (Screen.PixelFormatCode) {
    case 15:
    case 16: {
      auto* d = reinterpret_cast<uint16_t*>(dst);
      for (uint32_t i = 0; i < n; ++i) d[i] = uint16_t(lut[src[i]]);
      break;
    }
    case 24:
    case 25:
      for (uint32_t i = 0; i < n; ++i) {
        uint32_t v = lut[src[i]];
        dst[3 * i] = uint8_t(v >> 16);
        dst[3 * i + 1] = uint8_t(v >> 8);
        dst[3 * i + 2] = uint8_t(v);
      }
      break;
    case 32:
    case 33: {
      auto* d = reinterpret_cast<uint32_t*>(dst);
      uint32_t i = Expand32()(src, d, lut, n);
      for (; i < n; ++i) d[i] = lut[src[i]];
      break;
    }
    default: break;
  }
}

void CaptureGlobalColours() {
  for (uint16_t slot = 64; slot < 256; ++slot) {
    uint8_t rgb[3];
    GetPaletteEntry(slot, rgb);
    Screen.GlobalRed[slot - 64] = rgb[0];
    Screen.GlobalGreen[slot - 64] = rgb[1];
    Screen.GlobalBlue[slot - 64] = rgb[2];
  }
}
