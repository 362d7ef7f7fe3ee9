// title_card.cpp: the title card over the deep-space attract level. The
// card's look is drawn here into zlabel.pcx; its behaviour is the script
// written out in BuildCard below, one instruction a line.
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
#include <optional>
#include <string_view>

#include "fonts.h"

namespace {

// ---------------------------------------------------------------------------
// Colours and sprites.

// The card's sixteen colours: zlabel.pcx entries 0..15, installed in 64..79.
const Rgb kCardColours[16] = {
    {2, 3, 12},   {6, 8, 22},   {10, 16, 36}, {18, 30, 50},  // navy to light blue
    {30, 44, 60}, {46, 56, 63}, {63, 63, 63},                // pale blue, ice, white
    {6, 30, 40},  {14, 52, 60}, {36, 62, 63},                // teal, cyan, pale cyan
    {28, 6, 34},  {46, 12, 48}, {62, 34, 58},                // purple, magenta, pink
    {63, 36, 6},  {63, 58, 28}, {20, 8, 4}};                 // amber, gold, brown
constexpr uint8_t C(int i) { return uint8_t(64 + i); }
constexpr uint8_t kNavy = C(0), kBlue = C(2), kLightBlue = C(3), kPaleBlue = C(4), kIce = C(5), kWhite = C(6);
constexpr uint8_t kCyan = C(8), kPaleCyan = C(9), kPurple = C(10), kMagenta = C(11), kPink = C(12);
constexpr uint8_t kAmber = C(13), kGold = C(14);
constexpr uint8_t kRim = glob::kGrey;  // the near-black outline of the fonts

// The logo: the capitals of the small design, emboldened and doubled twice
// with corner smoothing, chrome-shaded (bright sky above a dark horizon line, a lighter
// floor below), bevelled on the upper left, outlined and shadowed.
Canvas Logo(std::string_view word) {
  constexpr int kGap = 4, kH = 28;
  std::vector<Canvas> letters;
  int w = 0;
  for (char ch : word) {
    // Emboldened: each inked pixel also inks the one to its right.
    Canvas bits(6, 7);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 6; ++x) bits.Set(x, y, GlyphInk(ch, x, y) || GlyphInk(ch, x - 1, y) ? 1 : 0);
    letters.push_back(Smooth2x(Smooth2x(bits)));
    w += letters.back().w + kGap;
  }
  Canvas ink(w - kGap + 4, kH + 4);
  int x0 = 1;
  for (const Canvas& l : letters) ink.Blit(l, x0, 1), x0 += l.w + kGap;
  static constexpr uint8_t kRows[kH] = {kWhite,  kWhite, kIce,      kIce,      kIce,      kPaleCyan, kPaleCyan,
                                        kPaleCyan, kCyan, kCyan,    kCyan,     kPaleBlue, kPaleBlue, kBlue,
                                        kBlue,   kNavy,  kLightBlue, kLightBlue, kLightBlue, kPaleBlue, kPaleBlue,
                                        kPaleBlue, kPaleCyan, kPaleCyan, kIce,  kIce,      kWhite,    kIce};
  Canvas logo(ink.w, ink.h);
  for (int y = 0; y < ink.h; ++y)
    for (int x = 0; x < ink.w; ++x) {
      if (!ink.Get(x, y)) continue;
      const bool edge = !ink.Get(x - 1, y - 1) && (!ink.Get(x - 1, y) || !ink.Get(x, y - 1));
      logo.Set(x, y, edge ? kWhite : kRows[y - 1]);
    }
  Outline(logo, ink, kRim);
  // The shadow falls two pixels down and right of the outlined shape.
  Canvas shadowed(logo.w + 2, logo.h + 2);
  for (int y = 0; y < logo.h; ++y)
    for (int x = 0; x < logo.w; ++x)
      if (logo.Get(x, y)) shadowed.Set(x + 2, y + 2, kNavy);
  shadowed.Blit(logo, 0, 0);
  return shadowed;
}

