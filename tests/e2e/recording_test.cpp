// recording_test.cpp: GIF recordings and PNG shots from the real tarn-run,
// read back by ImageMagick: every recorded frame against a PCX shot of the
// same frame, the 3, 4, 3 timing, F12, the menu and the 60-second limit.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

#include "run_tarn.h"

namespace fs = std::filesystem;

namespace {

using RecordingTest = RunTarnTest;

// What reads the files back: scripts/windows-test.sh looks at F12's
// recording from outside Wine instead.
#define READ_BACK_TOOL "ImageMagick to read the files back"

// What a command printed on stdout.
std::string Output(const std::string& command) {
  std::string out;
  if (FILE* p = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) out.append(buffer, n);
    ::pclose(p);
  }
  return out;
}

// Each frame's delay in hundredths, as ImageMagick reads them.
std::vector<int> Delays(const std::string& gif) {
  std::vector<int> delays;
  const std::string text = Output("identify -format '%T\\n' '" + gif + "' 2>/dev/null");
  for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
    delays.push_back(std::stoi(text.substr(at, end - at)));
  return delays;
}

// The colours of a PCX shot, three bytes a pixel, through its own palette.
Bytes ShotRgb(const std::string& pcx) {
  const Bytes file = ReadWholeFile(pcx).value_or(Bytes{});
  const Bytes pixels = ShotPixels(pcx);
  Bytes rgb;
  if (file.size() < 769) return rgb;
  const uint8_t* palette = &file[file.size() - 768];
  for (uint8_t i : pixels) rgb.insert(rgb.end(), {palette[i * 3], palette[i * 3 + 1], palette[i * 3 + 2]});
  return rgb;
}

// A copy of the demo folder to record in: recordings land in the game's folder.
std::string CopyOfGame(const std::string& where) {
  fs::copy(TARN_GAME_DIR, where, fs::copy_options::recursive);
  return where;
}

// Frames 1041 to 1160 of the attract sequence: the first pan starts at 1082,
// and key 6 at 1120 brings level 1 with its own colours. Frame k of the GIF must show exactly the
// colours of the shot of frame 1041 + 2k, ImageMagick decoding; a frame that
// repeats the one before is merged into it, so frames are matched by time.
TEST_F(RecordingTest, EveryRecordedFrameHasTheColoursOfItsShot) {
  SKIP_ON_WINDOWS(READ_BACK_TOOL);
  const uint64_t first = 1041, last = 1160;
  std::string script = "1120 key 6 tap\n";
  for (uint64_t f = first; f <= last; f += 2) script += std::to_string(f) + " shot s" + std::to_string(f) + ".pcx\n";
  std::ofstream(Path("shots.txt")) << script;
  const RunResult r = Run("--frames 1160 --input '" + Path("shots.txt") + "' --gif 1041-1160:'" + Path("run.gif") + "'",
                          TARN_GAME_DIR, "cd '" + dir_.string() + "' &&");
  ASSERT_EQ(r.code, 0) << r.err;
  const RunResult panned = Run("--frames 1119");
  EXPECT_EQ(panned.out.find("\"viewX\": 0,"), std::string::npos) << "the view pans: " << panned.out;

  const std::vector<int> delays = Delays(Path("run.gif"));
  ASSERT_GE(delays.size(), 2u);
  EXPECT_EQ(std::accumulate(delays.begin(), delays.end(), 0), 60 / 3 * 10) << "60 frames last 2 s";
  ASSERT_EQ(std::system(("convert '" + Path("run.gif") + "' -coalesce -depth 8 rgb:'" + Path("run.rgb") + "'").c_str()),
            0);
  const Bytes decoded = Read("run.rgb");
  const size_t frameBytes = 320 * 200 * 3;
  ASSERT_EQ(decoded.size(), delays.size() * frameBytes);

  Bytes firstPalette;
  bool paletteChanged = false;
  int start = 0;  // when recorded frame k starts, in hundredths
  size_t shown = 0, shownStart = 0;
  for (uint64_t k = 0; first + 2 * k <= last; ++k) {
    while (shown + 1 < delays.size() && int(shownStart) + delays[shown] <= start) shownStart += size_t(delays[shown++]);
    const std::string shot = Path("s" + std::to_string(first + 2 * k) + ".pcx");
    const Bytes want = ShotRgb(shot);
    ASSERT_EQ(want.size(), frameBytes);
    EXPECT_TRUE(std::equal(want.begin(), want.end(), decoded.begin() + long(shown * frameBytes)))
        << "recorded frame " << k << " (game frame " << first + 2 * k << ") is GIF frame " << shown;
    const Bytes file = Read("s" + std::to_string(first + 2 * k) + ".pcx");
    const Bytes palette(file.end() - 768, file.end());
    if (firstPalette.empty()) firstPalette = palette;
    paletteChanged |= palette != firstPalette;
    start += k % 3 == 1 ? 4 : 3;
  }
  EXPECT_TRUE(paletteChanged) << "the palette changes within the run";
  // The loop extension, for ever.
  const Bytes gif = Read("run.gif");
  const std::string loop = "NETSCAPE2.0\x03\x01";
  EXPECT_NE(std::search(gif.begin(), gif.end(), loop.begin(), loop.end()), gif.end());
  EXPECT_NE(std::string(gif.begin(), gif.begin() + 6), "GIF87a");
}

