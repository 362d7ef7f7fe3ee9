// tile_blit_test.cpp: the row and tile blits against a byte-by-byte reference.
#include <algorithm>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "gfx/tile_blit.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Random bytes, a third of them 0 (the transparent pixels).
Bytes RandomBytes(std::mt19937& rng, size_t n) {
  Bytes b(n);
  for (auto& x : b) x = rng() % 3 == 0 ? 0 : uint8_t(rng());
  return b;
}

// What every merge must do: rows of `width` bytes from src (rows `width`
// apart) onto dst (rows `stride` apart), each pixel written where its column
// is in `columns` and it is not 0, or, when `copy`, written whatever it is.
void Reference(Bytes& dst, size_t stride, const Bytes& src, int width, int rows, uint8_t columns, bool copy) {
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < width; ++c) {
      const uint8_t s = src[size_t(r * width + c)];
      if ((columns >> (c % 8) & 1) && (copy || s != 0)) dst[size_t(r) * stride + size_t(c)] = s;
    }
}

TEST(TileBlitTest, NonZeroMaskMarksEveryByteThatIsNotZero) {
  std::mt19937 rng(7);
  for (int i = 0; i < 2000; ++i) {
    const Bytes b = RandomBytes(rng, 8);
    uint64_t v = 0, want = 0;
    for (int c = 0; c < 8; ++c) {
      v |= uint64_t(b[size_t(c)]) << (8 * c);
      if (b[size_t(c)]) want |= uint64_t(0xFF) << (8 * c);
    }
    ASSERT_EQ(NonZeroMask(v), want) << std::hex << v;
  }
  // Every byte value alone, high bit and low bits.
  for (uint64_t x = 0; x < 256; ++x) EXPECT_EQ(NonZeroMask(x << 24), x ? uint64_t(0xFF) << 24 : 0) << x;
}

// Rows and tiles onto canvases of several strides, odd row counts too, so
// that the two-rows-a-register paths and their tails are both met.
TEST(TileBlitTest, BlitsMatchTheReference) {
  std::mt19937 rng(11);
  for (int round = 0; round < 400; ++round) {
    const size_t stride = 8 + size_t(rng() % 40);
    const Bytes canvas = RandomBytes(rng, stride * 8);
    const Bytes tile = RandomBytes(rng, 64);
    const int rows = 1 + int(rng() % 8);
    const uint8_t columns = uint8_t(rng());
    auto check = [&](const char* name, auto blit, int width, int n, uint8_t cols, bool copy) {
      Bytes got = canvas, want = canvas;
      blit(got.data());
      Reference(want, stride, tile, width, n, cols, copy);
      ASSERT_EQ(got, want) << name << " stride " << stride << " rows " << n << " columns " << int(cols);
    };
    check(
        "MergeRow8", [&](uint8_t* d) { MergeRow8(d, tile.data()); }, 8, 1, 0xFF, false);
    check(
        "CopyRow8", [&](uint8_t* d) { CopyRow8(d, tile.data()); }, 8, 1, 0xFF, true);
    check(
        "MergeTile8x8", [&](uint8_t* d) { MergeTile8x8(d, stride, tile.data()); }, 8, 8, 0xFF, false);
    check(
        "CopyTile8x8", [&](uint8_t* d) { CopyTile8x8(d, stride, tile.data()); }, 8, 8, 0xFF, true);
    check(
        "MergeRows8", [&](uint8_t* d) { MergeRows8(d, stride, tile.data(), rows); }, 8, rows, 0xFF, false);
    check(
        "MergeRows8Masked", [&](uint8_t* d) { MergeRows8Masked(d, stride, tile.data(), rows, ColumnBytes(columns)); },
        8, rows, columns, false);
    const size_t n = 1 + rng() % stride;  // a row of any length: sixteen, eight and one at a time
    Bytes got = canvas, want = canvas;
    MergeRow(got.data(), tile.data(), std::min<size_t>(n, 64));
    Reference(want, stride, tile, int(std::min<size_t>(n, 64)), 1, 0xFF, false);
    ASSERT_EQ(got, want) << "MergeRow of " << n;
  }
}

}  // namespace
