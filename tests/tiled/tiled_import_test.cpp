// tiled_import_test.cpp: what a map made in Tiled says without our `tarn.`
// properties: parallax becomes plane speeds, Tiled's own animations become
// frames and step delays, and a sheet alone keeps its blank cells empty.
#include <gtest/gtest.h>

#include "level/file_fixture.h"
#include "map_fixture.h"
#include "model/planes.h"
#include "model/tiles.h"
#include "tiled_commands.h"
#include "tiled_files.h"
#include "tiled_import.h"

namespace {

using namespace tiledtest;

class TiledImport : public FileTest {
 protected:
  void SetUp() override {
    FileTest::SetUp();
    tiled::StartEngine(TARN_GAME_DIR);
    Write("sheet.png", RgbSheet());
  }
  void Import(const std::string& tmx) { tiled::ImportMap(tiled::ParseMap(tmx, "m.tmx", dir_.string())); }
  // The sheet's tileset embedded in the map, with the given <tile> elements.
  static std::string Embedded(const std::string& tiles) {
    std::string tsx = Tsx("sheet.png");
    tsx = tsx.substr(tsx.find("<tileset"));
    return tsx.replace(tsx.find("<tileset"), 8, "<tileset firstgid=\"1\"")
        .replace(tsx.find("</tileset>"), 10, tiles + "</tileset>");
  }
};

TEST_F(TiledImport, LayersWithoutOurPropertiesTakeTheirSpeedsFromParallax) {
  Import(TmxMap(3, 2,
                Embedded("") + TmxLayer("near", 3, 2, {1, 2, 0, 0, 0, 6}, "csv") +
                    TmxLayer("far", 2, 1, {3, 0}, "csv", " parallaxx=\"0.5\" parallaxy=\"0.25\"") +
                    TmxLayer("fixed", 1, 1, {0}, "csv", " parallaxx=\"0\" parallaxy=\"0\"")));
  ASSERT_EQ(Level.planeCount, 3);
  const Plane &near = Level.planes[0], &far = Level.planes[1], &fixed = Level.planes[2];
  EXPECT_EQ(near.type, kFlat);
  EXPECT_EQ(near.priority, 3);
  // The sheet's cell 0 holds a picture: its tiles start at 1.
  EXPECT_EQ(near.tiles[0], 1);
  EXPECT_EQ(near.tiles[1], 2);
  EXPECT_EQ(near.tiles[5], 6);
  EXPECT_EQ(far.type, kRelative);
  EXPECT_EQ(far.priority, 2);
  EXPECT_EQ(far.lineSpeeds[0], 32);
  EXPECT_EQ(far.otherSpeed, 16);
  EXPECT_EQ(far.width, 2);
  EXPECT_EQ(fixed.type, kRelative);
  EXPECT_EQ(fixed.priority, 1);
  EXPECT_EQ(fixed.lineSpeeds[0], 0);
}

TEST_F(TiledImport, AnAnimationMadeInTiledBecomesFramesAndDelays) {
  // Tile 0 of the sheet shows itself 100 ms, then sheet tile 4 for 50 ms;
  // tile 1's `tarn.` properties no longer match its edited animation.
  Import(TmxMap(1, 1,
                Embedded("<tile id=\"0\"><animation><frame tileid=\"0\" duration=\"100\"/>"
                         "<frame tileid=\"4\" duration=\"50\"/></animation></tile>"
                         "<tile id=\"1\"><properties><property name=\"tarn.delays\" value=\"9\"/>"
                         "<property name=\"tarn.floor\" type=\"int\" value=\"5\"/></properties>"
                         "<animation><frame tileid=\"2\" duration=\"1000\"/></animation></tile>") +
                    TmxLayer("L", 1, 1, {1}, "csv")));
  const Tile& a = Tiles.tileTable[1];
  ASSERT_EQ(a.frameCount, 2);
  ASSERT_EQ(a.stepCount, 2);
  EXPECT_EQ(a.stepDelays[0], 6);
  EXPECT_EQ(a.stepDelays[1], 3);
  EXPECT_EQ(a.frames[1], Tiles.tileTable[5].frames[0]);
  const Tile& b = Tiles.tileTable[2];
  ASSERT_EQ(b.frameCount, 1);
  ASSERT_EQ(b.stepCount, 1);
  EXPECT_EQ(b.stepDelays[0], 60);
  EXPECT_EQ(b.frames[0], Tiles.tileTable[3].frames[0]);
  EXPECT_EQ(b.floor, 5);
}

TEST_F(TiledImport, ASheetAloneKeepsCellKAsTileKAndBlankCellsEmpty) {
  // Two cells: a blank one and one of a single colour.
  Bytes rgba(16 * 8 * 4, 0);
  for (int p = 0; p < 64; ++p) {
    uint8_t* px = &rgba[(size_t(p / 8) * 16 + 8 + size_t(p % 8)) * 4];
    px[0] = 252, px[1] = 0, px[2] = 252, px[3] = 255;
  }
  Write("two.png", tiled::EncodeRgbSheet(16, 8, rgba, true));
  ASSERT_EQ(tiled::TilesCommand(Path("two.png"), Path("two.til")), 0);
  ASSERT_GE(Tiles.tileCount, 2u);
  EXPECT_EQ(Tiles.tileTable[0].frames[0], std::vector<uint8_t>(64, 0));
  const uint8_t slot = Tiles.tileTable[1].frames[0][0];
  EXPECT_NE(slot, 0);
  EXPECT_EQ(Tiles.tileTable[1].frames[0], std::vector<uint8_t>(64, slot));
  EXPECT_EQ(Tiles.tileTable[1].opaque, 1);
}

}  // namespace
