// tile_blit.h: row and 8x8 tile blits for one-byte pixels, shared by the tile
// and sprite routines and the plane renderers, and the merge of a block that
// overhangs the frame's side.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "model/tiles.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The block the tile shows now, or null when it has none of at least `bytes` bytes.
inline const uint8_t* TilePixels(const Tile& tile, size_t bytes) {
  if (tile.frame >= tile.frames.size()) return nullptr;
  const std::vector<uint8_t>& block = tile.frames[tile.frame];
  return block.size() >= bytes ? block.data() : nullptr;
}

// 0xFF in every byte of v that is not 0, 0x00 elsewhere.
inline uint64_t NonZeroMask(uint64_t v) {
  constexpr uint64_t k7F = 0x7F7F7F7F7F7F7F7FULL, k01 = 0x0101010101010101ULL;
  // Adding 0x7F carries into bit 7 exactly when the low seven bits are not all 0.
  uint64_t top = ((v & k7F) + k7F) | v;
  return ((top >> 7) & k01) * 0xFF;
}

// Eight bytes copied as they are, 0 included.
inline void CopyRow8(uint8_t* dst, const uint8_t* src) { std::memcpy(dst, src, 8); }

// Eight bytes, each written only when it is not 0; no branch per pixel.
inline void MergeRow8(uint8_t* dst, const uint8_t* src) {
#if defined(__SSE2__)
  __m128i s = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(src));
  __m128i d = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(dst));
  __m128i keep = _mm_cmpeq_epi8(s, _mm_setzero_si128());
  _mm_storel_epi64(reinterpret_cast<__m128i*>(dst), _mm_or_si128(_mm_and_si128(d, keep), s));
#else
  uint64_t s, d;
  std::memcpy(&s, src, 8);
  std::memcpy(&d, dst, 8);
  d = (d & ~NonZeroMask(s)) | s;
  std::memcpy(dst, &d, 8);
#endif
}

// n bytes, each written only when it is not 0: sixteen at a time, then eight,
// then one by one, never with a branch on a pixel.
inline void MergeRow(uint8_t* dst, const uint8_t* src, size_t n) {
  size_t c = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; c + 16 <= n; c += 16) {
    __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + c));
    __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + c));
    dv = _mm_or_si128(_mm_and_si128(dv, _mm_cmpeq_epi8(sv, zero)), sv);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + c), dv);
  }
#endif
  for (; c + 8 <= n; c += 8) MergeRow8(dst + c, src + c);
  for (; c < n; ++c) dst[c] = uint8_t((dst[c] & uint8_t(-(src[c] == 0))) | src[c]);
}

// n >= 16 bytes copied sixteen at a time, the last sixteen overlapping the
// ones before: the compiler's own copy of a length it cannot see is a
// string instruction slow to start.
inline void CopyRun(uint8_t* dst, const uint8_t* src, size_t n) {
#if defined(__SSE2__)
  size_t i = 0;
  for (; i + 16 <= n; i += 16)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)));
  if (i < n)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + n - 16),
                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + n - 16)));
#else
  std::memcpy(dst, src, n);
#endif
}

// A whole 8x8 block (64 bytes, 8 a row) onto dst with the given stride.
inline void CopyTile8x8(uint8_t* dst, size_t stride, const uint8_t* src) {
#if defined(__SSE2__)
  for (int r = 0; r < 8; r += 2) {
    __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + r * 8));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + r * stride), s);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + (r + 1) * stride), _mm_unpackhi_epi64(s, s));
  }
#else
  for (int r = 0; r < 8; ++r) CopyRow8(dst + r * stride, src + r * 8);
#endif
}

#if defined(__SSE2__)
// Two 8-byte rows, s holding both, merged into dst and the row below it: a
// pixel of s that is not 0 replaces the one under it.
inline void MergeRowPair(uint8_t* dst, size_t stride, __m128i s) {
  __m128i d = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(dst)),
                                 _mm_loadl_epi64(reinterpret_cast<const __m128i*>(dst + stride)));
  d = _mm_or_si128(_mm_and_si128(d, _mm_cmpeq_epi8(s, _mm_setzero_si128())), s);
  _mm_storel_epi64(reinterpret_cast<__m128i*>(dst), d);
  _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + stride), _mm_unpackhi_epi64(d, d));
}
#endif

// `rows` rows of an 8-byte-wide block (a glyph) whose rows lie next to each
// other in src: two a register.
inline void MergeRows8(uint8_t* dst, size_t stride, const uint8_t* src, int64_t rows) {
  int64_t r = 0;
#if defined(__SSE2__)
  for (; r + 2 <= rows; r += 2, dst += 2 * stride, src += 16)
    MergeRowPair(dst, stride, _mm_loadu_si128(reinterpret_cast<const __m128i*>(src)));
#endif
  for (; r < rows; ++r, dst += stride, src += 8) MergeRow8(dst, src);
}

inline void MergeTile8x8(uint8_t* dst, size_t stride, const uint8_t* src) { MergeRows8(dst, stride, src, 8); }

// 0xFF in byte c for each bit c of `columns`: the pixel columns of an 8-byte row.
inline uint64_t ColumnBytes(uint8_t columns) {
  uint64_t mask = 0;
  for (int c = 0; c < 8; ++c) mask |= uint64_t(columns >> c & 1) * 0xFF << (8 * c);
  return mask;
}

// `rows` rows of an 8-byte-wide block whose rows lie next to each other in
// src, merged through a column mask: only the pixels in the columns of `mask`
// (ColumnBytes) that are not 0 are written, two rows a register.
inline void MergeRows8Masked(uint8_t* dst, size_t stride, const uint8_t* src, int rows, uint64_t mask) {
  int r = 0;
#if defined(__SSE2__)
  const __m128i m = _mm_set1_epi64x(int64_t(mask));
  for (; r + 2 <= rows; r += 2, dst += 2 * stride, src += 16)
    MergeRowPair(dst, stride, _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src)), m));
#endif
  for (; r < rows; ++r, dst += stride, src += 8) {
    uint64_t s, d;
    std::memcpy(&s, src, 8);
    std::memcpy(&d, dst, 8);
    s &= mask;
    d = (d & ~NonZeroMask(s)) | s;
    std::memcpy(dst, &d, 8);
  }
}

// `rows` rows of an 8-byte-wide block whose rows lie next to each other in
// src, onto an 8-byte window of each screen row (rows `stride` apart) that
// the block overhangs: block byte c lands at window byte c - shift (shift
// 0..7: the block is cut at the left, or not at all; -7..-1: at the right).
// Of the block bytes in `columns` (ColumnBytes) that land in the window,
// those not 0 are written, or all of them where `copy`. No byte outside the
// window is touched.
inline void MergeRowsShifted(uint8_t* window, size_t stride, const uint8_t* src, int rows, int shift, uint64_t columns,
                             bool copy) {
  static_assert(std::endian::native == std::endian::little, "byte c of a row is bits 8c..8c+7 of its word");
  const int bits = 8 * (shift > 0 ? shift : -shift);
  const uint64_t mask = shift > 0 ? columns >> bits : columns << bits;
  for (int r = 0; r < rows; ++r, window += stride, src += 8) {
    uint64_t s, d;
    std::memcpy(&s, src, 8);
    std::memcpy(&d, window, 8);
    s = (shift > 0 ? s >> bits : s << bits) & mask;
    const uint64_t written = copy ? mask : NonZeroMask(s);
    d = (d & ~written) | s;
    std::memcpy(window, &d, 8);
  }
}
