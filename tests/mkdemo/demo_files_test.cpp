// The demo folder written by tarn-mkdemo: it loads through the engine's own
// readers with the formats, planes and animations the levels are meant to
// show off, the attract level repeats over its pan, and every run writes the
// same bytes.
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "common/binary_reader.h"
#include "gfx/frame_buffer.h"
#include "gfx/pcx.h"
#include "gfx/plane_render.h"
#include "gfx/scroll.h"
#include "level/level.h"
#include "level/tile_set.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

fs::path Generate(const std::string& tag) {
  fs::path dir = fs::temp_directory_path() / ("tarn_mkdemo_" + tag + "_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  std::string cmd = std::string(TARN_MKDEMO) + " " + dir.string();
  EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
  return dir;
}

class DemoFiles : public EngineTest {
 protected:
  static void SetUpTestSuite() { dir_ = new fs::path(Generate("load")); }
  static void TearDownTestSuite() {
    fs::remove_all(*dir_);
    delete dir_;
  }

  void Load(int n) {
    std::string base = (*dir_ / std::to_string(n)).string();
    LoadTileSet(base + ".til");
    LoadLevel(base + ".lev");
  }
  std::vector<uint8_t> Head(const std::string& name, size_t n) {
    auto bytes = ReadWholeFile((*dir_ / name).string());
    if (!bytes) return {};
    bytes->resize(std::min(n, bytes->size()));
    return *bytes;
  }
  std::vector<int> Types() {
    std::vector<int> t;
    for (int i = 0; i < Level.planeCount; ++i) t.push_back(Level.planes[size_t(i)].type);
    return t;
  }

  static fs::path* dir_;
};
fs::path* DemoFiles::dir_ = nullptr;

using Bytes = std::vector<uint8_t>;

TEST_F(DemoFiles, EachFileIsInTheFormatItShowsOff) {
  // Tile sets: 2 is headerless (version 0), 3 and 5 counted, 1 and 4 fixed with a header.
  EXPECT_EQ(Head("1.til", 5), (Bytes{'S', 'T', 'I', 'L', 2}));
  EXPECT_NE(Head("2.til", 4), (Bytes{'S', 'T', 'I', 'L'}));
  EXPECT_EQ(Head("3.til", 5), (Bytes{'S', 'T', 'I', 'L', 1}));
  EXPECT_EQ(Head("4.til", 5), (Bytes{'S', 'T', 'I', 'L', 2}));
  EXPECT_EQ(Head("5.til", 5), (Bytes{'S', 'T', 'I', 'L', 1}));
  // Only the version-0 set needs its collision file: 2000 records of 66 bytes.
  EXPECT_EQ(fs::file_size(*dir_ / "2.dat"), 2000u * 66u);
  for (int n : {1, 3, 4, 5}) EXPECT_FALSE(fs::exists(*dir_ / (std::to_string(n) + ".dat"))) << n;
  // Levels: 2 is an old headerless file, 3 version 1, the rest version 2.
  EXPECT_NE(Head("2.lev", 4), (Bytes{'S', 'L', 'E', 'V'}));
  EXPECT_EQ(Head("3.lev", 5), (Bytes{'S', 'L', 'E', 'V', 1}));
  for (const char* name : {"1.lev", "4.lev", "5.lev"}) EXPECT_EQ(Head(name, 5), (Bytes{'S', 'L', 'E', 'V', 2})) << name;
  EXPECT_TRUE(fs::exists(*dir_ / "tarn.cfg"));
}

TEST_F(DemoFiles, LevelsLoadWithTheirPlanes) {
  const std::vector<std::vector<int>> expected = {
      {kHTiled, kRelative, kHLined, kFlat}, {kHTiled, kFlat, kFlat}, {kHTiled, kHTiled, kFlat, kFlat},
      {kRelative, kVLined, kVTiled, kFlat}};
  std::set<int> seen;
  bool drift = false;
  for (int n = 1; n <= 4; ++n) {
    Load(n);
    EXPECT_EQ(Types(), expected[size_t(n - 1)]) << "level " << n;
    for (int i = 0; i < Level.planeCount; ++i) {
      const Plane& p = Level.planes[size_t(i)];
      seen.insert(p.type);
      // Only lines that hold tiles count: the rest keep the reader's defaults.
      if (p.type != kFlat && (p.otherSpeed > 128 || std::any_of(p.lineSpeeds.begin(), p.lineSpeeds.end(), [](uint8_t s) { return s > 128; })))
        drift = true;
    }
  }
  EXPECT_EQ(seen, (std::set<int>{kFlat, kRelative, kHTiled, kVTiled, kHLined, kVLined}));
  EXPECT_TRUE(drift) << "no plane drifts on its own";

  Load(5);
  EXPECT_GE(Level.planeCount, 5);
}

TEST_F(DemoFiles, TileSetsLoadWithCollisionCyclesAndAnimation) {
  Load(2);  // version 0: collision cells come from 2.dat
  EXPECT_EQ(Tiles.tileCount, 2000);
  int solid = 0;
  for (const Tile& t : Tiles.tileTable)
    if (std::any_of(t.collision.begin(), t.collision.end(), [](uint8_t v) { return v != 0; })) ++solid;
  EXPECT_GT(solid, 20);

  Load(3);  // version 1: night and dawn over the same 128 positions
  ASSERT_EQ(Tiles.paletteSetCount, 2);
  EXPECT_GT(Tiles.tileCount, 100);
  EXPECT_LT(Tiles.tileCount, 2000);
  EXPECT_EQ(Tiles.paletteSets[0].tintUpperHalf, 0);
  EXPECT_EQ(Tiles.paletteSets[1].tintUpperHalf, 0);

  int animatedSets = 0, cyclingSets = 0, rotatingSets = 0;
  for (int n = 1; n <= 5; ++n) {
    Load(n);
    bool animated = std::any_of(Tiles.tileTable.begin(), Tiles.tileTable.end(),
                                [](const Tile& t) { return t.frameCount > 1 && t.stepCount > 1; });
    const PaletteSet& set = Tiles.paletteSets[0];
    bool cycling = std::any_of(set.cycles.begin(), set.cycles.end(), [](const PaletteCycle& c) { return c.stepCount > 1; });
    bool rotating = std::any_of(set.rotateWith.begin(), set.rotateWith.end(), [](uint8_t w) { return w != 0; });
    animatedSets += animated, cyclingSets += cycling, rotatingSets += rotating;
  }
  EXPECT_GE(animatedSets, 3);
  EXPECT_EQ(cyclingSets, 5);
  EXPECT_GE(rotatingSets, 3);
}

// The attract sequence pans 0..512 and jumps back: every plane of level 5
// must show the same picture at both ends of the pan, in x, y and both,
// whatever the drift counter says.
TEST_F(DemoFiles, AttractPlanesRepeatOverThePan) {
  Load(5);
  ASSERT_GE(Level.planeCount, 5);
  auto frame = [](int plane, int vx, int vy, uint32_t counter) {
    Level.viewX = vx, Level.viewY = vy;
    Scroll.AutoScrollCounter = counter;
    BuildScrollTables();
    ClearFrameBuffer(0);
    DrawPlane(Level.planes[size_t(plane)]);
    return std::vector<uint8_t>(Screen.FrameBuffer, Screen.FrameBuffer + 64000);
  };
  for (int plane = 0; plane < Level.planeCount; ++plane)
    for (uint32_t counter : {0u, 977u}) {
      std::vector<uint8_t> start = frame(plane, 0, 0, counter);
      EXPECT_GT(std::set<uint8_t>(start.begin(), start.end()).size(), 4u) << "plane " << plane << " is nearly empty";
      EXPECT_EQ(frame(plane, 512, 0, counter), start) << "plane " << plane << " in x";
      EXPECT_EQ(frame(plane, 0, 512, counter), start) << "plane " << plane << " in y";
      EXPECT_EQ(frame(plane, 512, 512, counter), start) << "plane " << plane << " diagonally";
    }
}

TEST_F(DemoFiles, GlobalPaletteImageShowsEverySlot) {
  PcxImage image;
  image.pixels.assign(64001, 0);
  ASSERT_EQ(LoadPcx((*dir_ / "default" / "art" / "globpal.pcx").string(), image, 0), 1);
  std::set<uint8_t> shown(image.pixels.begin(), image.pixels.begin() + 64000);
  EXPECT_EQ(shown.size(), 256u);
}

TEST(DemoFilesRepeat, TwoRunsWriteTheSameBytes) {
  fs::path a = Generate("a"), b = Generate("b");
  size_t files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(a)) {
    if (!entry.is_regular_file()) continue;
    fs::path rel = fs::relative(entry.path(), a);
    EXPECT_EQ(ReadWholeFile(entry.path().string()), ReadWholeFile((b / rel).string())) << rel;
    ++files;
  }
  EXPECT_GE(files, 13u);  // marker, palette, five tile sets, one .dat, five levels
  fs::remove_all(a);
  fs::remove_all(b);
}

}  // namespace
