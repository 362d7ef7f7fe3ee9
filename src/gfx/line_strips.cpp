// line_strips.cpp: the kept lines of opaque map rows and their upkeep.
#include "gfx/line_strips.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "common/module_state.h"
#include "gfx/tile_blit.h"

LineStripState LineStrips;

namespace {

void ResetLineStrips() { LineStrips = {}; }
const ModuleReset kLineStripsReset(ResetLineStrips);

using CopyLinesFn = void (*)(uint8_t* dst, ptrdiff_t dstStride, const uint8_t* src, size_t srcStride, size_t n,
                            int rows);

// Each row in whole steps, the last step overlapping the one before it.
#if defined(__x86_64__)
__attribute__((target("avx512f"))) void CopyLines64(uint8_t* dst, ptrdiff_t dstStride, const uint8_t* src,
                                                    size_t srcStride, size_t n, int rows) {
  for (int r = 0; r < rows; ++r, dst += dstStride, src += srcStride) {
    size_t c = 0;
    for (; c + 64 <= n; c += 64) _mm512_storeu_si512(dst + c, _mm512_loadu_si512(src + c));
    if (c < n) _mm512_storeu_si512(dst + n - 64, _mm512_loadu_si512(src + n - 64));
  }
}

__attribute__((target("avx2"))) void CopyLines32(uint8_t* dst, ptrdiff_t dstStride, const uint8_t* src,
                                                 size_t srcStride, size_t n, int rows) {
  for (int r = 0; r < rows; ++r, dst += dstStride, src += srcStride) {
    size_t c = 0;
    for (; c + 32 <= n; c += 32)
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + c),
                          _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + c)));
    if (c < n)
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + n - 32),
                          _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + n - 32)));
  }
}
#endif

void CopyLinesPlain(uint8_t* dst, ptrdiff_t dstStride, const uint8_t* src, size_t srcStride, size_t n, int rows) {
  for (int r = 0; r < rows; ++r, dst += dstStride, src += srcStride) CopyRun(dst, src, n);
}

}  // namespace

void CopyKeptLines(uint8_t* dst, ptrdiff_t dstStride, const uint8_t* src, size_t srcStride, size_t n, int rows) {
#if defined(__x86_64__)
  static const CopyLinesFn copy = __builtin_cpu_supports("avx512f") ? &CopyLines64
                                  : __builtin_cpu_supports("avx2")  ? &CopyLines32
                                                                    : &CopyLinesPlain;
#else
  static const CopyLinesFn copy = &CopyLinesPlain;
#endif
  copy(dst, dstStride, src, srcStride, n, rows);
}

KeptLineRow* KeptOpaqueRow(const uint16_t* cells, int64_t cellCount, int64_t width, int64_t rowBase, int64_t loop,
                           const TileBlocks& tiles) {
  if (width < 1 || rowBase < 0 || loop < 1 || loop > kKeptLoopMax || rowBase + loop > cellCount) return nullptr;
  // Map rows of one plane go to slots of their own; the map's address parts
  // planes. A 32-bit division where it does: it is several times quicker.
  const int64_t mapRow = rowBase <= UINT32_MAX && width <= UINT32_MAX ? uint32_t(rowBase) / uint32_t(width)
                                                                      : rowBase / width;
  const size_t slot = (size_t(mapRow) + (reinterpret_cast<uintptr_t>(cells) >> 6)) % kKeptLineRows;
  KeptLineRow& row = LineStrips.rows[slot];
  const uint16_t* at = cells + rowBase;
  if (row.rowBase == rowBase && row.loop == loop && row.tilesVersion == tiles.version &&
      std::equal(at, at + loop, row.numbers.begin(), row.numbers.end()))
    return row.opaque ? &row : nullptr;
  row.rowBase = rowBase, row.loop = loop, row.tilesVersion = tiles.version;
  row.numbers.assign(at, at + loop);
  const size_t tileCount = std::min(tiles.blocks.size(), tiles.kinds.size());
  // As the renderers see a cell: tile 0 and numbers past the table are empty.
  row.opaque = std::all_of(at, at + loop, [&](uint16_t n) {
    return n != 0 && n < tileCount && tiles.kinds[n] == kOpaqueBlock;
  });
  row.made = 0;
  if (row.opaque) row.px.resize(8 * KeptLineBytes(loop));
  return row.opaque ? &row : nullptr;
}

void MakeKeptLine(KeptLineRow& row, int ty, const TileBlocks& tiles) {
  const size_t bytes = KeptLineBytes(row.loop), loopBytes = size_t(8 * row.loop);
  uint8_t* line = row.px.data() + size_t(ty) * bytes;
  for (int64_t i = 0; i < row.loop; ++i)
    std::memcpy(line + 8 * i, tiles.blocks[row.numbers[size_t(i)]].px.data() + 8 * ty, 8);
  // The loop again, as far as a line reaches past its end.
  for (size_t done = loopBytes; done < bytes;) {
    const size_t n = std::min(done, bytes - done);
    std::memcpy(line + done, line, n);
    done += n;
  }
  row.made = uint8_t(row.made | 1 << ty);
}
