// The demo's title card run by the engine: it loads without a complaint,
// arrives and switches its keys on, steps its menu with the arrow keys, and
// every page ends up inside the info box's window.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>

#include "demo_sheet.h"
#include "fonts.h"
#include "gfx/font.h"
#include "input/input.h"
#include "objects/card_object.h"
#include "objects/object_list.h"
#include "objects/script.h"
#include "title_card.h"

namespace {

constexpr int kDown = 0x50, kUp = 0x48, kRight = 0x4D;

class DemoTitleCard : public DemoFolderTest {
 protected:
  void SetUp() override {
    DemoFolderTest::SetUp();
    WriteDemo(BuildFonts());
    WriteDemo(BuildTitleCard());
    InstallInstructions();
    AllocObjectList();
    LoadFonts(Startup.DataDir, Startup.DefaultDataDir);
    ::testing::internal::CaptureStderr();
    LoadCardDefs(Startup.DataDir, Startup.DefaultDataDir);
    loadErrors_ = ::testing::internal::GetCapturedStderr();
  }
  const CardDef& Def() const { return CardDefs.CardDefTable.at(0); }
  CardState& Card() { return *Objects.ObjectList[0].card; }
  // Frames with the key (if any) pressed in the first.
  void Run(int frames, int key = -1) {
    for (int f = 0; f < frames; ++f) {
      if (key >= 0) Input.KeyPressed[size_t(key)] = f == 0;
      RunObjects();
    }
  }
  // Indices of the parts of the info panel that show text (its pages).
  std::vector<size_t> PageParts() const {
    std::vector<size_t> out;
    for (size_t i = 0; i < Def().parts.size(); ++i)
      if (Def().parts[i].panel == 1 && Def().parts[i].kind == kPartText) out.push_back(i);
    return out;
  }
  // The page parts lying wholly inside the info window, and the rest.
  std::pair<int, int> InsideAndOut() {
    const Panel& info = Card().panels[3];
    int in = 0, out = 0;
    for (size_t i : PageParts()) {
      const Part& p = Card().parts[i];
      // Inside means clear of the box's frame, a few pixels in from each edge.
      const bool inside = p.x >= info.left + 4 && p.x + p.width <= info.right - 4;
      const bool outside = p.x + p.width <= info.left || p.x >= info.right;
      EXPECT_TRUE(inside || outside) << "part " << i << " at rest across the window edge";
      inside ? ++in : ++out;
    }
    return {in, out};
  }
  std::string loadErrors_;
};

TEST_F(DemoTitleCard, LoadsWithEveryIndexInRangeAndTheShapeTheDemoNeeds) {
  ASSERT_EQ(CardDefs.CardDefTable.size(), 1u);
  EXPECT_EQ(loadErrors_, "");
  const CardDef& d = Def();
  // Both roots hold parts; every defined panel hangs from the screen.
  auto inPanel = [&](int raw) {
    return std::count_if(d.parts.begin(), d.parts.end(), [&](const PartDef& p) { return p.panel == raw; });
  };
  EXPECT_GE(inPanel(254), 1);
  EXPECT_GE(inPanel(255), 2);
  for (const PanelDef& p : d.panels) EXPECT_EQ(p.parent, 255);
  // At least three items stepped by the start panel's arrow keys.
  EXPECT_GE(
      std::count_if(d.items.begin(), d.items.end(), [&](const MenuItem& i) { return i.ownerPanel == d.startPanel; }),
      3);
  std::vector<uint16_t> keys;
  for (const KeyTrigger& t : d.panels[d.startPanel - 2].triggers)
    for (const KeyCombo& c : t.combos) keys.insert(keys.end(), c.keys.begin(), c.keys.end());
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(keys, (std::vector<uint16_t>{0x48, 0x4B, 0x4D, 0x50}));
  // The opening waits for arrivals before it lets the keys in.
  const auto& opening = d.scripts.at(0);
  auto at = [&](int opcode, int mode) {
    auto it = std::find_if(opening.rbegin(), opening.rend(), [&](const Instruction& i) {
      return i.opcode == opcode && (mode < 0 || i.operands[1] == mode);
    });
    return it == opening.rend() ? -1 : int(opening.rend() - it);
  };
  EXPECT_GT(at(5, 2), 0);
  EXPECT_GT(at(17, -1), at(5, 2));
}

TEST_F(DemoTitleCard, ArrivesWithinSecondsAndStepsItsPagesWithTheArrows) {
  CreateCardObject();
  ASSERT_EQ(Objects.ObjectCount, 1);
  Run(1);
  EXPECT_EQ(Card().inputEnabled, 0);
  int frames = 1;
  while (!Card().inputEnabled && frames < 300) Run(1), ++frames;
  EXPECT_LT(frames, 300) << "keys must come on within five seconds";
  Run(40);  // the first page finishes sliding in
  const CardDef& d = Def();
  const uint8_t menu = d.startPanel;
  EXPECT_EQ(Card().panels[menu].selectedItem, 0);
  const auto [firstIn, firstOut] = InsideAndOut();
  EXPECT_GE(firstIn, 3);
  EXPECT_GT(firstOut, firstIn);

  // Down: the next item lights up and its page replaces the first.
  const auto font = [&](size_t item) {
    // Item texts are the menu panel's text parts after its heading.
    std::vector<size_t> texts;
    for (size_t i = 0; i < d.parts.size(); ++i)
      if (d.parts[i].panel == menu - 2 && d.parts[i].kind == kPartText) texts.push_back(i);
    return Card().parts[texts.at(item + 1)].font;
  };
  Run(40, kDown);
  EXPECT_EQ(Card().panels[menu].selectedItem, 1);
  EXPECT_EQ(font(0), kFontNormal);
  EXPECT_EQ(font(1), kFontHighlight);
  const auto [secondIn, secondOut] = InsideAndOut();
  EXPECT_GE(secondIn, 3);
  EXPECT_EQ(secondIn + secondOut, firstIn + firstOut);

  // Up twice wraps from the first item to the last; Right steps on from there.
  Run(40, kUp);
  Run(40, kUp);
  EXPECT_EQ(Card().panels[menu].selectedItem, d.items.size() - 1);
  Run(40, kRight);
  EXPECT_EQ(Card().panels[menu].selectedItem, 0);
  EXPECT_EQ(font(0), kFontHighlight);
}

TEST_F(DemoTitleCard, EveryPageFitsTheInfoWindow) {
  CreateCardObject();
  Run(300);
  ASSERT_TRUE(Card().inputEnabled);
  for (size_t item = 0; item < Def().items.size(); ++item) {
    // Only the selected page is inside; its parts fit the window whole.
    EXPECT_GE(InsideAndOut().first, 3) << "item " << item;
    Run(40, kDown);
  }
}

TEST_F(DemoTitleCard, SpritesDoNotShareSheetPixelsAndUseCardOrGlobalColours) {
  for (const auto& group : Def().spriteGroups) {
    ASSERT_EQ(group.size(), 1u);
    const Sprite& s = group[0];
    ASSERT_FALSE(s.frames[0].empty());
    EXPECT_TRUE(std::any_of(s.frames[0].begin(), s.frames[0].end(), [](uint8_t v) { return v; }));
  }
  // The file's group entries (labelled for readers) give the rectangles.
  const Bytes file = Read("default/stats/card.tdf");
  const std::string text(file.begin(), file.end());
  const std::regex entry(R"(Group (\d+) \([^)]*\) (x|y|width|height): (\d+))");
  std::map<int, std::map<std::string, int>> fields;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), entry); it != std::sregex_iterator(); ++it)
    fields[std::stoi((*it)[1])][(*it)[2]] = std::stoi((*it)[3]);
  ASSERT_EQ(fields.size(), Def().spriteGroups.size());
  std::vector<SheetRect> rects;
  for (auto& [g, r] : fields) rects.push_back({r["x"], r["y"], r["width"], r["height"]});
  LoadSheet("stats/zlabel.pcx");
  ExpectInkOnlyInRects(rects, true, [](uint8_t v) { return v >= 64 && v < 128; });
}

}  // namespace
