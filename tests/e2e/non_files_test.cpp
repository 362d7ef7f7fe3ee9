// non_files_test.cpp: tarn-run on a game folder where a level, the marker,
// a sound, a font or the script is a FIFO or a device, or the script is
// longer than a script may be: the run never waits or fills memory, and one
// line names each file.
#include <fstream>

#include "common/limits.h"
#include "run_tarn.h"

namespace fs = std::filesystem;

namespace {

class NonFiles : public RunTarnTest {
 protected:
  void ReplaceByFifo(const std::string& path) {
    fs::remove(path);
    ASSERT_TRUE(MakeFifo(path)) << path;
  }
};

// A FIFO for a level, the marker and a sound; a font list naming /dev/zero
// through "../", and a font whose sheet is it. Each reader's own refusal is
// in tests/common/bounded_reads_test.cpp; here the run as a whole.
TEST_F(NonFiles, NoFilesNeverHoldTheRunUpAndTheOtherFontsLoad) {
  SKIP_ON_WINDOWS("FIFOs or devices");
  const std::string game = DemoCopy();
  for (const char* name : {"1.lev", "tarn.cfg", "default/sfx/sfx000.wav"}) ReplaceByFifo(game + "/" + name);
  fs::create_symlink("/dev/zero", game + "/zero");
  std::ofstream(game + "/default/fonts.def") << "Fonts: 3\r\nFont 0: ../zero\r\nFont 1: fonts/normal.fnt\r\n"
                                                "Font 2: fonts/zero.fnt\r\n";
  std::ofstream(game + "/default/fonts/zero.fnt") << "name: z\r\nsheet: ../../zero\r\ntype: 7\r\n";
  const RunResult r = Run("--frames 3" + Script("1 key 6 tap\n"), game);
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("\"frames\": 3,"), std::string::npos) << r.out;
  EXPECT_EQ(r.err, "default/sfx/sfx000.wav: is a FIFO, not a file; not read\n" + game +
                       "/default/../zero: is a character device, not a file; not read\n" + game +
                       "/default/fonts/../../zero: is a character device, not a file; not read\n" + game +
                       "/default/fonts/zero.fnt: ends before its last glyph\n1.lev: is a FIFO, not a file; not read\n")
      << "the marker is only opened";
}

TEST_F(NonFiles, AScriptThatIsNoFileOrTooLongIsRefusedWithOneLine) {
  SKIP_ON_WINDOWS("FIFOs or devices");
  ASSERT_TRUE(MakeFifo(Path("fifo")));
  fs::create_symlink("/dev/zero", Path("zero"));
  fs::create_directory(Path("folder"));
  for (auto [name, kind] : {std::pair{"fifo", "a FIFO"}, {"zero", "a character device"}, {"folder", "a folder"}}) {
    const RunResult r = Run(std::string("--input '") + Path(name) + "'");
    EXPECT_EQ(r.code, 2) << name;
    EXPECT_EQ(r.err, Path(name) + ": is " + kind + ", not a file; not read\n");
    EXPECT_EQ(r.out, "");
  }
  // One byte over 64 MB (a sparse file of blank lines).
  std::ofstream(Path("long.txt")) << "1 key A tap\n";
  fs::resize_file(Path("long.txt"), kMaxScriptBytes + 1);
  const RunResult r = Run("--input '" + Path("long.txt") + "'");
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.err, "tarn-run: " + Path("long.txt") + ": longer than the 67108864 bytes a script may hold\n");
  EXPECT_EQ(r.out, "");
}

}  // namespace
