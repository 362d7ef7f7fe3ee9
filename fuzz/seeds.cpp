// seeds.cpp: tarn-fuzz-seeds DEMO_DIR OUT_DIR writes a seed corpus for each
// fuzz target into OUT_DIR/<target>/: the demo folder's files and small cases
// of every version and variant the readers know.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common/binary_reader.h"
#include "fuzz_support.h"
#include "lev_writer.h"
#include "level/level.h"
#include "level/tile_set.h"
#include "png_sheet.h"
#include "til_writer.h"
#include "tiled_export.h"

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

namespace {

fs::path seedDir;  // where the corpora go
int written = 0;

void Put(const std::string& target, const std::string& name, const Bytes& bytes) {
  fs::create_directories(seedDir / target);
  if (WriteFileAtomic((seedDir / target / name).string(), bytes)) ++written;
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Parts joined by the separator the targets split on.
Bytes Join(const std::vector<Bytes>& parts) {
  Bytes all;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) all.insert(all.end(), fuzz::kSeparator.begin(), fuzz::kSeparator.end());
    all.insert(all.end(), parts[i].begin(), parts[i].end());
  }
  return all;
}

Bytes Demo(const fs::path& demo, const std::string& name) {
  return ReadWholeFile((demo / name).string()).value_or(Bytes{});
}

// Three tiles (opaque, holed, animated) and a set with a cycle and a rotation.
TileSetDef SmallTiles() {
  TileSetDef def;
  def.tiles.resize(4);
  for (int t = 1; t < 4; ++t) {
    TilePixels px;
    for (int i = 0; i < 64; ++i) px[i] = uint8_t(t == 2 && i % 3 == 0 ? 0 : t + i % 5);
    def.tiles[t].frames = {px};
    def.tiles[t].collision[t] = 1;
  }
  def.tiles[3].frames.push_back(def.tiles[1].frames[0]);
  def.tiles[3].delays = {2, 1, 3};
  PaletteSetDef set;
  set.cycles.resize(64);
  set.cycles[1] = CycleDef{{{10, 0, 0}, {0, 20, 0}}, {1, 0}, 8, 0};
  set.cycles[9] = CycleDef{{{1, 2, 3}}, {0}, 72, 1};
  def.sets = {set, set};
  def.sets[1].tintUpperHalf = 2;
  def.sets[1].cycles.resize(192);
  return def;
}

TileMap Map(int w, int h) {
  TileMap m{w, h, std::vector<uint16_t>(size_t(w) * h, 0)};
  for (size_t i = 0; i < m.cells.size(); ++i) m.cells[i] = uint16_t(i % 4);
  return m;
}

void LevelSeeds() {
  std::vector<PlaneDef> planes;
  for (uint8_t type = 0; type <= 5; ++type) {
    PlaneDef p = MakePlane(type, Map(3 + type, 2 + type));
    p.loops = {2, 1, 3};
    p.speeds = {8, 200, 64};
    p.otherLoop = 2;
    p.otherSpeed = 130;
    planes.push_back(p);
  }
  const std::string tmp = (seedDir / "level-tmp.lev").string();
  if (SaveLevelV2(tmp, planes, 77)) Put("level", "v2-every-type.lev", ReadWholeFile(tmp).value_or(Bytes{}));
  if (SaveLevelV2(tmp, {}, 1)) Put("level", "v2-no-planes.lev", ReadWholeFile(tmp).value_or(Bytes{}));
  fs::remove(tmp);
  OldPlane h{Map(4, 3), {24, 30, 0}, {2, 4, 1}, 2, 0}, flat{Map(5, 2), {}, {}, 0, 0};
  Put("level", "v0-headerless.lev", EncodeLevelV0(h, flat, flat, 340, false));
  Put("level", "v0.lev", EncodeLevelV0(h, flat, flat, 340, true));
  Bytes v1 = EncodeLevelV1(h, h, flat, flat, 9);
  Put("level", "v1.lev", v1);
  if (v1.size() > 4) v1[4] = 255;
  Put("level", "v255.lev", v1);
}