// A picture from rows of colour letters.
Canvas Picture(std::initializer_list<std::string_view> rows) {
  Canvas c(int(rows.begin()->size()), int(rows.size()));
  int y = 0;
  for (std::string_view row : rows) {
    for (size_t x = 0; x < row.size(); ++x) {
      uint8_t v = 0;
      switch (row[x]) {
        case 'K': v = kRim; break;
        case 'd': v = kBlue; break;
        case 'h': v = kPaleBlue; break;
        case 'H': v = kIce; break;
        case 'w': v = kWhite; break;
        case 'c': v = kCyan; break;
        case 'm': v = kMagenta; break;
        case 'f': v = kAmber; break;
        case 'F': v = kGold; break;
      }
      c.Set(int(x), y, v);
    }
    ++y;
  }
  return c;
}

// The little ship of the world panel, nose to the right, engines lit.
Canvas Ship() {
  return Picture({"..........KKKK..........",
                  ".........KcccwK.........",
                  "..KK....KccccwKK........",
                  ".KmmKKKKKhhhhhhHKK......",
                  "FKmhhhhhhhhhhhhhHHKK....",
                  "FFKhhhhhhhhhhhhhhhHHKK..",
                  "fFKddhhhhhhhhhhhhhhhhHK.",
                  "FFKddddddddddddddddddKK.",
                  "FKmddKKKKKKKKKKKKKKKK...",
                  ".KmmK...................",
                  "..KK....................",
                  "........................"});
}

// Navy over three pixels in four: the level glints through the fourth, yet
// the brightest clouds behind stay dark enough for the text.
bool Veiled(int x, int y) { return (x & 1) || (y & 1); }

// A panel's backdrop: the veil in a light frame with cyan corners.
Canvas Backdrop(int w, int h) {
  Canvas c(w, h);
  for (int y = 1; y < h - 1; ++y)
    for (int x = 1; x < w - 1; ++x)
      if (Veiled(x, y)) c.Set(x, y, kNavy);
  for (int x = 0; x < w; ++x) c.Set(x, 0, kLightBlue), c.Set(x, h - 1, kLightBlue);
  for (int y = 0; y < h; ++y) c.Set(0, y, kLightBlue), c.Set(w - 1, y, kLightBlue);
  for (int k = 0; k < 4; ++k) {
    c.Set(k, 0, kCyan), c.Set(0, k, kCyan), c.Set(w - 1 - k, 0, kCyan), c.Set(w - 1, k, kCyan);
    c.Set(k, h - 1, kCyan), c.Set(0, h - 1 - k, kCyan), c.Set(w - 1 - k, h - 1, kCyan), c.Set(w - 1, h - 1 - k, kCyan);
  }
  return c;
}

