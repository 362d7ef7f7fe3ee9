// card_object_test.cpp: the running card: set-up from the definition, motion
// with arrivals, the two root panels and clipped child panels, key triggers
// and deletion.
#include "card_fixture.h"
#include "input/input.h"
#include "level/level.h"

namespace {

using CardObjectTest = CardTest;

TEST_F(CardObjectTest, MotionLandsOnTheTargetAndCountsOneArrival) {
  int32_t x = 0, y = 0;
  uint32_t arrivals = 0;
  std::vector<int> xs;
  for (int f = 0; f < 5; ++f) {
    MoveTowardTarget(x, y, 10, 0, 3, 3, &arrivals);
    xs.push_back(x);
    if (f == 2) {
      EXPECT_EQ(arrivals, 0u);
    }
  }
  EXPECT_EQ(xs, (std::vector<int>{3, 6, 9, 10, 10}));
  EXPECT_EQ(arrivals, 1u) << "counted in the fourth frame, not again while standing";

  x = y = 0;
  arrivals = 0;
  for (int f = 0; f < 10; ++f) MoveTowardTarget(x, y, -8, 5, 4, 2, &arrivals);  // diagonal, uneven
  EXPECT_EQ(std::vector<int>({x, y, int(arrivals)}), (std::vector<int>{-8, 5, 1}));

  x = 0;
  MoveTowardTarget(x, y, 10, 5, 0, 0, &arrivals);  // a step of 0 never arrives
  EXPECT_EQ(x, 0);
  x = INT32_MAX - 1;
  MoveTowardTarget(x, y, INT32_MAX, 5, 100, 0, nullptr);  // wraps without fault
}

TEST_F(CardObjectTest, SetUpInstallsColoursAndBuildsPanelsAndParts) {
  CardDefs.CardColours[3] = {40, 20, 10};
  AddSprite(8, 8, 5);
  AddPanel(255, 20, 30, 0, 0, 50, 40, 2);
  AddPanel(1, 0, 0, 0, 0, 5, 5);  // child of panel 3: set up after it, the link is lost
  AddPanel(0, 0, 0, 0, 0, 5, 5);  // child of panel 2
  AddPart(0, 1, 2);
  Def().startPanel = 2;
  Def().counterCount = 3;
  CardState& c = Create();
  uint8_t rgb[3];
  GetPaletteEntry(67, rgb);
  EXPECT_EQ(std::vector<int>({rgb[0], rgb[1], rgb[2]}), (std::vector<int>{40, 20, 10}));
  ASSERT_EQ(c.panels.size(), 5u);
  EXPECT_EQ(c.panels[1].right, 320);
  EXPECT_EQ(c.panels[1].bottom, 200);
  EXPECT_EQ(c.panels[1].childList, (std::vector<uint8_t>{2}));
  EXPECT_EQ(c.panels[2].childList, (std::vector<uint8_t>{4}));
  EXPECT_TRUE(c.panels[3].childList.empty());
  EXPECT_EQ(c.panels[2].partList, (std::vector<uint8_t>{0}));
  EXPECT_EQ(std::vector<int>({c.parts[0].width, c.parts[0].targetX, c.panels[2].targetY}),
            (std::vector<int>{8, 1, 30}));
  EXPECT_EQ(c.counters.size(), 3u);
  EXPECT_EQ(c.slotScripts[0], 0) << "script 0 starts in slot 0";
  EXPECT_EQ(c.currentPanel, 2);
}

TEST_F(CardObjectTest, WorldPartsFollowTheViewScreenPartsStay) {
  AddSprite(10, 10, 5);
  AddSprite(10, 10, 6);
  AddPart(254, 100, 50, 0);
  AddPart(255, 100, 50, 1);
  Create();
  Level.viewX = 40;
  Frame();
  EXPECT_EQ(Columns(5), (std::pair<int, int>{60, 69}));
  EXPECT_EQ(Px(60, 50), 5);
  EXPECT_EQ(Columns(6), (std::pair<int, int>{100, 109}));
}

TEST_F(CardObjectTest, ChildPanelsClipTheirPartsAndOnlyVisibleOnesDraw) {
  AddSprite(100, 4, 5);
  AddSprite(4, 4, 6);
  AddSprite(4, 4, 7);
  AddPanel(255, 20, 10, 0, 0, 50, 100);     // panel 2: screen columns 20..69
  AddPanel(0, 0, 0, 0, 0, 300, 200);        // panel 3: inside panel 2, never drawn
  AddPanel(255, 0, 100, 0, 0, 320, 50, 2);  // panel 4: visible 2 still draws
  AddPart(0, -10, 0, 0);                    // wider than its window
  AddPart(1, 0, 0, 1);
  AddPart(2, 5, 5, 2);
  AddPart(255, 200, 150, 2, 2);  // visible 2: not drawn
  Create();
  Frame();
  EXPECT_EQ(Columns(5), (std::pair<int, int>{20, 69}));
  EXPECT_EQ(Px(20, 10), 5);
  EXPECT_EQ(Columns(6), (std::pair<int, int>{-1, -1}));
  EXPECT_EQ(Px(5, 105), 7);
  EXPECT_EQ(Px(200, 150), 0);
}

TEST_F(CardObjectTest, KeyTriggersStartScriptsOnlyWithInputOn) {
  Def().counterCount = 1;
  Def().scripts = {{Ins(20, {0, 0})}, {Ins(20, {0, 7})}, {Ins(20, {0, 9})}};
  AddPanel(255, 0, 0, 0, 0, 10, 10);
  // Panel trigger: A and S together start script 1; an empty combination never fires.
  Def().panels[0].triggers = {KeyTrigger{{KeyCombo{{0x1E, 0x1F}}, KeyCombo{}}, 1}};
  // The selected item's trigger: Up starts script 2.
  Def().items = {MenuItem{0, 0, 2, {KeyTrigger{{KeyCombo{{0x48}}}, 2}}}};
  Def().startPanel = 2;
  CardState& c = Create();
  Frame();
  Input.KeyPressed[0x1E] = Input.KeyPressed[0x1F] = 1;
  Frame();
  EXPECT_EQ(c.counters[0], 0u) << "input is off until a script turns it on";
  c.inputEnabled = 1;
  Input.KeyPressed[0x1F] = 0;
  Frame();
  EXPECT_EQ(c.counters[0], 0u) << "both keys are needed";
  Input.KeyPressed[0x1F] = 1;
  Frame();
  EXPECT_EQ(c.counters[0], 7u);
  Input.KeyPressed = {};
  Input.KeyPressed[0x48] = 1;
  Frame();
  EXPECT_EQ(c.counters[0], 9u);
}

TEST_F(CardObjectTest, ACardThatDeletesItselfDrawsNothingThatFrame) {
  AddSprite(10, 10, 5);
  AddPart(255, 0, 0);
  Def().scripts = {{Ins(9, {0, 1}), Ins(0), Ins(9, {0, 0})}};
  Create();
  Frame();
  EXPECT_EQ(Columns(5), (std::pair<int, int>{-1, -1}));
  EXPECT_EQ(Objects.ObjectList[0].type, 0);
  EXPECT_EQ(Objects.ObjectList[0].card, nullptr);
  Frame();  // the deleted slot stays and does nothing
  EXPECT_EQ(Objects.ObjectCount, 1);
}

TEST_F(CardObjectTest, NoDefinitionOrAFullListMeansNoCard) {
  CardDefs.CardDefTable.clear();
  CreateCardObject();
  EXPECT_EQ(Objects.ObjectCount, 0);
  CardDefs.CardDefTable.assign(1, CardDef{});
  Objects.ObjectCount = kObjectSlots;
  CreateCardObject();
  EXPECT_EQ(Objects.ObjectCount, kObjectSlots);
}

}  // namespace
