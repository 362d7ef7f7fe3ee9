// tiled_round_trip_test.cpp: every demo level out to Tiled's forms and back
// through tarn-tiled gives the level SAVE writes for the original, and a
// tile set that draws the same in play and in the editor.
#include <filesystem>

#include "level/level.h"
#include "level/tile_set.h"
#include "run_tiled.h"

namespace {

class TiledRoundTrip : public RunTiledTest, public ::testing::WithParamInterface<const char*> {
 protected:
  // Frames 5 and 300 of a level in play, then frames 5 and 300 of an editor
  // session on it (tile animation and colour cycling run there): the shots'
  // bytes, palettes included.
  std::vector<Bytes> Shots(const std::string& game, int level) {
    static const char* const kKey[] = {"", "6", "8", "7", "9"};
    // Level 5 is the attract's: it shows from frame 122 on its own.
    const std::string start = level == 5 ? "" : std::string("1 key ") + kKey[level] + " tap\n";
    const int at = level == 5 ? 140 : 5;
    std::vector<Bytes> shots;
    for (const char* mode : {"", "editor"}) {
      std::string script = start + (*mode ? std::to_string(at - 2) + " key E tap\n" : "");
      script += std::to_string(at) + " shot " + Path("a.pcx") + "\n" + std::to_string(at + 295) + " shot " +
                Path("b.pcx") + "\n";
      const RunResult r = Run("--frames " + std::to_string(at + 295) + Script(script), game);
      EXPECT_EQ(r.code, 0) << r.err;
      shots.push_back(Read("a.pcx"));
      shots.push_back(Read("b.pcx"));
    }
    return shots;
  }
};

TEST_P(TiledRoundTrip, EveryDemoLevelComesBackAsSaveWritesIt) {
  const std::string ext = GetParam();
  // The originals are exported; the shots to match are of the levels as SAVE
  // writes them (older versions load larger as version 2) over the original tiles.
  const std::string game = DemoCopy();
  for (int n = 1; n <= 5; ++n) {
    LoadLevel(std::string(TARN_GAME_DIR) + "/" + std::to_string(n) + ".lev");
    ASSERT_TRUE(SaveLevel(game + "/" + std::to_string(n) + ".lev"));
  }
  std::vector<std::vector<Bytes>> before;
  for (int n = 1; n <= 5; ++n) before.push_back(Shots(game, n));
  for (int n = 1; n <= 5; ++n) {
    SCOPED_TRACE("level " + std::to_string(n) + " via ." + ext);
    const std::string k = std::to_string(n), orig = std::string(TARN_GAME_DIR) + "/" + k;
    const Bytes saved = ReadWholeFile(game + "/" + k + ".lev").value_or(Bytes{});
    const std::string map = Path("map" + k + "." + ext);
    RunResult r = Tiled("export " + Quote(orig + ".lev") + " " + Quote(orig + ".til") + " " + Quote(map));
    ASSERT_EQ(r.code, 0) << r.err;
    r = Tiled("import " + Quote(map) + " " + Quote(game + "/" + k + ".lev") + " " + Quote(game + "/" + k + ".til"));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(ReadWholeFile(game + "/" + k + ".lev").value_or(Bytes{}) == saved);
    // A version-0 set took its collision cells from the .dat; the new set holds them itself.
    std::filesystem::remove(game + "/" + k + ".dat");
  }
  for (int n = 1; n <= 5; ++n) EXPECT_TRUE(Shots(game, n) == before[n - 1]) << "level " << n << " via ." << ext;
}

INSTANTIATE_TEST_SUITE_P(Forms, TiledRoundTrip, ::testing::Values("tmx", "tmj"));

// The written tile set keeps what the tile files hold: frames, delays,
// collision cells, every palette set.
TEST_F(RunTiledTest, TileSetsComeBackWithEveryField) {
  const std::string game = DemoCopy();
  for (const char* n : {"1", "2", "3", "4"}) {
    const std::string til = game + "/" + n + ".til", lev = game + "/" + n + ".lev";
    LoadTileSet(til);
    const Bytes original = EncodeTileSet();
    ASSERT_EQ(Tiled("export " + Quote(lev) + " " + Quote(til) + " " + Quote(Path("m.tmx"))).code, 0);
    // The map names its tileset, and the tileset its sheet, beside it,
    // whatever separators the map's path had.
    const Bytes map = Read("m.tmx"), tsx = Read("m.tsx");
    EXPECT_NE(std::string(map.begin(), map.end()).find("source=\"m.tsx\""), std::string::npos);
    EXPECT_NE(std::string(tsx.begin(), tsx.end()).find("source=\"m.png\""), std::string::npos);
    ASSERT_EQ(Tiled("import " + Quote(Path("m.tmx")) + " " + Quote(Path("x.lev")) + " " + Quote(Path("x.til"))).code,
              0);
    LoadTileSet(Path("x.til"));
    EXPECT_TRUE(EncodeTileSet() == original) << "tile set " << n;
  }
}

}  // namespace