// The help strip along the bottom: the veil under a cyan edge.
Canvas Strip(int w, int h) {
  Canvas c(w, h);
  for (int y = 2; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (Veiled(x, y)) c.Set(x, y, kNavy);
  for (int x = 0; x < w; ++x) c.Set(x, 0, kCyan), c.Set(x, 1, kBlue);
  return c;
}

// The menu's highlight: a magenta bar with rounded ends and a gold marker.
Canvas Bar(int w, int h) {
  Canvas c(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool corner = (y == 0 || y == h - 1) && (x == 0 || x == w - 1);
      if (corner) continue;
      uint8_t v = y == 0 ? kPink : y < 3 ? kMagenta : y < h - 3 ? (((x + y) & 1) ? kMagenta : kPurple) : kPurple;
      c.Set(x, y, v);
    }
  for (int k = 0; k < 3; ++k)  // a small arrowhead pointing at the text
    for (int j = -k; j <= k; ++j) c.Set(2 + (2 - k), h / 2 + j, kGold);
  return c;
}

// ---------------------------------------------------------------------------
// The card as the file lays it out.

constexpr int kWorld = 254, kScreen = 255;  // the root panels
constexpr int kPartSprite = 0, kPartText = 3;  // the part kinds the card uses

struct Trigger {
  std::vector<std::vector<int>> combos;  // each: keys that must go down together
  int script = 0;
};
struct PanelSpec {
  std::string name;
  int parent, x, y, left, top, right, bottom;
  std::vector<Trigger> triggers;
};
struct ItemSpec {
  int select, deselect, owner;
};
struct PartSpec {
  std::string name;
  int kind, index, font, panel, x, y;
};
struct SpriteSpec {
  std::string name;
  int x, y, w, h;
};
struct Op {
  int opcode;
  std::vector<int> operands;
  std::string what;
};
struct ScriptSpec {
  std::string name;
  std::vector<Op> ops;
};

struct Card {
  int counters = 0, slots = 0, startPanel = 0;
  std::vector<PanelSpec> panels;
  std::vector<std::string> texts;
  std::vector<SpriteSpec> sprites;  // one sprite a group
  std::vector<ItemSpec> items;
  std::vector<PartSpec> parts;
  std::vector<ScriptSpec> scripts;

  int Text(const std::string& s) {
    for (size_t i = 0; i < texts.size(); ++i)
      if (texts[i] == s) return int(i);
    texts.push_back(s);
    return int(texts.size()) - 1;
  }
  // A text part is given the top of its text; it stands on its y, the font's height lower.
  int AddPart(PartSpec p) {
    if (p.kind == kPartText) p.y += p.font == kFontTitle ? kTitleRise : kSmallRise;
    parts.push_back(std::move(p));
    return int(parts.size()) - 1;
  }
  std::vector<uint8_t> Write() const;
};

// The instructions, named for what they do. Axis modes: 0 x and 1 y at an
// absolute position; 2 x and 3 y within the container; 4 x and 5 y against
// another part. Alignments for modes 0/1: 0 centred on, 1 starting at, 2
// ending at the position.
enum Mode { kAtX = 0, kAtY = 1, kInX = 2, kInY = 3, kByPartX = 4, kByPartY = 5 };
enum Align { kCentre = 0, kStart = 1, kEnd = 2 };

Op PlacePart(int part, int mode, int align, int at, std::optional<int> extra = {}) {
  Op op{2, {part, mode, align, at}, "place part"};
  if (extra) op.operands.push_back(*extra);
  return op;
}
Op AimPart(int part, int mode, int align, int at, std::optional<int> extra = {}) {
  Op op{3, {part, mode, align, at}, "aim part"};
  if (extra) op.operands.push_back(*extra);
  return op;
}
Op PartStep(int part, int axis, int step, int counter) { return {4, {part, axis, step, counter}, "part speed"}; }
Op WaitFrames(int counter, int frames) { return {5, {counter, 0, frames}, "wait frames"}; }
Op WaitArrivals(int counter, int count) { return {5, {counter, 2, count}, "wait for arrivals"}; }
Op AimPanel(int panel, int mode, int align, int at) { return {7, {panel, mode, align, at}, "aim panel"}; }
Op PanelStep(int panel, int axis, int step, int counter) { return {8, {panel, axis, step, counter}, "panel speed"}; }
Op SetFont(int part, int font) { return {11, {part, font}, "set font"}; }
Op KeysOn() { return {17, {1}, "keys on"}; }
Op NextItem() { return {18, {1}, "next item, wrapping"}; }
Op PreviousItem() { return {19, {1}, "previous item, wrapping"}; }

constexpr int kKeyUp = 0x48, kKeyLeft = 0x4B, kKeyRight = 0x4D, kKeyDown = 0x50;

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
     {{"6", "Sunset coast"}, {"7", "City at night"}, {"8", "Green hills"}, {"9", "Volcano shaft"},
      {"5", "Back to space"}}},
    {"EDITOR",
     {{"E", "Edit this level"}, {"1", "Pick a tile"}, {"Tab", "Show the panel"}, {"0", "Editor menu"},
      {"Ctrl", "Plane bars"}}},
    {"KEYS",
     {{"F4", "Window or full"}, {"F8", "Menu bar"}, {"5", "Restart demo"}, {"Esc", "Quit"},
      {"Arrows", "Step this menu"}}},
    {"ABOUT",
     {{"", "320x200, 256 colours"}, {"", "Six kinds of plane"}, {"", "Line speeds, loops"},
      {"", "Cycling colours"}, {"", "All art made by code"}}},
};
constexpr int kPageCount = 4;

