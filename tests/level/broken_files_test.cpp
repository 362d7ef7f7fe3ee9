// broken_files_test.cpp: cut, extended and corrupted .til, .dat and .lev files
// load without a fault or a hang and leave tiles and planes that the
// animation and the renderers can use.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "file_fixture.h"
#include "gfx/frame_buffer.h"
#include "gfx/palette_sets.h"
#include "gfx/plane_render.h"
#include "gfx/scroll.h"
#include "gfx/tile_blocks.h"
#include "level/level.h"
#include "level/tile_set.h"

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
  // Writes 60 variants of each good file, loads each and checks what it left.
  void Survive(const std::vector<Bytes>& goods, const std::string& name, const std::function<void(size_t)>& load,
               void (*check)()) {
    for (size_t g = 0; g < goods.size(); ++g) {
      ASSERT_GT(goods[g].size(), 64u) << "good file " << g;
      const std::vector<Bytes> variants = Variants(goods[g], 60);
      for (size_t v = 0; v < variants.size(); ++v) {
        Write(name, variants[v]);
        ::testing::internal::CaptureStderr();
        load(v);
        ::testing::internal::GetCapturedStderr();
        SCOPED_TRACE("file " + std::to_string(g) + ", variant " + std::to_string(v));
        check();
        if (HasFatalFailure()) return;
      }
    }
  }
  std::mt19937 rng_{20240611};
};

void CheckTileSet() {
  ASSERT_GE(Tiles.tileCount, 1);
  ASSERT_EQ(Tiles.tileCount, Tiles.tileTable.size());
  for (const Tile& t : Tiles.tileTable) {
    ASSERT_TRUE(t.frameCount <= kMaxTileFrames && t.frame < std::max<int>(t.frameCount, 1) &&
                t.step < std::max<int>(t.stepCount, 1));
    for (int f = 0; f < t.frameCount; ++f) ASSERT_EQ(t.frames[f].size(), 64u);
  }
  ASSERT_EQ(Tiles.paletteSetCount, Tiles.paletteSets.size());
  for (const PaletteSet& s : Tiles.paletteSets) {
    ASSERT_GE(s.cycles.size(), std::max<size_t>(kPalettePositions, s.cycleCount));
    ASSERT_TRUE(s.rotateWith.size() == s.cycles.size() && s.rotateTimer.size() == s.cycles.size());
    for (const PaletteCycle& c : s.cycles) ASSERT_GE(c.colours.size(), 3u * std::max<size_t>(c.stepCount, 1));
  }
}

void CheckAndDrawLevel() {
  ASSERT_EQ(Level.planeCount, Level.planes.size());
  for (const Plane& p : Level.planes) {
    const size_t lines = LineCount(p.type, p.width, p.height);
    ASSERT_TRUE(p.width >= 1 && p.otherLoop >= 1 && p.wrapCells >= 1);
    ASSERT_EQ(p.tiles.size(), size_t(p.height + 1) * size_t(p.width));
    ASSERT_TRUE(p.lineLoops.size() >= lines && p.lineSpeeds.size() >= lines);
    for (int32_t loop : p.lineLoops) ASSERT_GE(loop, 1);
  }
  Level.viewX = 1234;
  Level.viewY = 567;
  BuildScrollTables(Level.viewX, Level.viewY);
  for (const Plane& p : Level.planes) DrawPlane(p, CurrentTileBlocks(), Scroll, FrameCanvas(Screen.FrameBuffer));
}

// The demo folder's files, made by our own writer, are the good files to damage.
Bytes Demo(const std::string& name) { return ReadWholeFile(std::string(TARN_GAME_DIR) + "/" + name).value_or(Bytes{}); }

// 1.til has a header, 2.til none (with 2.dat beside it), 3.til counts its tiles.
TEST_F(BrokenFilesTest, TileAndCollisionFilesSurviveDamage) {
  const Bytes dat = Demo("2.dat");
  ASSERT_EQ(dat.size(), 2000u * 66);
  const std::vector<Bytes> dats = Variants(dat, 60);
  Survive(
      {Demo("1.til"), Demo("2.til"), Demo("3.til")}, "t.til",
      [&](size_t v) {
        Write("t.dat", dats[v]);
        LoadTileSet(Path("t.til"));
        SelectPaletteSet(0);
        for (int i = 0; i < 30; ++i) AdvanceTileAnimations();
      },
      CheckTileSet);
}

// Levels 1 and 4 (version 2) hold all six plane types between them; 2 is version 0, 3 version 1.
TEST_F(BrokenFilesTest, LevelFilesOfEveryVersionSurviveDamage) {
  BuildDefaultTileSet();
  Survive(
      {Demo("1.lev"), Demo("4.lev"), Demo("2.lev"), Demo("3.lev")}, "l.lev", [&](size_t) { LoadLevel(Path("l.lev")); },
      CheckAndDrawLevel);
}

}  // namespace
