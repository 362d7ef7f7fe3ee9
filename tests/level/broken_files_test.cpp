// broken_files_test.cpp: cut, extended and corrupted .til, .dat and .lev files
// load without a fault or a hang and leave tiles and planes that the
// animation and the renderers can use.
#include <gtest/gtest.h>

#include <random>

#include "file_fixture.h"
#include "gfx/plane_render.h"
#include "gfx/scroll.h"
#include "level/level.h"
#include "level/tile_set.h"
#include "objects/palette_sets.h"

namespace {

class BrokenFilesTest : public FileTest {
 protected:
  // A third cut at spread lengths, a sixth extended, the rest with flipped bytes
  // (half of those near the start, where the counts and sizes live).
  std::vector<Bytes> Variants(const Bytes& good, int count) {
    std::vector<Bytes> out;
    const size_t n = good.size(), cuts = size_t(count / 3);
    for (size_t i = 0; i < cuts; ++i) out.emplace_back(good.begin(), good.begin() + (i < 8 ? i : n * i / cuts));
    for (int i = 0; i < count / 6; ++i) {
      out.push_back(good);
      for (uint32_t k = 1 + rng_() % 300; k > 0; --k) out.back().push_back(uint8_t(rng_()));
    }
    while (int(out.size()) < count) {
      out.push_back(good);
      const size_t span = rng_() % 2 ? std::min<size_t>(n, 64) : n;
      for (uint32_t k = 1 + rng_() % 8; k > 0; --k) out.back()[rng_() % span] = uint8_t(rng_());
    }
    return out;
  }
  std::mt19937 rng_{20240611};
};

void CheckTileSet() {
  ASSERT_GE(Tiles.tileCount, 1);
  ASSERT_EQ(Tiles.tileCount, Tiles.tileTable.size());
  for (const Tile& t : Tiles.tileTable) {
    ASSERT_LE(t.frameCount, kMaxTileFrames);
    for (int f = 0; f < t.frameCount; ++f) ASSERT_EQ(t.frames[f].size(), 64u);
    ASSERT_LT(t.frame, std::max<int>(t.frameCount, 1));
    ASSERT_LT(t.step, std::max<int>(t.stepCount, 1));
  }
  ASSERT_EQ(Tiles.paletteSetCount, Tiles.paletteSets.size());
  for (const PaletteSet& s : Tiles.paletteSets) {
    ASSERT_GE(s.cycles.size(), std::max<size_t>(kPalettePositions, s.cycleCount));
    ASSERT_EQ(s.rotateWith.size(), s.cycles.size());
    ASSERT_EQ(s.rotateTimer.size(), s.cycles.size());
    for (const PaletteCycle& c : s.cycles) ASSERT_GE(c.colours.size(), 3u * std::max<size_t>(c.stepCount, 1));
  }
}

void CheckAndDrawLevel() {
  ASSERT_EQ(Level.planeCount, Level.planes.size());
  for (const Plane& p : Level.planes) {
    ASSERT_GE(p.width, 1);
    ASSERT_EQ(p.tiles.size(), size_t(p.height + 1) * size_t(p.width));
    ASSERT_GE(p.lineLoops.size(), LineCount(p.type, p.width, p.height));
    ASSERT_GE(p.lineSpeeds.size(), LineCount(p.type, p.width, p.height));
    for (int32_t loop : p.lineLoops) ASSERT_GE(loop, 1);
    ASSERT_GE(p.otherLoop, 1);
    ASSERT_GE(p.wrapCells, 1);
  }
  Level.viewX = 1234;
  Level.viewY = 567;
  BuildScrollTables();
  for (const Plane& p : Level.planes) DrawPlane(p);
}

Bytes SampleFixedBody() {
  std::vector<Bytes> tiles, cycles;
  for (int i = 0; i < 40; ++i) tiles.push_back(TileRec({Filled(uint8_t(i)), Filled(1)}, {uint8_t(i % 3), 1, 2}));
  for (int i = 0; i < 64; ++i) cycles.push_back(CycleRec({{1, 2, 3, 1}, {4, 5, 6, 2}}, uint8_t(i % 5), 1));
  return FixedBody(tiles, cycles);
}

Bytes SampleCountedFile() {
  Bytes out = TilHeader(1) + Bytes{300 >> 8, 300 & 255};
  for (int i = 0; i < 300; ++i) out += TileRec({Filled(uint8_t(i))}, {2, 2});
  out.resize(out.size() + 300 * 64, 1);
  out.push_back(3);
  for (int s = 0; s < 3; ++s) {
    out += {uint8_t(s), 130};
    for (int c = 0; c < 130; ++c) out += CycleRec({{uint8_t(c % 64), 0, 0, 3}}, uint8_t(c % 70), 2);
    out += {4, 5, 6};
  }
  return out;
}

TEST_F(BrokenFilesTest, TileAndCollisionFilesSurviveDamage) {
  Bytes dat(2000 * 66);
  for (size_t i = 0; i < dat.size(); ++i) dat[i] = uint8_t(i * 7);
  const std::vector<Bytes> goods = {SampleFixedBody(), TilHeader(2) + SampleFixedBody(), SampleCountedFile()};
  const std::vector<Bytes> dats = Variants(dat, 60);
  for (size_t g = 0; g < goods.size(); ++g) {
    const std::vector<Bytes> variants = Variants(goods[g], 60);
    for (size_t v = 0; v < variants.size(); ++v) {
      Write("t.til", variants[v]);
      Write("t.dat", dats[v]);
      ::testing::internal::CaptureStderr();
      LoadTileSet(Path("t.til"));
      SelectPaletteSet(0);
      for (int i = 0; i < 30; ++i) AdvanceTileAnimations();
      ::testing::internal::GetCapturedStderr();
      SCOPED_TRACE("file " + std::to_string(g) + ", variant " + std::to_string(v));
      CheckTileSet();
      if (HasFatalFailure()) return;
    }
  }
}

Bytes SampleLevelOld(bool version1) {
  Bytes f = version1 ? LevHeader(1) : Bytes{};
  auto cells = [&](int w, int h) {
    PutOld(f, w);
    PutOld(f, h);
    for (int c = 0; c < w * h; ++c) PutOld(f, c % 3000);
  };
  auto rows = [&] {
    for (int r = 0; r < 30; ++r) {
      f.push_back(uint8_t(r * 3));
      PutOld(f, r % 7);
    }
    f.push_back(4);
    PutOld(f, 20);
  };
  if (version1) {
    cells(50, 30), rows(), cells(50, 30), rows(), cells(60, 40), cells(60, 40), PutOld(f, 1);
  } else {
    cells(60, 40), cells(50, 30), cells(60, 40), PutOld(f, 1), rows();
  }
  return f;
}

TEST_F(BrokenFilesTest, LevelFilesOfEveryVersionSurviveDamage) {
  Level.planes.assign(6, Plane{});
  Level.planeCount = 6;
  for (uint8_t t = 0; t < 6; ++t) {
    Plane& p = Level.planes[t];
    InitPlane(p, t, 30 + t, 20 + t);
    for (size_t k = 0; k < p.lineLoops.size(); ++k) p.lineLoops[k] = int32_t(1 + k % 40);
    for (size_t c = 0; c < p.tiles.size() - size_t(p.width); c += 3) p.tiles[c] = uint16_t(c % 2500);
  }
  SaveLevel(Path("good.lev"));
  const std::vector<Bytes> goods = {Read("good.lev"), SampleLevelOld(true), SampleLevelOld(false)};
  ASSERT_GT(goods[0].size(), 1000u);
  BuildDefaultTileSet();
  for (size_t g = 0; g < goods.size(); ++g) {
    const std::vector<Bytes> variants = Variants(goods[g], 60);
    for (size_t v = 0; v < variants.size(); ++v) {
      Write("l.lev", variants[v]);
      ::testing::internal::CaptureStderr();
      LoadLevel(Path("l.lev"));
      ::testing::internal::GetCapturedStderr();
      SCOPED_TRACE("file " + std::to_string(g) + ", variant " + std::to_string(v));
      CheckAndDrawLevel();
      if (HasFatalFailure()) return;
    }
  }
}

}  // namespace