// The help strip: two centred lines of keys (highlighted) and what they do.
const std::vector<std::pair<std::string, std::string>> kHelpLines[2] = {
    {{"6-9", "levels"}, {"E", "editor"}, {"5", "restart"}},
    {{"F4", "window"}, {"Esc", "quit"}, {"Arrows", "menu"}}};

// Where each sprite sits in zlabel.pcx: the logo, then the small sprites
// beside it; the boxes below; the strip at the foot.
std::vector<SpriteSpec> SpriteLayout(int logoW, int logoH) {
  return {{"logo", 0, 0, logoW, logoH},
          {"ship", logoW + 4, 0, 24, 12},
          {"bar", logoW + 32, 0, kBarW, kBarH},
          {"menu box", 0, 40, kMenuW, kBoxH},
          {"info box", kMenuW + 4, 40, kInfoW, kBoxH},
          {"help strip", 0, 40 + kBoxH + 4, 320, kHelpH}};
}
enum SpriteGroup { kLogo, kShip, kBar, kMenuBox, kInfoBox, kHelpStrip };

Card BuildCard(int logoW, int logoH) {
  Card card;
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
  const int subtitle = card.AddPart({"subtitle", kPartText, card.Text("TILE ENGINE"), kFontTitle, kScreen, 320,
                                     kSubtitleY});
  card.AddPart({"menu box", kPartSprite, kMenuBox, 0, kMenuPanel, 0, 0});
  card.AddPart({"menu heading", kPartText, card.Text("MENU"), kFontTitle, kMenuPanel, kPageMargin, 6});
  const int bar = card.AddPart({"highlight bar", kPartSprite, kBar, 0, kMenuPanel, kBarX, kItemY0 - 2});
  int items[kPageCount];
  for (int i = 0; i < kPageCount; ++i)
    items[i] = card.AddPart({"item " + kPages[i].title, kPartText, card.Text(kPages[i].title), kFontNormal,
                             kMenuPanel, kItemX, kItemY0 + kItemPitch * i});
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

  ScriptSpec opening{"opening", {}};
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
    ScriptSpec s{"deselect " + kPages[i].title, {SetFont(items[i], kFontNormal)}};
    // Slide the page out through the window's left edge.
    for (size_t k = 0; k < pageParts[i].size(); ++k)
      s.ops.push_back(AimPart(pageParts[i][k], kAtX, kStart, pageX[i][k] - kInfoW));
    card.scripts.push_back(s);
  }
  for (int i = 0; i < kPageCount; ++i) card.items.push_back({kFirstSelect + i, kFirstDeselect + i, kMenuPanel});
  return card;
}

void WriteTriggers(DefWriter& d, const std::string& at, const std::vector<Trigger>& triggers) {
  d.Value(at + " key triggers", long(triggers.size()));
  for (size_t t = 0; t < triggers.size(); ++t) {
    const std::string tr = at + " trigger " + std::to_string(t);
    d.Value(tr + " combinations", long(triggers[t].combos.size()));
    for (size_t c = 0; c < triggers[t].combos.size(); ++c) {
      d.Value(tr + " combination " + std::to_string(c) + " keys", long(triggers[t].combos[c].size()));
      for (int key : triggers[t].combos[c]) d.Value(tr + " scan code", key);
    }
    d.Value(tr + " starts script", triggers[t].script);
  }
}

