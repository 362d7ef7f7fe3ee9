// bounded_reads_test.cpp: the damage every reader meets the same way, the
// home of these kinds for every format: what is not a regular file (a FIFO,
// a device, a folder), a file longer than its format can use, and bytes
// after a whole file's end: one line naming it, no wait, and nothing read
// past the bound. A cut or corrupted file is each decoder's own: see its
// test, and tests/level/broken_files_test.cpp for random damage.

#include <cstring>
#include <numeric>

#include "audio/sound.h"
#include "common/limits.h"
#include "common/regular_file.h"
#include "common/value_reader.h"
#include "gfx/font.h"
#include "gfx/pcx.h"
#include "level/file_fixture.h"
#include "level/level.h"
#include "level/tile_set.h"

namespace fs = std::filesystem;

namespace {

using BoundedReads = FileTest;

// What a reader printed on stderr while it ran.
template <class Fn>
std::string Said(Fn read) {
  testing::internal::CaptureStderr();
  read();
  return testing::internal::GetCapturedStderr();
}

// A FIFO with no writer would block a plain open for ever, and /dev/zero
// would be read until memory ran out.
TEST_F(BoundedReads, EveryReaderRefusesAFifoADeviceOrAFolderInOneLineWithoutWaiting) {
  SKIP_ON_WINDOWS("FIFOs or devices");
  ASSERT_TRUE(MakeFifo(Path("fifo")));
  fs::create_symlink("/dev/zero", Path("zero"));
  fs::create_directory(Path("folder"));
  Startup.DefaultDataDir = Path("none");  // no sound to fall back on either
  const std::pair<const char*, const char*> kinds[] = {
      {"fifo", "a FIFO"}, {"zero", "a character device"}, {"folder", "a folder"}};
  for (auto [name, kind] : kinds) {
    const std::string path = Path(name), line = path + ": is " + kind + ", not a file; not read\n";
    bool read = true;
    EXPECT_EQ(Said([&] { read = ReadWholeFile(path).has_value(); }), line);
    EXPECT_FALSE(read) << name;
    EXPECT_EQ(Said([&] { read = BinaryReader::Open(path, 100).has_value(); }), line);
    EXPECT_FALSE(read) << name;
    EXPECT_EQ(Said([&] { read = ValueReader::Open(path, 100).has_value(); }), line);
    EXPECT_FALSE(read) << name;
    EXPECT_EQ(Said([&] { read = LoadPcx(path, ScratchImage, 1) != 0; }), line);
    EXPECT_FALSE(read) << name;
    Sound_typ sound;
    EXPECT_EQ(Said([&] { read = LoadSound(path, sound, Startup.DefaultDataDir + "/sfx/sfx000.wav"); }), line)
        << "not replaced by effect 0's file";
    EXPECT_FALSE(read) << name;
    Font font;
    EXPECT_EQ(Said([&] { LoadFont(path, font); }), line) << "no second line for the same fault";
    EXPECT_TRUE(font.glyphs.empty());
    EXPECT_TRUE(LastOpenRefused());
    EXPECT_TRUE(CanOpenForReading(path)) << "the marker check opens without waiting";
    // The level and tile set loaders fall back to their defaults, and say why.
    const std::string err = Said([&] {
      LoadLevel(path);
      LoadTileSet(path);
    });
    EXPECT_EQ(err.find(line), 0u) << err;
    EXPECT_NE(err.find(line, line.size()), std::string::npos) << err;
    EXPECT_EQ(Level.planeCount, 3) << "the new level";
  }
  EXPECT_EQ(Said([&] { EXPECT_FALSE(ReadWholeFile(Path("absent"))); }), "") << "the caller says what missing means";
  EXPECT_FALSE(LastOpenRefused());
  EXPECT_FALSE(CanOpenForReading(Path("absent")));
}

TEST_F(BoundedReads, ALongerFileIsReadOnlyUpToItsBoundAndSaysSo) {
  const std::string text = "a: 1\rb: 22\rc: 3\rdddddddd\r";  // 25 bytes
  Write("t", Bytes(text.begin(), text.end()));
  std::optional<Bytes> bytes;
  EXPECT_EQ(Said([&] { bytes = ReadWholeFile(Path("t"), 10); }),
            Path("t") + ": 25 bytes, more than the 10 such a file can use; reading the first 10\n");
  EXPECT_EQ(bytes, Bytes(text.begin(), text.begin() + 10));
  // With `cut` the caller says it; a file of the bound's size is whole.
  bool cut = false;
  EXPECT_EQ(Said([&] { bytes = ReadWholeFile(Path("t"), 10, &cut); }), "");
  EXPECT_TRUE(cut);
  EXPECT_EQ(bytes->size(), 10u);
  EXPECT_EQ(Said([&] { bytes = ReadWholeFile(Path("t"), 25, &cut); }), "");
  EXPECT_FALSE(cut);
  EXPECT_EQ(bytes->size(), 25u);

  // A text file: the value the bound cuts off ends it.
  std::optional<ValueReader> values;
  EXPECT_NE(Said([&] { values = ValueReader::Open(Path("t"), 10); }), "");
  ASSERT_TRUE(values);
  EXPECT_EQ(values->ReadValue(), "1");
  EXPECT_EQ(values->ReadValue(), "");
  EXPECT_TRUE(values->Ended());

  // A binary file: the first `bound` bytes, then zeros; the rest is counted.
  auto in = BinaryReader::Open(Path("t"), 10);
  ASSERT_TRUE(in);
  EXPECT_EQ(in->Size(), 10u);
  EXPECT_EQ(in->FileSize(), 25u);
  EXPECT_EQ(in->Trailing(), 25u);
  uint8_t out[12];
  in->Bytes(out, sizeof out);
  EXPECT_EQ(std::string(out, out + 10), text.substr(0, 10));
  EXPECT_EQ(out[10] | out[11], 0);
  EXPECT_TRUE(in->Short());
  EXPECT_EQ(in->Trailing(), 15u);
}

// The file reader holds 64 KB at a time: reads that start or end across a
// window's edge, go back, jump ahead or take more than a window at once
// give exactly what the same reader over the bytes in memory gives.
TEST_F(BoundedReads, AFileReadAWindowAtATimeGivesWhatTheBytesInMemoryGive) {
  Bytes bytes(200000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 7 + i / 251);
  Write("b", bytes);
  auto file = BinaryReader::Open(Path("b"), SIZE_MAX);
  ASSERT_TRUE(file);
  BinaryReader memory(bytes);
  // Every byte in turn first.
  size_t wrong = 0;
  for (uint8_t b : bytes) wrong += file->U8() != b;
  EXPECT_EQ(wrong, 0u);
  EXPECT_TRUE(file->AtEnd());
  EXPECT_EQ(file->U8(), 0);
  EXPECT_TRUE(file->Short());
  // Then the same walk over both readers: each step's value and position.
  auto walk = [](BinaryReader& in) {
    std::vector<uint64_t> seen;
    auto note = [&](uint64_t v) { seen.insert(seen.end(), {v, in.Position()}); };
    in.Seek(65534), note(in.U32BE());
    in.Seek(65535), note(in.U16LE());
    in.Seek(3), note(in.U16BE());
    in.Skip(131070), note(in.U8());
    Bytes big(150000);
    in.Seek(1000), in.Bytes(big.data(), big.size());
    note(std::accumulate(big.begin(), big.end(), uint64_t(0), [](uint64_t h, uint8_t b) { return h * 31 + b; }));
    Bytes tail(30, 0xEE);
    in.Seek(199990), in.Bytes(tail.data(), tail.size());
    note(std::accumulate(tail.begin(), tail.end(), uint64_t(0), [](uint64_t h, uint8_t b) { return h * 31 + b; }));
    note(in.Short());
    in.Seek(300000), note(in.Remaining());
    return seen;
  };
  BinaryReader again = std::move(*BinaryReader::Open(Path("b"), SIZE_MAX));
  EXPECT_EQ(walk(again), walk(memory));

  // A file cut short while it is read ends where its bytes end.
  auto shrinking = BinaryReader::Open(Path("b"), SIZE_MAX);
  fs::resize_file(Path("b"), 70000);
  Bytes big(100000, 0xEE);
  shrinking->Bytes(big.data(), big.size());
  EXPECT_TRUE(std::equal(big.begin(), big.begin() + 70000, bytes.begin()));
  EXPECT_EQ(std::count(big.begin() + 70000, big.end(), 0), 30000);
  EXPECT_TRUE(shrinking->Short());
  EXPECT_EQ(shrinking->Size(), 70000u);
}

// Bytes after a whole file's end load as if they were not there and are
// said in one line. 64 GB of them after a level and a tile set (a sparse
// file: no disk is used) would need the memory to read: they are counted.
// Under Wine a longer file takes its disk space, so there 5 GB (past what
// 32 bits count) must do.
TEST_F(BoundedReads, BytesAfterTheEndAreIgnoredCountedNeverReadAndSaidInOneLine) {
#ifdef _WIN32
  const uint64_t extra = uint64_t(5) << 30;
#else
  const uint64_t extra = uint64_t(64) << 30;
#endif
  for (const char* name : {"1.lev", "1.til"}) {
    fs::copy_file(fs::path(TARN_GAME_DIR) / name, Path(name));
    fs::resize_file(Path(name), fs::file_size(Path(name)) + extra);
  }
  EXPECT_EQ(Said([&] { LoadLevel(Path("1.lev")); }),
            Path("1.lev") + ": " + std::to_string(extra) + " bytes after the end of the level are ignored\n");
  EXPECT_EQ(Level.planeCount, 4);
  EXPECT_EQ(Said([&] { LoadTileSet(Path("1.til")); }),
            Path("1.til") + ": " + std::to_string(extra) + " bytes after the end of the tile set are ignored\n");
  EXPECT_GT(Tiles.tileCount, 1);

  // The other two tile set layouts (the demo's is version 2), and a .dat
  // longer than its 2000 records beside the headerless one.
  Write("0.til", FixedBody({TileRec({Filled(4)})}) + Bytes{7, 7});
  Write("0.dat", Bytes(2000 * 66 + 5, 1));
  Write("v1.til", TilHeader(1) + Bytes{0, 1} + TileRec({Filled(5)}) + Bytes(64, 2) + Bytes{0} + Bytes{9});
  EXPECT_EQ(Said([&] { LoadTileSet(Path("v1.til")); }),
            Path("v1.til") + ": 1 bytes after the end of the tile set are ignored\n");
  EXPECT_EQ(Ints({Tiles.tileCount, Tiles.tileTable[0].frames[0][0], Tiles.tileTable[0].collision[0]}), Ints({1, 5, 2}));
  EXPECT_EQ(Said([&] { LoadTileSet(Path("0.til")); }),
            Path("0.til") + ": 2 bytes after the end of the tile set are ignored\n" + Path("0.dat") +
                ": 5 bytes after the last tile's cells are ignored\n");
  EXPECT_EQ(Ints({Tiles.tileCount, Tiles.tileTable[0].frames[0][0], Tiles.tileTable[0].collision[0]}),
            Ints({2000, 4, 1}));

  // A PCX (row y is colour y) followed by more than any 320x200 PCX takes:
  // the first 128,897 bytes are read, the palette their last 768.
  Bytes pixels(64000), palette(768, 0x40);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(i / 320);
  Bytes longer = EncodePcx(pixels.data(), palette.data());
  longer.resize(128 + 2 * 64000 + 1, 0);
  longer.resize(longer.size() + 768, 0x80);
  longer.resize(longer.size() + 100, 0xFC);
  Write("long.pcx", longer);
  PcxImage image;
  EXPECT_EQ(Said([&] { EXPECT_EQ(LoadPcx(Path("long.pcx"), image, 0), 1); }),
            Path("long.pcx") + ": 128997 bytes, more than any 320x200 PCX takes; reading the first 128897\n");
  EXPECT_EQ(Pick(image.pixels, {320, 63999}), Ints({1, 199}));
  EXPECT_EQ(Pick(image.palette, {0, 767}), Ints({0x20, 0x20}));
}

}  // namespace
