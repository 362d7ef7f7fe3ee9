// attract_test.cpp: the attract sequence on the demo folder, frame by frame:
// the opening wait, the demo level with its card, the pans and plane changes,
// the restart key, the level keys, and a folder without fonts or card. The
// pictures it draws are checked through tarn-run in e2e/attract_run_test.cpp.
#include <unistd.h>

#include <filesystem>

#include "gfx/font.h"
#include "input/input.h"
#include "level/file_fixture.h"
#include "level/level.h"
#include "modes/attract.h"
#include "objects/object_list.h"
#include "shell/main_loop.h"
#include "shell/startup.h"

namespace {

class AttractTest : public FileTest {
 protected:
  // Starts the engine in a game folder, as start-up does after the marker check.
  void Start(const std::string& game = TARN_GAME_DIR) {
    WorkIn(game);
    InitGame();
    Loop.AppActive = 1;
  }
  // Visibility of the plane objects, in slot order.
  static std::vector<int> Shown() {
    std::vector<int> out;
    for (uint16_t k = 0; k < Objects.ObjectCount; ++k)
      if (Objects.ObjectList[k].type == kObjectPlane) out.push_back(int(Objects.ObjectList[k].plane->visible));
    return out;
  }
  static bool HasCard() {
    for (uint16_t k = 0; k < Objects.ObjectCount; ++k)
      if (Objects.ObjectList[k].type == kObjectCard) return true;
    return false;
  }
};

TEST_F(AttractTest, TheLevelLoadsAfterTwoSecondsAndThePansShowOnePlaneAtATime) {
  Start();
  RunToFrame(1);
  EXPECT_EQ(Objects.ObjectCount, 0);
  RunToFrame(121);
  EXPECT_EQ(Objects.ObjectCount, 0) << "frame 121 still waits";
  RunToFrame(122);
  EXPECT_EQ(Level.planeCount, 5);
  EXPECT_EQ(Shown(), (std::vector<int>{1, 0, 0, 0, 0}));
  EXPECT_TRUE(HasCard()) << "the demo card arrives with the level";
  EXPECT_EQ(Attract.AttractStep, 2);

  // State 2 holds the view for 960 frames; state 3 starts panning at frame 1083.
  RunToFrame(1082);
  EXPECT_EQ(Level.viewX, 0);
  RunToFrame(1083);
  EXPECT_EQ(Level.viewX, 4);
  RunToFrame(1210);  // a pass at 4 pixels a frame takes 128 frames
  EXPECT_EQ(std::vector<int>({Level.viewX, Attract.AttractCounter}), (std::vector<int>{0, 1}));
  // Each state's passes end on a known frame with one plane handing over to the next.
  struct {
    uint64_t frame;
    int step;
    std::vector<int> shown;
  } changes[] = {
      {1593, 3, {1, 0, 0, 0, 0}}, {1594, 4, {0, 0, 1, 0, 0}},  {2106, 5, {0, 1, 0, 0, 0}},
      {2618, 6, {0, 0, 0, 1, 0}}, {3130, 7, {1, 0, 0, 0, 0}},  {3258, 8, {0, 0, 1, 0, 0}},
      {3386, 9, {0, 1, 0, 0, 0}}, {3642, 10, {0, 0, 0, 1, 0}}, {3898, 11, {1, 1, 1, 1, 0}},
  };
  for (const auto& c : changes) {
    RunToFrame(c.frame);
    EXPECT_EQ(Attract.AttractStep, c.step) << "frame " << c.frame;
    EXPECT_EQ(Shown(), c.shown) << "frame " << c.frame;
  }
  EXPECT_EQ(std::vector<int>({Level.viewX, Level.viewY}), (std::vector<int>{0, 0}));
  RunToFrame(3898 + 127);
  EXPECT_EQ(std::vector<int>({Level.viewX, Level.viewY}), (std::vector<int>{508, 508}));
  RunToFrame(3898 + 128);  // the diagonal pass ends: both back to 0, for ever
  EXPECT_EQ(std::vector<int>({Level.viewX, Level.viewY, Attract.AttractStep}), (std::vector<int>{0, 0, 11}));
}

TEST_F(AttractTest, KeyFiveRestartsFromTheWaitAndALevelKeyStopsAtOnce) {
  Start();
  RunToFrame(1100);
  const uint16_t objects = Objects.ObjectCount;
  nullplat::TapKey(kKey5);
  RunToFrame(1101);
  EXPECT_EQ(std::vector<int>({Attract.AttractStep, Attract.AttractCounter, Level.viewX}), (std::vector<int>{0, 0, 0}));
  RunToFrame(1101 + 121);
  EXPECT_EQ(Attract.AttractStep, 2) << "the level loaded again";
  EXPECT_EQ(Objects.ObjectCount, objects) << "one set of plane objects, one card";
  EXPECT_EQ(Shown(), (std::vector<int>{1, 0, 0, 0, 0}));

  RunToFrame(2400);
  nullplat::TapKey(kKey6);
  RunToFrame(2401);
  EXPECT_EQ(std::vector<int>({Attract.AttractStep, Attract.AttractCounter, Level.viewX, Level.viewY}),
            (std::vector<int>{99, 99, 0, 0}));
  EXPECT_FALSE(HasCard());
  RunToFrame(2460);
  EXPECT_EQ(std::vector<int>({Level.viewX, Level.viewY}), (std::vector<int>{0, 0}));
  EXPECT_EQ(Shown(), std::vector<int>(Level.planeCount, 1));
}

TEST_F(AttractTest, WithoutFontsOrCardTheSequenceStillRuns) {
  namespace fs = std::filesystem;
  const std::string game = DemoCopy();
  fs::remove_all(game + "/default/stats");
  fs::remove(game + "/default/fonts.def");
  Start(game);
  RunToFrame(200);
  EXPECT_TRUE(Fonts.fonts.empty());
  EXPECT_FALSE(HasCard());
  EXPECT_EQ(Shown(), (std::vector<int>{1, 0, 0, 0, 0}));
}

}  // namespace
