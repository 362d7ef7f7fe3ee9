// title_card.cpp: the title card over the deep-space attract level: its
// layout and its scripts, written in the card-building language of
// card_builder.h, one instruction a line; its sprites come from card_art.cpp.
//
// What the card does, in short:
//  - Twenty frames after the level appears, the TARN logo drops in from the
//    top, overshoots and settles; then the subtitle slides in from the right
//    while a small ship flies in from the left in the world panel, so it
//    travels with the level once the view starts to pan.
//  - Three panels then slide in: the menu from the left, the info box from
//    the right, the key help strip from below. The script counts their
//    arrivals and waits for all three before it switches the keys on.
//  - The arrow keys step through the menu (LEVELS, EDITOR, KEYS, ABOUT).
//    Each item's select script moves the highlight bar to it, lights its text
//    and slides its page into the info box from the right; its deselect
//    script dims the text and slides the page out to the left. The info box
//    clips the pages to its window, so they pass through it like a carousel.
#include "title_card.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "card_art.h"
#include "card_builder.h"
#include "fonts.h"

namespace {

using namespace card_build;

// Layout, in screen pixels.
constexpr int kMenuX = 12, kMenuW = 88, kBoxY = 76, kBoxH = 88;
constexpr int kInfoX = 108, kInfoW = 200;
constexpr int kHelpY = 176, kHelpH = 24;
constexpr int kLogoY = 10, kSubtitleY = 46;
constexpr int kItemX = 14, kItemY0 = 30, kItemPitch = 14, kBarX = 4, kBarW = 80, kBarH = 13;
constexpr int kPageMargin = 8, kLineY0 = 28, kLinePitch = 11;
constexpr int kShipX = 28, kShipY = 24;

// Counters: 0 counts the arrivals the opening waits for, 1 takes every other
// arrival, 2 times the opening pause.
constexpr int kArrivals = 0, kOtherArrivals = 1, kPause = 2;
constexpr int kMenuPanel = 0, kInfoPanel = 1, kHelpPanel = 2;

struct Page {
  std::string title;
  std::vector<std::pair<std::string, std::string>> lines;  // key (may be empty), words
};

const Page kPages[] = {
    {"LEVELS",
     {{"6", "Sunset coast"},
      {"7", "City at night"},
      {"8", "Green hills"},
      {"9", "Volcano shaft"},
      {"5", "Back to space"}}},
    {"EDITOR",
     {{"E", "Edit this level"},
      {"1", "Pick a tile"},
      {"Tab", "Show the panel"},
      {"0", "Editor menu"},
      {"Ctrl", "Plane bars"}}},
    {"KEYS",
     {{"F4", "Window or full"},
      {"F8", "Menu bar"},
      {"5", "Restart demo"},
      {"Esc", "Quit"},
      {"Arrows", "Step this menu"}}},
    {"ABOUT",
     {{"", "320x200, 256 colours"},
      {"", "Six kinds of plane"},
      {"", "Line speeds, loops"},
      {"", "Cycling colours"},
      {"", "All art made by code"}}},
};
constexpr int kPageCount = 4;

// The help strip: two centred lines of keys (highlighted) and what they do.
const std::vector<std::pair<std::string, std::string>> kHelpLines[2] = {
    {{"6-9", "levels"}, {"E", "editor"}, {"5", "restart"}},
    {{"F4", "window"}, {"Esc", "quit"}, {"Arrows", "menu"}},
};

// Where each sprite sits in zlabel.pcx: the logo, then the small sprites
// beside it; the boxes below; the strip at the foot.
std::vector<SpriteRect> SpriteLayout(int logoW, int logoH) {
  return {{"logo", 0, 0, logoW, logoH},
          {"ship", logoW + 4, 0, 24, 12},
          {"bar", logoW + 32, 0, kBarW, kBarH},
          {"menu box", 0, 40, kMenuW, kBoxH},
          {"info box", kMenuW + 4, 40, kInfoW, kBoxH},
          {"help strip", 0, 40 + kBoxH + 4, 320, kHelpH}};
}
enum SpriteGroup { kLogo, kShip, kBar, kMenuBox, kInfoBox, kHelpStrip };

File BuildCard(int logoW, int logoH) {
  File card;
  card.counters = 3;
  card.slots = 6;
  card.startPanel = kMenuPanel;  // its arrow-key triggers and its items are live
  card.sprites = SpriteLayout(logoW, logoH);

  // Scripts by number: 0 the opening, 1 and 2 the arrow keys, then a select
  // and a deselect script for each menu item.
  constexpr int kNextScript = 1, kPreviousScript = 2, kFirstSelect = 3, kFirstDeselect = 3 + kPageCount;
  const Trigger previous{{{kKeyUp}, {kKeyLeft}}, kPreviousScript}, next{{{kKeyDown}, {kKeyRight}}, kNextScript};
  // Panels start off screen; the opening script slides them in.
  card.panels = {{"menu", kScreen, -kMenuW, kBoxY, 0, 0, kMenuW, kBoxH, {previous, next}},
                 {"info", kScreen, 320, kBoxY, 0, 0, kInfoW, kBoxH, {}},
                 {"help", kScreen, 0, 200, 0, 0, 320, kHelpH, {}}};

  // Parts, in drawing order within each panel.
  const int ship = card.AddPart({"ship", kPartSprite, kShip, 0, kWorld, -24, kShipY});
  const int logoX = (320 - logoW) / 2;
  const int logo = card.AddPart({"logo", kPartSprite, kLogo, 0, kScreen, logoX, -logoH});
  const int subtitle =
      card.AddPart({"subtitle", kPartText, card.Text("TILE ENGINE"), kFontTitle, kScreen, 320, kSubtitleY});
  card.AddPart({"menu box", kPartSprite, kMenuBox, 0, kMenuPanel, 0, 0});
  card.AddPart({"menu heading", kPartText, card.Text("MENU"), kFontTitle, kMenuPanel, kPageMargin, 6});
  const int bar = card.AddPart({"highlight bar", kPartSprite, kBar, 0, kMenuPanel, kBarX, kItemY0 - 2});
  int items[kPageCount];
  for (int i = 0; i < kPageCount; ++i)
    items[i] = card.AddPart({"item " + kPages[i].title, kPartText, card.Text(kPages[i].title), kFontNormal, kMenuPanel,
                             kItemX, kItemY0 + kItemPitch * i});
  card.AddPart({"info box", kPartSprite, kInfoBox, 0, kInfoPanel, 0, 0});
  // Every page waits just right of the info box's window, where it is clipped away.
  std::vector<int> pageParts[kPageCount];
  std::vector<int> pageX[kPageCount];  // each part's place on its page
  for (int i = 0; i < kPageCount; ++i) {
    auto add = [&](const std::string& name, int text, int font, int x, int y) {
      pageParts[i].push_back(card.AddPart({name, kPartText, text, font, kInfoPanel, kInfoW + x, y}));
      pageX[i].push_back(x);
    };
    add(kPages[i].title + " heading", card.Text(kPages[i].title), kFontTitle, kPageMargin, 6);
    // The words line up two characters after the page's longest key.
    size_t keyChars = 0;
    for (const auto& line : kPages[i].lines) keyChars = std::max(keyChars, line.first.size());
    const int wordsX = kPageMargin + (keyChars ? 8 * int(keyChars + 2) : 0);
    int y = kLineY0;
    for (const auto& [key, words] : kPages[i].lines) {
      if (!key.empty()) add(kPages[i].title + " key", card.Text(key), kFontHighlight, kPageMargin, y);
      add(kPages[i].title + " line", card.Text(words), kFontNormal, wordsX, y);
      y += kLinePitch;
    }
  }
  card.AddPart({"help strip", kPartSprite, kHelpStrip, 0, kHelpPanel, 0, 0});
  for (int line = 0; line < 2; ++line) {
    int width = 0;
    for (const auto& [key, words] : kHelpLines[line]) width += 8 * int(key.size() + 1 + words.size() + 3);
    int x = (320 - (width - 24)) / 2;
    for (const auto& [key, words] : kHelpLines[line]) {
      card.AddPart({"help key", kPartText, card.Text(key), kFontHighlight, kHelpPanel, x, 3 + 10 * line});
      x += 8 * int(key.size() + 1);
      card.AddPart({"help words", kPartText, card.Text(words), kFontNormal, kHelpPanel, x, 3 + 10 * line});
      x += 8 * int(words.size() + 3);
    }
  }

  // What selecting and deselecting item i does; the opening does the first
  // selection itself, since only a change of item starts these scripts.
  auto selectOps = [&](int i, bool fromRight) {
    // The bar lines up with the item's y (alignment 3 against a part), which is
    // where the text stands: its top is 8 higher, and two more put the 9-pixel
    // text in the middle of the 13-pixel bar.
    std::vector<Op> ops = {AimPart(bar, kByPartY, 3, items[i], -kSmallRise - 2), SetFont(items[i], kFontHighlight)};
    for (size_t k = 0; k < pageParts[i].size(); ++k) {
      // Jump to the waiting place right of the window, then slide in.
      if (fromRight) ops.push_back(PlacePart(pageParts[i][k], kAtX, kStart, kInfoW + pageX[i][k]));
      ops.push_back(AimPart(pageParts[i][k], kAtX, kStart, pageX[i][k]));
    }
    return ops;
  };

  Script opening{"opening", {}};
  auto& o = opening.ops;
  // Speeds, and which counter each arrival counts in.
  o.push_back(PartStep(logo, 1, 4, kArrivals));
  o.push_back(PartStep(subtitle, 0, 8, kArrivals));
  o.push_back(PartStep(ship, 0, 2, kOtherArrivals));
  o.push_back(PartStep(bar, 1, 2, kOtherArrivals));
  for (const auto& page : pageParts)
    for (int p : page) o.push_back(PartStep(p, 0, 8, kOtherArrivals));
  o.push_back(PanelStep(kMenuPanel, 0, 6, kArrivals));
  o.push_back(PanelStep(kInfoPanel, 0, 8, kArrivals));
  o.push_back(PanelStep(kHelpPanel, 1, 2, kArrivals));
  // Let the level show alone for a moment.
  o.push_back(WaitFrames(kPause, 20));
  // The logo drops past its place, then settles back up slowly.
  o.push_back(AimPart(logo, kAtY, kStart, kLogoY + 6));
  o.push_back(WaitArrivals(kArrivals, 1));
  o.push_back(PartStep(logo, 1, 1, kArrivals));
  o.push_back(AimPart(logo, kAtY, kStart, kLogoY));
  o.push_back(WaitArrivals(kArrivals, 1));
  // The subtitle slides to the middle of the screen panel; the ship flies in.
  o.push_back(AimPart(subtitle, kInX, kCentre, 0));
  o.push_back(AimPart(ship, kAtX, kStart, kShipX));
  o.push_back(WaitArrivals(kArrivals, 1));
  // The three panels slide in together; wait for all of them.
  o.push_back(AimPanel(kMenuPanel, kAtX, kStart, kMenuX));
  o.push_back(AimPanel(kInfoPanel, kAtX, kStart, kInfoX));
  o.push_back(AimPanel(kHelpPanel, kAtY, kStart, kHelpY));
  o.push_back(WaitArrivals(kArrivals, 3));
  // The first item's page comes in, and the arrow keys go live.
  for (const Op& op : selectOps(0, false)) o.push_back(op);
  o.push_back(KeysOn());

  card.scripts.push_back(opening);
  card.scripts.push_back({"down or right", {NextItem()}});
  card.scripts.push_back({"up or left", {PreviousItem()}});
  for (int i = 0; i < kPageCount; ++i) card.scripts.push_back({"select " + kPages[i].title, selectOps(i, true)});
  for (int i = 0; i < kPageCount; ++i) {
    Script s{"deselect " + kPages[i].title, {SetFont(items[i], kFontNormal)}};
    // Slide the page out through the window's left edge.
    for (size_t k = 0; k < pageParts[i].size(); ++k)
      s.ops.push_back(AimPart(pageParts[i][k], kAtX, kStart, pageX[i][k] - kInfoW));
    card.scripts.push_back(s);
  }
  for (int i = 0; i < kPageCount; ++i) card.items.push_back({kFirstSelect + i, kFirstDeselect + i, kMenuPanel});
  return card;
}

}  // namespace

DemoFiles BuildTitleCard() {
  const Canvas logo = CardLogo("TARN");
  const File card = BuildCard(logo.w, logo.h);
  Canvas sheet(320, 200);
  const auto at = [&](int group) { return card.sprites[size_t(group)]; };
  sheet.Blit(logo, at(kLogo).x, at(kLogo).y);
  sheet.Blit(CardShip(), at(kShip).x, at(kShip).y);
  sheet.Blit(CardBar(kBarW, kBarH), at(kBar).x, at(kBar).y);
  sheet.Blit(CardBackdrop(kMenuW, kBoxH), at(kMenuBox).x, at(kMenuBox).y);
  sheet.Blit(CardBackdrop(kInfoW, kBoxH), at(kInfoBox).x, at(kInfoBox).y);
  sheet.Blit(CardStrip(320, kHelpH), at(kHelpStrip).x, at(kHelpStrip).y);
  return {{"stats/card.tdf", card.Write()}, {"stats/zlabel.pcx", EncodeSheet(sheet, CardSheetPalette())}};
}
