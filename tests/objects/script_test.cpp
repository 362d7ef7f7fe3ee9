// script_test.cpp: the card instructions: placement, counting and waiting,
// the end of a script, menu selection and starting scripts.
#include "card_fixture.h"

namespace {

using ScriptTest = CardTest;

// Part 0 (40x10) in panel 0 (raw 0: the first defined panel, window left 10
// right 110 top 10 bottom 60); part 1 (20x6) on the screen.
class PlacementTest : public CardTest {
 protected:
  void SetUp() override {
    CardTest::SetUp();
    AddSprite(40, 10, 7);
    AddSprite(20, 6, 8);
    AddPanel(255, 5, 5, 10, 10, 110, 60);
    AddPart(0, 0, 0, 0);
    AddPart(255, 100, 30, 1);
    Def().scripts = {{Ins(17, {0})}};
    Create();
  }
  void Run(const Instruction& ins) {
    Def().scripts.push_back({ins});
    StartScript(Card(), uint8_t(Def().scripts.size() - 1));
    for (size_t t = 0; t < Card().slotScripts.size(); ++t)
      if (Card().slotScripts[t] < Def().scripts.size()) RunScriptSlot(Card(), uint8_t(t));
  }
  Part& P(int i) { return Card().parts[size_t(i)]; }
  Panel& N(int i) { return Card().panels[size_t(i)]; }
};

TEST_F(PlacementTest, PlacingSetsPositionAndTargetAimingOnlyTheTarget) {
  Run(Ins(2, {0, 0, 0, 160}));  // centred on 160
  EXPECT_EQ(std::vector<int>({P(0).x, P(0).targetX}), (std::vector<int>{140, 140}));
  Run(Ins(3, {0, 2, 3, 0}));  // inside the panel's window, at its start
  EXPECT_EQ(std::vector<int>({P(0).x, P(0).targetX}), (std::vector<int>{140, 10}));
  Run(Ins(3, {0, 2, 1, 0}));  // just before the window
  EXPECT_EQ(P(0).targetX, -30);
  Run(Ins(6, {0, 1, 2, 200}));  // panel 0, 50 high, ending at 200
  EXPECT_EQ(std::vector<int>({N(2).y, N(2).targetY}), (std::vector<int>{150, 150}));
  N(2).bottom = 50;  // 40 high now
  Run(Ins(7, {0, 1, 0, 100}));
  EXPECT_EQ(std::vector<int>({N(2).y, N(2).targetY}), (std::vector<int>{150, 80}));
}

TEST_F(PlacementTest, RelativePlacementsAndModesThatComputeNothing) {
  P(1).targetX = 150;
  Run(Ins(3, {0, 4, 1, 1, 2}));  // just after part 1's target, plus 2
  EXPECT_EQ(P(0).targetX, 150 + 20 + 2);
  Run(Ins(2, {0, 5, 2, 1, 0}));  // centred on part 1's position vertically
  EXPECT_EQ(P(0).y, 30 + 3 - 5);
  Run(Ins(6, {0, 6, 3, 1, 4}));  // panel 0 at panel 1's left + x + 4
  EXPECT_EQ(N(2).x, 0 + 0 + 4);

  P(0).x = 77;
  P(0).targetX = 5;
  Run(Ins(3, {0, 0, 9, 300}));  // no such alignment: aiming changes nothing
  EXPECT_EQ(std::vector<int>({P(0).x, P(0).targetX}), (std::vector<int>{77, 5}));
  Run(Ins(2, {0, 0, 9, 300}));  // placing still stops the part where it is
  EXPECT_EQ(std::vector<int>({P(0).x, P(0).targetX}), (std::vector<int>{77, 77}));
  P(0).targetX = 5;
  Run(Ins(2, {0, 8}));         // mode 8: nothing at all
  Run(Ins(2, {9, 0, 0, 1}));   // no part 9
  Run(Ins(6, {-2, 0, 0, 1}));  // the roots cannot be moved
  EXPECT_EQ(std::vector<int>({P(0).x, P(0).targetX, N(0).x}), (std::vector<int>{77, 5, 0}));
}

TEST_F(ScriptTest, AScriptRunsToItsEndInOneFrameAndFreesItsSlot) {
  AddSprite(4, 4, 3);
  AddPart(255, 0, 0);
  Def().counterCount = 1;
  Def().scripts = {{Ins(20, {0, 9}), Ins(2, {0, 0, 1, 50}), Ins(9, {0, 2})}};
  CardState& c = Create();
  Frame();
  EXPECT_EQ(c.counters[0], 9u);
  EXPECT_EQ(c.parts[0].x, 50);
  EXPECT_EQ(c.parts[0].visible, 2);
  EXPECT_EQ(c.slotScripts[0], kSlotEmpty);
  EXPECT_EQ(c.slotCounters[0], 0);
}

TEST_F(ScriptTest, CountedWaitsHoldTheSlotAndTheLastInstructionNeverWaits) {
  Def().counterCount = 2;
  Def().scripts = {{Ins(5, {0, 0, 3}), Ins(20, {1, 1})},   // wait three frames, then mark
                   {Ins(20, {1, 1}), Ins(5, {1, 0, 3})}};  // a wait as the last instruction
  CardState& c = Create();
  for (int f = 1; f <= 3; ++f) {
    Frame();
    EXPECT_EQ(c.counters[1], 0u) << "frame " << f;
    EXPECT_EQ(c.counters[0], uint32_t(f));
  }
  Frame();
  EXPECT_EQ(c.counters[1], 1u) << "the fourth frame goes on";
  EXPECT_EQ(c.counters[0], 0u);

  StartScript(Card(), 1);
  Frame();
  EXPECT_EQ(c.counters[1], 2u) << "the last wait ran once";
  EXPECT_TRUE(std::all_of(c.slotScripts.begin(), c.slotScripts.end(), [](uint8_t s) { return s == kSlotEmpty; }));

  c.counters[0] = 2;  // counting down holds while the counter is above 0
  Def().scripts.push_back({Ins(5, {0, 1}), Ins(20, {1, 0})});
  StartScript(Card(), 2);
  Frame();
  Frame();
  EXPECT_EQ(c.counters[1], 2u);
  Frame();
  EXPECT_EQ(c.counters[1], 0u);
}

TEST_F(ScriptTest, WaitingForAnArrivalGoesOnInTheNextFramesRunBeforeMotion) {
  AddSprite(4, 4, 3);
  AddPart(255, 0, 0);
  Def().counterCount = 1;
  Def().scripts = {{Ins(4, {0, 0, 5, 0}), Ins(3, {0, 0, 1, 10}), Ins(5, {0, 2, 1}), Ins(2, {0, 0, 1, 100})}};
  CardState& c = Create();
  Frame();  // x 5
  EXPECT_EQ(c.parts[0].x, 5);
  Frame();  // x 10: arrived, counted after the scripts ran
  EXPECT_EQ(c.parts[0].x, 10);
  EXPECT_EQ(c.counters[0], 1u);
  Frame();  // the wait ends, the counter clears, the part jumps to 100
  EXPECT_EQ(c.counters[0], 0u);
  EXPECT_EQ(c.parts[0].x, 100);
}

TEST_F(ScriptTest, SelectionStepsThroughTheItemsOfTheCurrentPanel) {
  for (int i = 0; i < 4; ++i) Def().scripts.push_back({Ins(20, {0, i + 1})});
  Def().counterCount = 1;
  AddPanel(255, 0, 0, 0, 0, 10, 10);
  AddPanel(255, 0, 0, 0, 0, 10, 10);
  // Items 0 and 2 belong to panel 2, item 1 to panel 3; each marks its select/deselect script.
  for (uint8_t owner : {2, 3, 2}) Def().items.push_back(MenuItem{1, 2, owner, {}});
  Def().items[2] = MenuItem{3, 2, 2, {}};
  Def().startPanel = 2;
  Def().slotCount = 6;
  CardState& c = Create();
  // Runs one selection instruction from the highest slot, every other slot empty.
  auto step = [&](int op, int wrap) {
    Def().scripts.push_back({Ins(op, {wrap})});
    std::fill(c.slotScripts.begin(), c.slotScripts.end(), kSlotEmpty);
    StartScript(Card(), uint8_t(Def().scripts.size() - 1));
    RunScriptSlot(Card(), 5);
  };
  step(18, 0);
  EXPECT_EQ(c.panels[2].selectedItem, 2);
  // The old item's deselect script (2) starts first, so it takes the higher free slot.
  EXPECT_EQ(c.slotScripts, (std::vector<uint8_t>{255, 255, 255, 3, 2, 255}));

  step(18, 0);
  EXPECT_EQ(c.panels[2].selectedItem, 2) << "no wrap: stays";
  step(18, 1);
  EXPECT_EQ(c.panels[2].selectedItem, 0) << "wraps to the first item of the panel";
  step(19, 0);
  EXPECT_EQ(c.panels[2].selectedItem, 0);
  step(19, 1);
  EXPECT_EQ(c.panels[2].selectedItem, 2);
  c.currentPanel = 200;  // no such panel: nothing happens
  step(18, 1);
  EXPECT_EQ(c.panels[2].selectedItem, 2);
}

TEST_F(ScriptTest, StartScriptTakesTheHighestFreeSlotOnce) {
  Def().scripts = {{Ins(17, {0})}, {Ins(17, {0})}, {Ins(17, {0})}, {Ins(17, {0})}};
  Def().slotCount = 3;
  CardState& c = Create();
  c.slotScripts = {255, 3, 255};
  StartScript(Card(), 2);
  EXPECT_EQ(c.slotScripts, (std::vector<uint8_t>{255, 3, 2}));
  StartScript(Card(), 3);  // already running
  EXPECT_EQ(c.slotScripts, (std::vector<uint8_t>{255, 3, 2}));
  StartScript(Card(), 1);
  StartScript(Card(), 0);  // no slot left
  EXPECT_EQ(c.slotScripts, (std::vector<uint8_t>{1, 3, 2}));
  c.slotScripts = {40, 3, 2};  // 21 and above count as free
  StartScript(Card(), 0);
  EXPECT_EQ(c.slotScripts, (std::vector<uint8_t>{0, 3, 2}));
}

TEST_F(ScriptTest, PanelVisibilityAndMovingPartsBetweenPanels) {
  AddSprite(4, 4, 3);
  AddPanel(255, 0, 0, 0, 0, 10, 10);
  for (int i = 0; i < 7; ++i) AddPart(i == 1 || i == 4 || i == 6 ? 0 : 255, 0, 0);
  Def().scripts = {{Ins(10, {0, 255}), Ins(16, {4, 254}), Ins(10, {0, 0})}};
  CardState& c = Create();
  EXPECT_EQ(c.panels[2].partList, (std::vector<uint8_t>{1, 4, 6}));
  c.panels[2].visible = 3;
  Frame();
  EXPECT_EQ(c.panels[2].visible, 0) << "255 changed nothing, 0 hid it";
  EXPECT_EQ(c.panels[2].partList, (std::vector<uint8_t>{1, 6}));
  EXPECT_EQ(c.panels[0].partList, (std::vector<uint8_t>{4}));
  EXPECT_EQ(c.parts[4].panel, 254);
}

TEST_F(ScriptTest, AnUnknownOpcodeOrAnEmptyScriptEndsTheSlot) {
  Def().counterCount = 1;
  Def().scripts = {{Ins(20, {0, 4}), Ins(77), Ins(20, {0, 8})}, {}};
  CardState& c = Create();
  c.slotScripts[1] = 1;
  Frame();
  EXPECT_EQ(c.counters[0], 4u);
  EXPECT_TRUE(std::all_of(c.slotScripts.begin(), c.slotScripts.end(), [](uint8_t s) { return s == kSlotEmpty; }));
}

}  // namespace
