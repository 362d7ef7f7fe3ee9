// line_strips.cpp: the kept lines of opaque map rows and their upkeep.
#include "gfx/line_strips.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "common/module_state.h"
#include "gfx/draw.h"
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

// Whether the cells from `at` hold the numbers, eight at a time: in the
// browser the library's memcmp goes byte by byte, and every row drawn is
// compared each frame.
bool SameNumbers(const uint16_t* at, const std::vector<uint16_t>& numbers) {
  const size_t n = numbers.size();
  size_t i = 0;
#if defined(__SSE2__)
  for (; i + 8 <= n; i += 8) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(numbers.data() + i));
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(a, b)) != 0xFFFF) return false;
  }
#endif
  for (; i < n; ++i)
    if (at[i] != numbers[i]) return false;
  return true;
}

// What a kept row's loop holds, as the renderers see its cells: tile 0 and
// numbers past the table are empty.
void SortRow(KeptLineRow& row, const uint16_t* at, const TileBlocks& tiles) {
  const size_t tileCount = std::min(tiles.blocks.size(), tiles.kinds.size());
  int64_t drawn = 0;
  bool exact = true;  // a merge of the lines writes what tile blits would
  row.opaque = true;
  for (int64_t i = 0; i < row.loop; ++i) {
    const uint16_t n = at[i];
    const uint8_t kind = n < tileCount ? tiles.kinds[n] : uint8_t(kNoBlock);
    row.opaque = row.opaque && n != 0 && kind == kOpaqueBlock;
    if (n == 0) {
      // An H Lined line's edge slices draw tile 0 where it has pixels.
      exact = exact && (tileCount == 0 || tiles.kinds[0] == kNoBlock);
    } else if (kind != kNoBlock) {
      ++drawn;
      // An opaque tile's 0 bytes are copied, which a merge would leave out.
      const auto& px = tiles.blocks[n].px;
      exact = exact && (kind != kOpaqueBlock || std::find(px.begin(), px.end(), 0) == px.end());
    }
  }
  // Rows with few tiles are quicker tile by tile than as whole lines.
  row.merged = !row.opaque && exact && drawn * 4 >= row.loop;
}

// The region of slots that serves the map.
size_t MapRegion(const uint16_t* cells) {
  LineStripState& k = LineStrips;
  size_t region = 0;
  for (size_t i = 0; i < kKeptMaps; ++i) {
    if (k.maps[i] == cells) {
      region = i;
      break;
    }
    if (k.lastUse[i] < k.lastUse[region]) region = i;
  }
  k.maps[region] = cells;
  k.lastUse[region] = ++k.uses;
  return region;
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

KeptLineRow* KeptRow(const uint16_t* cells, int64_t cellCount, int64_t width, int64_t rowBase, int64_t loop,
                     const TileBlocks& tiles, bool merges) {
  if (width < 1 || rowBase < 0 || loop < 1 || loop > kKeptLoopMax || rowBase + loop > cellCount) return nullptr;
  // A 32-bit division where it does: it is several times quicker.
  const int64_t mapRow = rowBase <= UINT32_MAX && width <= UINT32_MAX ? uint32_t(rowBase) / uint32_t(width)
                                                                      : rowBase / width;
  KeptLineRow& row = LineStrips.rows[MapRegion(cells) * kKeptRowsAMap + size_t(mapRow) % kKeptRowsAMap];
  const uint16_t* at = cells + rowBase;
  if (row.rowBase != rowBase || row.loop != loop || row.tilesVersion != tiles.version ||
      !SameNumbers(at, row.numbers)) {
    row.rowBase = rowBase, row.loop = loop, row.tilesVersion = tiles.version;
    row.numbers.assign(at, at + loop);
    SortRow(row, at, tiles);
    row.made = 0;
    if (row.opaque || row.merged) row.px.resize(8 * KeptLineBytes(loop));
  }
  return row.opaque || (merges && row.merged) ? &row : nullptr;
}

void MakeKeptLine(KeptLineRow& row, int ty, const TileBlocks& tiles) {
  const size_t bytes = KeptLineBytes(row.loop), loopBytes = size_t(8 * row.loop);
  uint8_t* line = row.px.data() + size_t(ty) * bytes;
  const size_t tileCount = std::min(tiles.blocks.size(), tiles.kinds.size());
  for (int64_t i = 0; i < row.loop; ++i) {
    const uint16_t n = row.numbers[size_t(i)];
    if (n != 0 && n < tileCount && tiles.kinds[n] != kNoBlock)
      std::memcpy(line + 8 * i, tiles.blocks[n].px.data() + 8 * ty, 8);
    else
      std::memset(line + 8 * i, 0, 8);
  }
  // The loop again, as far as a line reaches past its end.
  for (size_t done = loopBytes; done < bytes;) {
    const size_t n = std::min(done, bytes - done);
    std::memcpy(line + done, line, n);
    done += n;
  }
  row.made = uint8_t(row.made | 1 << ty);
}

void PutKeptLines(const KeptLineRow& row, uint8_t* dst, ptrdiff_t dstStride, const uint8_t* src, size_t n, int rows,
                  bool copy) {
  const size_t srcStride = KeptLineBytes(row.loop);
  if (row.opaque || copy)
    CopyKeptLines(dst, dstStride, src, srcStride, n, rows);
  else
    MergeWideRows(dst, dstStride, src, int64_t(srcStride), int64_t(n), rows);
}