std::vector<uint8_t> Card::Write() const {
  DefWriter d;
  d.Value("Card", "Tarn title card");
  d.Value("Counters", counters);
  d.Value("Reserved values", 0);
  d.Value("Script slots", slots);
  d.Value("Start panel", startPanel);
  d.Note("");
  d.Note("Panels. Parents are 254 (world), 255 (screen) or an earlier panel's number.");
  d.Value("Panels", long(panels.size()));
  for (size_t i = 0; i < panels.size(); ++i) {
    const PanelSpec& p = panels[i];
    const std::string at = "Panel " + std::to_string(i) + " (" + p.name + ")";
    d.Value(at + " parent", p.parent);
    d.Value(at + " x", p.x), d.Value(at + " y", p.y);
    d.Value(at + " window left", p.left), d.Value(at + " window top", p.top);
    d.Value(at + " window right", p.right), d.Value(at + " window bottom", p.bottom);
    d.Value(at + " visible", 1);
    d.Value(at + " selected item", 0);
    d.Value(at + " reserved", 0), d.Value(at + " reserved", 0);
    WriteTriggers(d, at, p.triggers);
  }
  d.Note("");
  d.Value("Texts", long(texts.size()));
  for (size_t i = 0; i < texts.size(); ++i) d.Value("Text " + std::to_string(i), texts[i]);
  d.Note("");
  d.Note("Sprite groups cut from zlabel.pcx, one sprite each.");
  d.Value("Sprite groups", long(sprites.size()));
  for (size_t i = 0; i < sprites.size(); ++i) {
    const std::string at = "Group " + std::to_string(i) + " (" + sprites[i].name + ")";
    d.Value(at + " sprites", 1);
    d.Value(at + " x", sprites[i].x), d.Value(at + " y", sprites[i].y);
    d.Value(at + " width", sprites[i].w), d.Value(at + " height", sprites[i].h);
  }
  d.Note("");
  d.Value("Menu items", long(items.size()));
  for (size_t i = 0; i < items.size(); ++i) {
    const std::string at = "Item " + std::to_string(i);
    d.Value(at + " select script", items[i].select);
    d.Value(at + " deselect script", items[i].deselect);
    d.Value(at + " owner panel", items[i].owner);
    WriteTriggers(d, at, {});
  }
  d.Note("");
  d.Note("Parts. Kind 0 sprite, 3 text; panel 254 world, 255 screen, n panel n.");
  d.Value("Parts", long(parts.size()));
  for (size_t i = 0; i < parts.size(); ++i) {
    const PartSpec& p = parts[i];
    const std::string at = "Part " + std::to_string(i) + " (" + p.name + ")";
    d.Value(at + " kind", p.kind);
    d.Value(at + " definition", 255);  // this card's own sprites and texts
    d.Value(at + (p.kind == kPartText ? " text" : " sprite group"), p.index);
    if (p.kind == kPartText) d.Value(at + " font", p.font);
    d.Value(at + " visible", 1);
    d.Value(at + " panel", p.panel);
    d.Value(at + " x", p.x), d.Value(at + " y", p.y);
  }
  d.Note("");
  d.Value("Scripts", long(scripts.size()));
  for (size_t s = 0; s < scripts.size(); ++s) {
    const std::string at = "Script " + std::to_string(s) + " (" + scripts[s].name + ")";
    d.Value(at + " length", long(scripts[s].ops.size()));
    for (const Op& op : scripts[s].ops) {
      d.Value("  " + op.what, op.opcode);
      for (size_t k = 0; k < op.operands.size(); ++k) d.Value(std::string("    ") + "abcde"[k], op.operands[k]);
    }
  }
  return d.Bytes();
}

}  // namespace

DemoFiles BuildTitleCard() {
  const Canvas logo = Logo("TARN");
  const Card card = BuildCard(logo.w, logo.h);
  Canvas sheet(320, 200);
  const auto at = [&](int group) { return card.sprites[size_t(group)]; };
  sheet.Blit(logo, at(kLogo).x, at(kLogo).y);
  sheet.Blit(Ship(), at(kShip).x, at(kShip).y);
  sheet.Blit(Bar(kBarW, kBarH), at(kBar).x, at(kBar).y);
  sheet.Blit(Backdrop(kMenuW, kBoxH), at(kMenuBox).x, at(kMenuBox).y);
  sheet.Blit(Backdrop(kInfoW, kBoxH), at(kInfoBox).x, at(kInfoBox).y);
  sheet.Blit(Strip(320, kHelpH), at(kHelpStrip).x, at(kHelpStrip).y);
  // The file's first sixteen colours are the card's; the rest are the global
  // colours the sprites also use, and the card's again at 64..79 so the
  // sheet shows as the card will.
  std::array<Rgb, 256> palette = GlobalPalette();
  for (int i = 0; i < 16; ++i) palette[size_t(i)] = palette[size_t(64 + i)] = kCardColours[i];
  return {{"stats/card.tdf", card.Write()}, {"stats/zlabel.pcx", EncodeSheet(sheet, palette)}};
}
