// editor_session_test.cpp: a whole editing session on demo level 1 through
// tarn-run, checked against the file it saved; and a save that cannot write.
#include <filesystem>

#include "gfx/pcx.h"
#include "level/level.h"
#include "run_tarn.h"

namespace {

class EditorSession : public RunTarnTest {
 protected:
  static uint16_t Cell(int p, int x, int y) {
    return Level.planes.at(p).tiles.at(size_t(y) * Level.planes[p].width + x);
  }
};

// Cells named in the comments are (column, row) with the view at (0, 0).
constexpr const char* kSession = R"(1 key 6 tap
3 key E tap
# tile 3, painted along (12..14, 12)
5 key S tap
7 key S tap
9 key S tap
10 mouse 100 100
11 button left down
12 mouse 108 100
13 mouse 116 100
14 button left up
# select (14, 13) to (12, 12), copy, stamp at (17, 12) and swept on to (20, 12)
15 mouse 116 108
16 button right down
17 mouse 100 100
18 button right up
19 key C tap
21 mouse 140 100
22 key P down
23 mouse 164 100
24 key P up
# bar mode: a plane after the last, made V Tiled
26 key Ctrl down
27 mouse 140 54
28 key A tap
30 mouse 179 74
31 button left down
32 button left up
33 key Ctrl up
# on it: paint (2, 2); column 1 faster by ten, its loop ending at row 2
35 mouse 20 20
36 button left down
37 button left up
38 mouse 12 20
39 key Alt down
40 key T tap
42 key Alt up
43 key U tap
# back to plane 0: row 4 one faster, its loop ending at column 5, the rows' loop at row 4
45 key Ctrl down
46 mouse 76 54
47 button left down
48 button left up
49 key Ctrl up
50 mouse 44 36
51 key E tap
53 key Y tap
55 key U tap
# SAVE, RETURN TO GAME, then level 1 again
57 key 0 tap
59 key Down tap
61 key Enter tap
63 key 0 tap
65 key Down tap
67 key Down tap
69 key Down tap
71 key Down tap
73 key Down tap
75 key Down tap
77 key Down tap
79 key Enter tap
81 key 6 tap
)";

TEST_F(EditorSession, WhatTheScriptEditedIsWhatTheFileHolds) {
  const std::string game = DemoCopy();  // the session may overwrite its 1.lev
  LoadLevel(game + "/1.lev");
  const Plane before = Level.planes.at(0);
  const RunResult r = Run("--frames 84" + Script(kSession), game);
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("\"GameMode\": 0"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"planeCount\": 5, \"ObjectCount\": 5"), std::string::npos) << r.out;

  LoadLevel(game + "/1.lev");
  ASSERT_EQ(Level.planeCount, 5);
  EXPECT_EQ(Ints({Level.planes[0].type, Level.planes[1].type, Level.planes[2].type, Level.planes[3].type,
                  Level.planes[4].type}),
            Ints({kHTiled, kRelative, kHLined, kFlat, kVTiled}));
  const auto old = [&](int x, int y) { return before.tiles.at(size_t(y) * before.width + x); };
  for (int x = 12; x <= 22; ++x) {
    EXPECT_EQ(Cell(0, x, 12), x == 15 || x == 16 ? old(x, 12) : 3) << x;
    EXPECT_EQ(Cell(0, x, 13), x < 17 ? old(x, 13) : old(12 + (x - 17) % 3, 13)) << x;
  }
  const Plane& p = Level.planes[0];
  EXPECT_EQ(Ints({p.lineSpeeds[4], p.lineLoops[4], p.otherLoop}), Ints({before.lineSpeeds[4] + 1, 6, 5}));
  EXPECT_EQ(Pick(p.lineSpeeds, {3, 5}), Pick(before.lineSpeeds, {3, 5}));
  const Plane& added = Level.planes[4];
  EXPECT_EQ(Ints({Cell(4, 2, 2), added.lineSpeeds[1], added.lineLoops[1], added.lineSpeeds[0]}), Ints({3, 18, 3, 8}));
}

// The temporary file the save writes first is blocked by a folder of its
// name; the same session with the folder free shows the same frame but for
// the message at the bottom.
TEST_F(EditorSession, ASaveThatCannotWriteShowsItAndKeepsTheFile) {
  SKIP_ON_WINDOWS("shell to plant a folder at the save's temporary name");
  const std::string game = DemoCopy();  // the session may overwrite its 1.lev
  const Bytes original = Read("game/1.lev");
  const std::string script = Script(
      "1 key 6 tap\n3 key E tap\n5 mouse 60 60\n6 button left down\n7 button left up\n"
      "9 key 0 tap\n11 key Down tap\n13 key Enter tap\n20 shot " +
      Path("shot.pcx") + "\n");
  const RunResult failed = Run("--frames 20" + script, game, "mkdir '" + game + "/1.lev.tmp'$$ &&");
  ASSERT_EQ(failed.code, 0) << failed.err;
  EXPECT_NE(failed.out.find("*** error creating 1.lev ***"), std::string::npos) << failed.out;
  EXPECT_EQ(Read("game/1.lev"), original);
  PcxImage shown, saved;
  ASSERT_EQ(LoadPcx(Path("shot.pcx"), shown, 0), 1);

  const RunResult ok = Run("--frames 20" + script, game);
  ASSERT_EQ(ok.code, 0) << ok.err;
  EXPECT_NE(Read("game/1.lev"), original);
  ASSERT_EQ(LoadPcx(Path("shot.pcx"), saved, 0), 1);
  int differ = 0;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 320; ++x)
      if (shown.pixels[y * 320 + x] != saved.pixels[y * 320 + x]) {
        ++differ;
        EXPECT_GE(y, 190) << "only the message differs";
      }
  EXPECT_GT(differ, 50);
}

}  // namespace
