// refusals_test.cpp: hostile maps, tilesets and sheets are refused with a
// line that names the file and what is wrong, and nothing is written.
#include <gtest/gtest.h>

#include <algorithm>

#include "level/file_fixture.h"
#include "map_fixture.h"
#include "tiled_commands.h"
#include "tiled_files.h"
#include "tiled_import.h"

namespace {

using namespace tiledtest;

class TiledRefusals : public FileTest {
 protected:
  void SetUp() override {
    FileTest::SetUp();
    tiled::StartEngine(TARN_GAME_DIR);
    Write("sheet.png", RgbSheet());
    const std::string tsx = Tsx("sheet.png");
    Write("rgb.tsx", Bytes(tsx.begin(), tsx.end()));
  }
  // The refusal's text for a map (TMX or JSON text) imported, or "" when it was taken.
  std::string Refusal(const std::string& map) {
    try {
      tiled::ImportMap(tiled::ParseMap(map, "m.tmx", dir_.string()));
    } catch (const tiled::Refusal& r) {
      return r.what();
    }
    return "";
  }
  static std::string Layer(const std::string& data) {
    return " <layer name=\"L\" width=\"2\" height=\"1\">" + data + "</layer>\n";
  }
  static std::string WithSet(const std::string& body) {
    return TmxMap(2, 1, " <tileset firstgid=\"1\" source=\"rgb.tsx\"/>\n" + body);
  }
};

// Each case: what the map holds, and words the refusal must say.
TEST_F(TiledRefusals, MapsTiledCanMakeButALevelCannotHold) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {TmxMap(2, 1, "").replace(TmxMap(2, 1, "").find("orthogonal"), 10, "isometric"), "isometric"},
      {TmxMap(2, 1, "").replace(TmxMap(2, 1, "").find("infinite=\"0\""), 12, "infinite=\"1\""), "infinite"},
      {TmxMap(2, 1, "").replace(TmxMap(2, 1, "").find("tilewidth=\"8\""), 13, "tilewidth=\"16\""), "16x8"},
      {WithSet(Layer("<data encoding=\"csv\">1,2147483649</data>")), "flipped or rotated"},
      {WithSet(Layer("<data encoding=\"csv\">1,7</data>")), "past every tileset"},
      {WithSet(Layer("<data encoding=\"csv\">1</data>")), "holds 1 cells, the layer 2"},
      {WithSet(Layer("<data encoding=\"csv\">1,2,3</data>")), "more than the layer's 2 cells"},
      {WithSet(Layer("<data encoding=\"csv\">1,x</data>")), "where a tile number belongs"},
      {WithSet(Layer("<data encoding=\"base64\">AQAAAA==</data>")), "holds 1 cells, the layer 2"},
      {WithSet(Layer("<data encoding=\"base64\">AQ!AAA==</data>")), "character '!'"},
      {WithSet(Layer("<data encoding=\"base64\" compression=\"zlib\">" + Encode({1, 2, 3}, "zlib") + "</data>")),
       "zlib data holds more than the layer's 2 cells"},
      {WithSet(
           Layer("<data encoding=\"base64\" compression=\"gzip\">" + Encode({1, 2}, "gzip").substr(0, 12) + "</data>")),
       "gzip data is damaged or cut short"},
      {WithSet(Layer("<data encoding=\"base64\" compression=\"zstd\">" + Encode({1, 2, 3}, "zstd") + "</data>")),
       "zstd data holds more"},
      {WithSet(Layer("<data encoding=\"base64\" compression=\"lzma\">AAAA</data>")), "unknown compression"},
      {WithSet(" <layer name=\"L\" width=\"2\" height=\"1\" offsetx=\"3\"><data encoding=\"csv\">1,2</data></layer>\n"),
       "offset by 3"},
      {WithSet("<layer name=\"L\" width=\"2\" height=\"1\"><data encoding=\"csv\"><chunk/></data></layer>"), "chunks"},
      {TmxMap(2, 1,
              "<tileset firstgid=\"1\" name=\"big\" tilewidth=\"16\" tileheight=\"16\"><image source=\"x.png\"/>"
              "</tileset>"),
       "16x16 tiles"},
      {TmxMap(2, 1, "<tileset firstgid=\"1\" source=\"missing.tsx\"/>"), "missing.tsx: cannot read the tileset"},
      {TmxMap(2, 1,
              "<tileset firstgid=\"1\" name=\"s\" tilewidth=\"8\" tileheight=\"8\" tilecount=\"99\" "
              "columns=\"3\"><image source=\"sheet.png\"/></tileset>"),
       "the sheet holds 6 tiles, tileset \"s\" says 99"},
      {TmxMap(70000, 1, ""), "70000x1"},
      {"<map", "not a readable XML file"},
      {"{\"type\":\"map\",\"width\":2,", "not a readable JSON file"},
      {"{\"type\":\"map\",\"orientation\":\"orthogonal\",\"width\":2,\"height\":1,\"tilewidth\":8,\"tileheight\":8,"
       "\"layers\":[{\"type\":\"tilelayer\",\"name\":\"J\",\"width\":2,\"height\":1,\"data\":[1]}]}",
       "holds 1 cells, its size 2"},
      {"{\"type\":\"map\",\"width\":\"wide\"}", "\"width\" is \"wide\", not a whole number"},
  };
  for (const auto& [map, words] : cases) {
    const std::string why = Refusal(map);
    EXPECT_NE(why.find(words), std::string::npos) << "wanted \"" << words << "\", got \"" << why << "\"";
  }
  // Seventeen tile layers: one more than a level's planes.
  std::string many;
  for (int i = 0; i < 17; ++i) many += Layer("<data encoding=\"csv\">0,0</data>");
  EXPECT_NE(Refusal(WithSet(many)).find("more than 16 tile layers"), std::string::npos);
  // Groups nested past any sane depth.
  std::string deep = Layer("<data encoding=\"csv\">0,0</data>");
  for (int i = 0; i < 70; ++i) deep = "<group>" + deep + "</group>";
  EXPECT_NE(Refusal(WithSet(deep)).find("nest deeper"), std::string::npos);
}

