// tiled_made_map_test.cpp: a map as Tiled writes it (every layer encoding,
// an external tileset with margin and spacing over an RGB sheet, a group
// layer with an offset, an object layer), imported and shown by tarn-run
// with the cells and colours the map holds.
#include "gfx/pcx.h"
#include "level/level.h"
#include "run_tiled.h"
#include "tiled/map_fixture.h"

namespace {

using namespace tiledtest;

constexpr int kW = 20, kH = 12;
const char* const kForms[] = {"csv", "base64", "zlib", "gzip", "zstd"};

// Layer f paints row 2f with sheet tiles in an order of its own.
std::vector<uint32_t> RowGids(int f) {
  std::vector<uint32_t> gids(kW * kH, 0);
  for (int x = 0; x < 6; ++x) gids[size_t(2 * f) * kW + x] = uint32_t((x + f) % 6 + 1);
  return gids;
}
// The group's layer: tile 3 at (0, 9), moved by the group to (2, 10).
std::vector<uint32_t> GroupGids() {
  std::vector<uint32_t> gids(kW * kH, 0);
  gids[9 * kW] = 3;
  return gids;
}

std::string TmxText() {
  std::string body = " <tileset firstgid=\"1\" source=\"rgb.tsx\"/>\n";
  for (int f = 0; f < 5; ++f) body += TmxLayer(kForms[f], kW, kH, RowGids(f), kForms[f]);
  body += " <group name=\"moved\" offsetx=\"16\" offsety=\"8\">\n" + TmxLayer("grouped", kW, kH, GroupGids(), "zlib") +
          " </group>\n <objectgroup name=\"things\"><object id=\"1\" x=\"3\" y=\"4\"/></objectgroup>\n";
  return TmxMap(kW, kH, body);
}

std::string JsonLayer(const std::string& name, const std::vector<uint32_t>& gids, const std::string& form) {
  std::string head = "{\"type\":\"tilelayer\",\"name\":\"" + name + "\",\"width\":" + std::to_string(kW) +
                     ",\"height\":" + std::to_string(kH) + ",";
  if (form == "csv") return head + "\"data\":[" + Encode(gids, "csv") + "]}";
  const std::string comp = form == "base64" ? "" : form;
  return head + "\"encoding\":\"base64\",\"compression\":\"" + comp + "\",\"data\":\"" + Encode(gids, form) + "\"}";
}

std::string JsonText() {
  std::string layers;
  for (int f = 0; f < 5; ++f) layers += JsonLayer(kForms[f], RowGids(f), kForms[f]) + ",";
  layers += "{\"type\":\"group\",\"name\":\"moved\",\"offsetx\":16,\"offsety\":8,\"layers\":[" +
            JsonLayer("grouped", GroupGids(), "zstd") + "]},";
  layers += "{\"type\":\"objectgroup\",\"name\":\"things\",\"objects\":[]}";
  return "{\"type\":\"map\",\"orientation\":\"orthogonal\",\"renderorder\":\"right-down\",\"width\":" +
         std::to_string(kW) + ",\"height\":" + std::to_string(kH) +
         ",\"tilewidth\":8,\"tileheight\":8,\"infinite\":false,"
         "\"tilesets\":[{\"firstgid\":1,\"source\":\"rgb.tsj\"}],\"layers\":[" +
         layers + "]}";
}

std::string TsjText() {
  return "{\"type\":\"tileset\",\"name\":\"rgb\",\"tilewidth\":8,\"tileheight\":8,\"margin\":" +
         std::to_string(kMargin) + ",\"spacing\":" + std::to_string(kSpacing) +
         ",\"tilecount\":6,\"columns\":3,\"image\":\"sheets/rgb.png\",\"imagewidth\":" + std::to_string(kSheetW) +
         ",\"imageheight\":" + std::to_string(kSheetH) + "}";
}

class TiledMadeMap : public RunTiledTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(TiledMadeMap, ImportsAsDrawn) {
  const std::string ext = GetParam();
  Write("sheets/rgb.png", RgbSheet());
  const std::string tsx = Tsx("sheets/rgb.png"), tsj = TsjText(), map = ext == "tmx" ? TmxText() : JsonText();
  Write("rgb.tsx", Bytes(tsx.begin(), tsx.end()));
  Write("rgb.tsj", Bytes(tsj.begin(), tsj.end()));
  Write("drawn." + ext, Bytes(map.begin(), map.end()));
  const std::string game = DemoCopy();
  const RunResult r =
      Tiled("import " + Quote(Path("drawn." + ext)) + " " + Quote(game + "/1.lev") + " " + Quote(game + "/1.til"));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("object layer \"things\" skipped"), std::string::npos) << r.err;

  // Six Flat planes; the sheet's cell 0 holds a picture, so its tiles start at 1.
  LoadLevel(game + "/1.lev");
  ASSERT_EQ(Level.planeCount, 6);
  for (int f = 0; f < 5; ++f) {
    const Plane& p = Level.planes[f];
    EXPECT_EQ(p.type, kFlat);
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(p.tiles[size_t(2 * f) * p.width + x], (x + f) % 6 + 1) << kForms[f] << " " << x;
  }
  EXPECT_EQ(Level.planes[5].tiles[size_t(10) * Level.planes[5].width + 2], 3);

  // On screen: every pixel of every painted cell in the sheet's colour.
  const RunResult shot = Run("--frames 5" + Script("1 key 6 tap\n5 shot " + Path("s.pcx") + "\n"), game);
  ASSERT_EQ(shot.code, 0) << shot.err;
  const std::vector<uint8_t> pixels = ShotPixels(Path("s.pcx"));
  PcxImage image;
  image.pixels.assign(64001, 0);
  ASSERT_EQ(LoadPcx(Path("s.pcx"), image, 0), 1);
  auto check = [&](int cx, int cy, int sheetTile) {
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        const uint8_t slot = pixels[size_t(cy * 8 + y) * 320 + cx * 8 + x];
        const auto& want = TileColour(sheetTile, x, y);
        for (int k = 0; k < 3; ++k)
          ASSERT_EQ(image.palette[slot * 3 + k], want[k] >> 2)
              << "cell (" << cx << ", " << cy << ") pixel " << x << "," << y;
      }
  };
  for (int f = 0; f < 5; ++f)
    for (int x = 0; x < 6; ++x) check(x, 2 * f, (x + f) % 6);
  check(2, 10, 2);
}

INSTANTIATE_TEST_SUITE_P(Forms, TiledMadeMap, ::testing::Values("tmx", "tmj"));

}  // namespace