// ---- WAV ---------------------------------------------------------------------

void PutU32LE(Bytes& out, uint32_t v) {
  PutU16LE(out, v);
  PutU16LE(out, v >> 16);
}

Bytes Chunk(const char* id, const Bytes& body) {
  Bytes out(id, id + 4);
  PutU32LE(out, uint32_t(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  if (body.size() % 2) out.push_back(0);  // chunks are padded to an even length
  return out;
}

// A format chunk body: PCM, or the extensible form whose sub-format says PCM.
Bytes Format(uint16_t channels, uint32_t rate, uint16_t bits, bool extensible = false) {
  Bytes f;
  const uint16_t align = uint16_t(channels * bits / 8);
  PutU16LE(f, extensible ? 0xFFFE : 1);
  PutU16LE(f, channels);
  PutU32LE(f, rate);
  PutU32LE(f, rate * align);
  PutU16LE(f, align);
  PutU16LE(f, bits);
  if (extensible) {
    PutU16LE(f, 22);
    PutU16LE(f, bits);
    PutU32LE(f, channels == 6 ? 0x3F : 0x3);
    const uint8_t pcmGuid[16] = {1, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    f.insert(f.end(), pcmGuid, pcmGuid + 16);
  }
  return f;
}

// A short saw wave of `frames` frames in the sample format.
Bytes Samples(uint16_t channels, uint16_t bits, int frames) {
  Bytes d;
  for (int i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c) {
      const int v = (i * 997 + c * 5000) % 65536 - 32768;
      if (bits == 8)
        PutU8(d, uint32_t(v >> 8) + 128);
      else
        PutU16LE(d, uint32_t(v));
    }
  return d;
}

Bytes Riff(const std::vector<Bytes>& chunks) {
  Bytes body = {'W', 'A', 'V', 'E'};
  for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
  return Chunk("RIFF", body);
}

void WavSeeds(const fs::path& demo) {
  Put("wav", "sfx000.wav", Demo(demo, "default/sfx/sfx000.wav"));
  // The theme's head: a data chunk that claims far more than the file holds.
  Bytes theme = Demo(demo, "default/music/theme.wav");
  theme.resize(std::min<size_t>(theme.size(), 4096));
  Put("wav", "theme-head.wav", theme);
  Put("wav", "mono8.wav", Riff({Chunk("fmt ", Format(1, 11025, 8)), Chunk("data", Samples(1, 8, 40))}));
  Put("wav", "mono16.wav", Riff({Chunk("fmt ", Format(1, 22050, 16)), Chunk("data", Samples(1, 16, 40))}));
  Put("wav", "stereo16.wav", Riff({Chunk("fmt ", Format(2, 44100, 16)), Chunk("data", Samples(2, 16, 30))}));
  Put("wav", "stereo8.wav", Riff({Chunk("fmt ", Format(2, 8000, 8)), Chunk("data", Samples(2, 8, 30))}));
  Put("wav", "six16.wav", Riff({Chunk("fmt ", Format(6, 48000, 16)), Chunk("data", Samples(6, 16, 20))}));
  Put("wav", "extensible.wav", Riff({Chunk("fmt ", Format(6, 44100, 16, true)), Chunk("data", Samples(6, 16, 20))}));
  // Chunks before, between and in odd lengths; data before the format.
  Put("wav", "odd-chunks.wav",
      Riff({Chunk("LIST", Text(std::string("INFOISFT\x03\0\0\0abc", 15))), Chunk("data", Samples(1, 8, 33)),
            Chunk("fact", {1, 2, 3}), Chunk("fmt ", Format(1, 22050, 8))}));
  Bytes padded = Format(2, 22050, 16);
  padded[12] = 8;  // a block align of 8 for frames of 4 bytes
  Put("wav", "padded-frames.wav", Riff({Chunk("fmt ", padded), Chunk("data", Samples(2, 16, 24))}));
  Put("wav", "slow-rate.wav", Riff({Chunk("fmt ", Format(1, 1, 16)), Chunk("data", Samples(1, 16, 4))}));
  Put("wav", "no-data.wav", Riff({Chunk("fmt ", Format(1, 22050, 16))}));
}

// A loaded level and tile set as the three parts of the tiled target: the
// map naming "t.tsx", the tileset naming "s.png", the sheet.
Bytes TiledParts(tiled::Format format) {
  tiled::Export e = tiled::BuildExport("s", format);
  e.map.tilesets[0].source = "t.tsx";
  const std::string map = format == tiled::Format::kJson ? tiled::MapJson(e.map) : tiled::MapXml(e.map);
  const std::string set = format == tiled::Format::kJson ? tiled::TilesetJson(e.tileset) : tiled::TilesetXml(e.tileset);
  return Join({Text(map), Text(set), e.sheet});
}

void TiledSeeds(const fs::path& demo) {
  for (int n : {1, 3}) {
    fuzz::ResetEngine();
    LoadTileSet((demo / (std::to_string(n) + ".til")).string());
    LoadLevel((demo / (std::to_string(n) + ".lev")).string());
    Put("tiled", std::to_string(n) + ".tmx", TiledParts(tiled::Format::kXml));
    Put("tiled", std::to_string(n) + ".tmj", TiledParts(tiled::Format::kJson));
  }
  // A small level over the small tile set: quick to mutate.
  fuzz::ResetEngine();
  LoadTileSet(fuzz::WriteFile("small.til",
                              std::string_view(reinterpret_cast<const char*>(EncodeTileSet(SmallTiles(), 1).data()),
                                               EncodeTileSet(SmallTiles(), 1).size())));
  std::vector<Plane> planes(3);
  InitPlane(planes[0], kHTiled, 6, 4);
  InitPlane(planes[1], kFlat, 5, 3);
  InitPlane(planes[2], kVLined, 3, 2);
  for (size_t c = 0; c < 12; ++c) planes[c % 3].tiles[c / 3] = uint16_t(c % 4);
  ReplaceLevel(std::move(planes), 77);
  Put("tiled", "small.tmx", TiledParts(tiled::Format::kXml));
  Put("tiled", "small.tmj", TiledParts(tiled::Format::kJson));
  // Layer data as Tiled may write it: base64, zlib, gzip and zstd, and an RGB sheet.
  const std::string head =
      "<map orientation=\"orthogonal\" width=\"2\" height=\"1\" tilewidth=\"8\" tileheight=\"8\">"
      "<tileset firstgid=\"1\" source=\"t.tsx\"/><group offsetx=\"8\"><layer name=\"a\" width=\"2\" height=\"1\">";
  const std::string tsx =
      "<tileset name=\"s\" tilewidth=\"8\" tileheight=\"8\" margin=\"1\" spacing=\"1\" tilecount=\"2\" "
      "columns=\"2\"><image source=\"s.png\" width=\"19\" height=\"10\"/>"
      "<tile id=\"1\"><animation><frame tileid=\"0\" duration=\"50\"/><frame tileid=\"1\" duration=\"17\"/>"
      "</animation></tile></tileset>";
  std::vector<uint8_t> rgba(19 * 10 * 4);
  for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = uint8_t(i % 4 == 3 ? (i / 40 % 3 ? 255 : 0) : i * 7);
  const Bytes sheet = tiled::EncodeRgbSheet(19, 10, rgba, true);
  for (const char* data : {"<data encoding=\"base64\">AQAAAAIAAAA=</data>",
                           "<data encoding=\"base64\" compression=\"zlib\">eJxjZGBgYAJiAAAYAAQ=</data>",
                           "<data encoding=\"base64\" compression=\"gzip\">H4sIAAAAAAACA2NkYGBgAmIAfBeBAwgAAAA=</data>",
                           "<data encoding=\"base64\" compression=\"zstd\">KLUv/SQIQQAAAQAAAAIAAAA6GOQe</data>",
                           "<data encoding=\"csv\">1,2</data>"})
    Put("tiled", "encoded-" + std::to_string(written) + ".tmx",
        Join({Text(head + data + "</layer></group><objectgroup name=\"o\"/></map>"), Text(tsx), sheet}));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: tarn-fuzz-seeds DEMO_DIR OUT_DIR\n");
    return 2;
  }
  const fs::path demo = argv[1];
  seedDir = argv[2];

  for (int n = 1; n <= 5; ++n) {
    const std::string k = std::to_string(n);
    Put("tile", k + ".til", Join({Demo(demo, k + ".til"), Demo(demo, k + ".dat")}));
    Put("level", k + ".lev", Demo(demo, k + ".lev"));
    // The same level edited: steering bytes spread over every kind of step.
    Bytes steer;
    for (int i = 0; i < 90; ++i) steer.push_back(uint8_t((i * 37 + n * 11) % 251));
    Put("level", k + "-edited.lev", Join({Demo(demo, k + ".lev"), steer}));
  }
  const TileSetDef small = SmallTiles();
  Put("tile", "v0-small.til", Join({EncodeTileSet(small, 0), EncodeCollision(small)}));
  Put("tile", "v1-small.til", EncodeTileSet(small, 1));
  Put("tile", "v2-small.til", EncodeTileSet(small, 2));
  LevelSeeds();

  for (const char* pcx :
       {"art/globpal.pcx", "fonts/fonts.pcx", "stats/zlabel.pcx", "editor/cursor.pcx", "editor/tedit.pcx"})
    Put("pcx", fs::path(pcx).filename().string(), Demo(demo, std::string("default/") + pcx));
  Put("pcx", "tiny.pcx", Bytes(200, 0xC1));
  // Headers that are no 320x200 8-bit PCX's: all 0xFF, every byte doubled.
  const Bytes globpal = Demo(demo, "default/art/globpal.pcx");
  Put("pcx", "all-ff.pcx", Bytes(globpal.size(), 0xFF));
  Bytes doubled;
  for (uint8_t b : globpal) doubled.insert(doubled.end(), {b, b});
  Put("pcx", "doubled.pcx", doubled);

  const Bytes sheet = Demo(demo, "default/fonts/fonts.pcx");
  for (const char* fnt : {"normal.fnt", "title.fnt"})
    Put("font", fnt,
        Join({Text("Fonts: 1\r\nFont 0: f.fnt\r\n"), Demo(demo, std::string("default/fonts/") + fnt), sheet}));
  Put("font", "types.fdf",
      Join({Text("n: 2\r\na: f.fnt\r\nb: f.fnt\r\n"),
            Text("h: x\r\nsheet: sheet.pcx\r\ntype: 4\r\n" + std::string("g: 0\r\ng: 0\r\ng: 8\r\ng: 9\r\ng: 1\r\n")),
            sheet}));

  WavSeeds(demo);
  TiledSeeds(demo);

  Put("card", "card.tdf", Join({Demo(demo, "default/stats/card.tdf"), Demo(demo, "default/stats/zlabel.pcx")}));

  Put("script", "keys.txt",
      Text("1 key 6 tap\n# comment\n5 key E down\n6 mouse 10 20\n7 button left down\n"
           "8 button right up\n9 menu 2002\n10 shot a.pcx\n12 key Up up\n"));
  Put("script", "bad.txt", Text("0 key Q tap\n3 jump\n-1 mouse x y\n99999999999999999999 key A down\n"));

  std::printf("tarn-fuzz-seeds: %d files in %s\n", written, seedDir.string().c_str());
  return written > 0 ? 0 : 1;
}