// A compressed layer that would inflate to gigabytes stops at what the layer needs.
TEST_F(TiledRefusals, CompressionBombsStopAtTheLayersSize) {
  const Bytes zeros(size_t(64) << 20, 0);
  for (const char* form : {"zlib", "gzip", "zstd"}) {
    const Bytes packed = form == std::string("zstd") ? Zstd(zeros) : Deflate(zeros, form == std::string("gzip"));
    const std::string why = Refusal(WithSet(
        Layer(std::string("<data encoding=\"base64\" compression=\"") + form + "\">" + Base64(packed) + "</data>")));
    EXPECT_NE(why.find("holds more than the layer's 2 cells"), std::string::npos) << why;
  }
}

// A valid PNG whose header claims 9000 x 9000 pixels.
Bytes HugeHeader(Bytes png) {
  for (size_t at : {16, 20}) {
    png[at] = 0, png[at + 1] = 0, png[at + 2] = 0x23, png[at + 3] = 0x28;
  }
  const uint32_t crc = uint32_t(crc32(0, png.data() + 12, 17));
  for (int k = 0; k < 4; ++k) png[29 + k] = uint8_t(crc >> (24 - 8 * k));
  return png;
}

TEST_F(TiledRefusals, BrokenAndOversizedSheets) {
  const Bytes good = RgbSheet();
  const std::vector<std::pair<Bytes, std::string>> cases = {
      {Bytes{'n', 'o', 't'}, "not a PNG file"},
      {Bytes(good.begin(), good.begin() + ptrdiff_t(good.size() / 2)), "not a readable PNG"},
      {HugeHeader(good), "more than 67108864 in all"},
  };
  for (const auto& [bytes, words] : cases) {
    Write("bad.png", bytes);
    ::testing::internal::CaptureStderr();
    const int code = tiled::TilesCommand(Path("bad.png"), Path("out.til"));
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 1);
    EXPECT_EQ(err.rfind(Path("bad.png") + ": ", 0), 0u) << err;
    EXPECT_NE(err.find(words), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_FALSE(std::filesystem::exists(Path("out.til")));
  }
}

// 70 colours (some may be the palette's) cannot all take the 63 free slots: the count and the hint.
TEST_F(TiledRefusals, TooManyColoursSaysHowMany) {
  Bytes rgba(size_t(8 * 70) * 8 * 4, 255);
  for (int t = 0; t < 70; ++t)
    for (int p = 0; p < 64; ++p) {
      uint8_t* px = &rgba[(size_t(p / 8) * 560 + size_t(t) * 8 + size_t(p % 8)) * 4];
      px[0] = uint8_t(4 * t), px[1] = 8, px[2] = 12;
    }
  Write("many.png", tiled::EncodeRgbSheet(560, 8, rgba, true));
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(tiled::TilesCommand(Path("many.png"), Path("out.til")), 1);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find(" new colours do not fit the 63 free palette slots"), std::string::npos) << err;
  EXPECT_NE(err.find("paint program"), std::string::npos) << err;
  EXPECT_FALSE(std::filesystem::exists(Path("out.til")));
}

}  // namespace