TEST_F(RecordingTest, PngShotsAreIndexedWithTheColoursOfThePcx) {
  SKIP_ON_WINDOWS("libpng");
  const RunResult r = Run("--frames 400 --shot 400:'" + Path("a.png") + "' --shot 400:'" + Path("a.pcx") + "'" +
                          Script("400 shot " + Path("b.PNG") + "\n"));
  ASSERT_EQ(r.code, 0) << r.err;
  for (const char* png : {"a.png", "b.PNG"}) {
    const Bytes file = Read(png);
    ASSERT_GT(file.size(), 26u);
    EXPECT_EQ(std::string(file.begin() + 1, file.begin() + 4), "PNG");
    EXPECT_EQ(std::vector<int>({file[24], file[25]}), std::vector<int>({8, 3})) << "8-bit indexed";
    EXPECT_LT(file.size(), Read("a.pcx").size());
    ASSERT_EQ(std::system(("convert '" + Path(png) + "' -depth 8 rgb:'" + Path("png.rgb") + "'").c_str()), 0);
    EXPECT_EQ(Read("png.rgb"), ShotRgb(Path("a.pcx"))) << png;
  }
}

TEST_F(RecordingTest, GifArgumentsAndFilesThatCannotBeWritten) {
  for (const char* args : {"--gif 5-3:a.gif", "--gif 1-2", "--gif 1-2:", "--gif x-2:a.gif", "--gif 2:a.gif",
                           "--gif 0-2:a.gif", "--gif 1-+2:a.gif", "--gif 3-20:a.gif"}) {
    const RunResult r = Run(std::string("--frames 10 ") + args);
    EXPECT_EQ(r.code, 2) << args;
    EXPECT_EQ(r.out, "") << args;
  }
  // Two recordings at once, one into a folder that is not there: that one
  // fails as a shot does, the other is written.
  const std::string missing = Path("no/such.gif");
  const RunResult r = Run("--frames 12 --gif 1-12:'" + Path("a.gif") + "' --gif 3-8:'" + missing + "'");
  EXPECT_EQ(r.code, 4);
  EXPECT_EQ(r.err.rfind("tarn-run: " + missing + ": cannot write: ", 0), 0u) << r.err;
  EXPECT_FALSE(fs::exists(Path("no")));
  // A run that ends before the last frame writes what was recorded.
  const RunResult quit = Run("--frames 200 --gif 1-200:'" + Path("q.gif") + "'" + Script("60 key Esc tap\n"));
  EXPECT_EQ(quit.code, 0) << quit.err;
  SKIP_ON_WINDOWS(READ_BACK_TOOL);
  EXPECT_FALSE(Delays(Path("a.gif")).empty());
  const std::vector<int> delays = Delays(Path("q.gif"));
  EXPECT_EQ(std::accumulate(delays.begin(), delays.end(), 0), 100) << "frames 1 to 60: one second";
}

// F12 and menu 3002 start and stop the game's own recording; one left
// running stops by itself after 60 seconds, 6000 hundredths long.
TEST_F(RecordingTest, F12TheMenuAndTheSixtySecondLimit) {
  SKIP_ON_WINDOWS(READ_BACK_TOOL);
  const std::string game = CopyOfGame(Path("game"));
  RunResult r = Run("--frames 200" + Script("1 key F12 tap\n60 key F12 tap\n100 menu 3002\n160 menu 3002\n"), game);
  ASSERT_EQ(r.code, 0) << r.err;
  for (const char* file : {"REC00000.GIF", "REC00001.GIF"}) EXPECT_FALSE(Delays(game + "/" + file).empty()) << file;
  r = Run("--frames 3700" + Script("1 key F12 tap\n"), game);
  ASSERT_EQ(r.code, 0) << r.err;
  const std::vector<int> delays = Delays(game + "/REC00002.GIF");
  EXPECT_EQ(std::accumulate(delays.begin(), delays.end(), 0), 6000);
  EXPECT_FALSE(fs::exists(game + "/REC00003.GIF"));
}

}  // namespace
