// The demo folder written by tarn-mkdemo: it loads through the engine's own
// readers with the formats, planes and animations the levels are meant to
// show off, the attract level repeats over its pan, and every run writes the
// same bytes.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>

#include "common/binary_reader.h"
#include "gfx/frame_buffer.h"
#include "gfx/plane_render.h"
#include "gfx/scroll.h"
#include "gfx/tile_blocks.h"
#include "level/level.h"
#include "level/tile_set.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

template <class C, class F>
bool Any(const C& c, F f) {
  return std::any_of(std::begin(c), std::end(c), f);
}

using DemoFiles = EngineTest;

std::string File(const std::string& name) { return (fs::path(TARN_GAME_DIR) / name).string(); }
void Load(int n) {
  LoadTileSet(File(std::to_string(n) + ".til"));
  LoadLevel(File(std::to_string(n) + ".lev"));
}

TEST_F(DemoFiles, EachFileIsInTheFormatItShowsOff) {
  auto head = [](const char* name) {
    const Bytes b = ReadWholeFile(File(name)).value_or(Bytes{});
    return std::string(b.begin(), b.begin() + long(std::min<size_t>(b.size(), 5)));
  };
  // Tile sets: 2 is headerless (version 0), 3 and 5 counted, 1 and 4 fixed with a header.
  for (const char* name : {"1.til", "4.til"}) EXPECT_EQ(head(name), "STIL\2") << name;
  for (const char* name : {"3.til", "5.til"}) EXPECT_EQ(head(name), "STIL\1") << name;
  // Levels: 2 is an old headerless file, 3 version 1, the rest version 2.
  for (const char* name : {"1.lev", "4.lev", "5.lev"}) EXPECT_EQ(head(name), "SLEV\2") << name;
  EXPECT_EQ(head("3.lev"), "SLEV\1");
  EXPECT_NE(head("2.til").substr(0, 4), "STIL");
  EXPECT_NE(head("2.lev").substr(0, 4), "SLEV");
  // Only the version-0 set needs its collision file: 2000 records of 66 bytes.
  EXPECT_EQ(fs::file_size(File("2.dat")), 2000u * 66u);
  for (int n : {1, 3, 4, 5}) EXPECT_FALSE(fs::exists(File(std::to_string(n) + ".dat"))) << n;
  EXPECT_TRUE(fs::exists(File("tarn.cfg")));
}

TEST_F(DemoFiles, LevelsLoadWithTheirPlanesTilesAndPalettes) {
  // Levels 1..4 hold all six plane types between them.
  const std::vector<std::vector<int>> expected = {{kHTiled, kRelative, kHLined, kFlat},
                                                  {kHTiled, kFlat, kFlat},
                                                  {kHTiled, kHTiled, kFlat, kFlat},
                                                  {kRelative, kVLined, kVTiled, kFlat}};
  std::vector<std::vector<int>> types;
  int drift = 0, animated = 0, cycling = 0, rotating = 0, solidIn2 = 0;
  for (int n = 1; n <= 5; ++n) {
    Load(n);
    types.emplace_back();
    for (const Plane& p : Level.planes) {
      types.back().push_back(p.type);
      drift += p.type != kFlat && (p.otherSpeed > 128 || Any(p.lineSpeeds, [](uint8_t s) { return s > 128; }));
    }
    const PaletteSet& set = Tiles.paletteSets[0];
    animated += Any(Tiles.tileTable, [](const Tile& t) { return t.frameCount > 1 && t.stepCount > 1; });
    cycling += Any(set.cycles, [](const PaletteCycle& c) { return c.stepCount > 1; });
    rotating += Any(set.rotateWith, [](uint8_t w) { return w != 0; });
    for (const Tile& t : Tiles.tileTable) solidIn2 += n == 2 && Any(t.collision, [](uint8_t v) { return v; });
    if (n == 3) {  // version 1: night and dawn over the same 128 positions
      ASSERT_EQ(Tiles.paletteSetCount, 2);
      EXPECT_GT(Tiles.tileCount, 100);
      EXPECT_LT(Tiles.tileCount, 2000);
      EXPECT_EQ(Tiles.paletteSets[0].tintUpperHalf + Tiles.paletteSets[1].tintUpperHalf, 0);
    }
  }
  EXPECT_GE(types.back().size(), 5u);
  types.pop_back();
  EXPECT_EQ(types, expected);
  EXPECT_GT(solidIn2, 20);  // version 0: collision cells come from 2.dat
  EXPECT_GE(drift, 1) << "no plane drifts on its own";
  EXPECT_GE(animated, 3);
  EXPECT_EQ(cycling, 5);
  EXPECT_GE(rotating, 3);
}

// The attract sequence pans 0..512 and jumps back: every plane of level 5
// must show the same picture at both ends of the pan, in x, y and both,
// whatever the drift counter says.
TEST_F(DemoFiles, AttractPlanesRepeatOverThePan) {
  Load(5);
  auto frame = [](int plane, int vx, int vy, uint32_t counter) {
    Scroll.AutoScrollCounter = counter;
    BuildScrollTables(vx, vy);
    ClearFrameBuffer(0);
    DrawPlane(Level.planes[size_t(plane)], CurrentTileBlocks(), Scroll, FrameCanvas(Screen.FrameBuffer));
    return Bytes(Screen.FrameBuffer, Screen.FrameBuffer + 64000);
  };
  for (int plane = 0; plane < Level.planeCount; ++plane)
    for (uint32_t counter : {0u, 977u}) {
      const Bytes start = frame(plane, 0, 0, counter);
      EXPECT_GT(std::set<uint8_t>(start.begin(), start.end()).size(), 4u) << "plane " << plane << " is nearly empty";
      for (auto [vx, vy] : {std::pair{512, 0}, {0, 512}, {512, 512}})
        EXPECT_EQ(frame(plane, vx, vy, counter), start) << "plane " << plane << " at " << vx << ", " << vy;
    }
}

// A second run writes the same bytes as the one that made the game folder.
TEST(DemoFilesRepeat, TwoRunsWriteTheSameBytes) {
  const fs::path dir = fs::temp_directory_path() / ("tarn_mkdemo_" + std::to_string(::getpid()));
  const std::string cmd = std::string(TARN_MKDEMO) + " " + dir.string();
  ASSERT_EQ(ExitCodeOfCommand(cmd), 0) << cmd;
  size_t files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    const fs::path rel = fs::relative(entry.path(), dir);
    EXPECT_EQ(ReadWholeFile(entry.path().string()), ReadWholeFile(File(rel.string()))) << rel;
    ++files;
  }
  EXPECT_GE(files, 13u);  // marker, palette, five tile sets, one .dat, five levels
  fs::remove_all(dir);
}

}  // namespace
