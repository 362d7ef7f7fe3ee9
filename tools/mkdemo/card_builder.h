// card_builder.h: the card-building language of tarn-mkdemo: the records a
// card file lays out (panels, items, parts, sprite rectangles, scripts) and
// its instructions named for what they do. title_card.cpp writes the demo's
// card in it; card_writer.cpp turns it into the file's bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fonts.h"

namespace card_build {

constexpr int kWorld = 254, kScreen = 255;     // the root panels
constexpr int kPartSprite = 0, kPartText = 3;  // the part kinds the card uses

// Keys that start a script: all the keys of any one combination down.
struct Trigger {
  std::vector<std::vector<int>> combos;  // each: keys that must go down together
  int script = 0;
};
// A panel: its parent (kWorld, kScreen or an earlier panel), its place in
// the parent and its window there (right and bottom exclusive).
struct PanelLayout {
  std::string name;
  int parent, x, y, left, top, right, bottom;
  std::vector<Trigger> triggers;
};
// A menu item: the scripts its selection starts and ends, its panel.
struct ItemLayout {
  int select, deselect, owner;
};
// A part: its kind, its sprite group or text, its font (texts), panel and place.
struct PartLayout {
  std::string name;
  int kind, index, font, panel, x, y;
};
// A sprite group's one sprite: a rectangle of zlabel.pcx.
struct SpriteRect {
  std::string name;
  int x, y, w, h;
};
// One instruction: opcode, operands and what it does (the label it is written with).
struct Op {
  int opcode;
  std::vector<int> operands;
  std::string what;
};
struct Script {
  std::string name;
  std::vector<Op> ops;
};

// The whole card file, in the order the file lays it out. The names label
// the entries for readers of the file; the engine skips them.
struct File {
  int counters = 0, slots = 0, startPanel = 0;
  std::vector<PanelLayout> panels;
  std::vector<std::string> texts;
  std::vector<SpriteRect> sprites;  // one sprite a group
  std::vector<ItemLayout> items;
  std::vector<PartLayout> parts;
  std::vector<Script> scripts;

  int Text(const std::string& s) {
    for (size_t i = 0; i < texts.size(); ++i)
      if (texts[i] == s) return int(i);
    texts.push_back(s);
    return int(texts.size()) - 1;
  }
  // A text part is given the top of its text; it stands on its y, the font's height lower.
  int AddPart(PartLayout p) {
    if (p.kind == kPartText) p.y += p.font == kFontTitle ? kTitleRise : kSmallRise;
    parts.push_back(std::move(p));
    return int(parts.size()) - 1;
  }
  // The file's bytes (card_writer.cpp).
  std::vector<uint8_t> Write() const;
};

// The instructions, named for what they do. Axis modes: 0 x and 1 y at an
// absolute position; 2 x and 3 y within the container; 4 x and 5 y against
// another part. Alignments for modes 0/1: 0 centred on, 1 starting at, 2
// ending at the position.
enum Mode { kAtX = 0, kAtY = 1, kInX = 2, kInY = 3, kByPartX = 4, kByPartY = 5 };
enum Align { kCentre = 0, kStart = 1, kEnd = 2 };

inline Op PlacePart(int part, int mode, int align, int at, std::optional<int> extra = {}) {
  Op op{2, {part, mode, align, at}, "place part"};
  if (extra) op.operands.push_back(*extra);
  return op;
}
inline Op AimPart(int part, int mode, int align, int at, std::optional<int> extra = {}) {
  Op op{3, {part, mode, align, at}, "aim part"};
  if (extra) op.operands.push_back(*extra);
  return op;
}
inline Op PartStep(int part, int axis, int step, int counter) { return {4, {part, axis, step, counter}, "part speed"}; }
inline Op WaitFrames(int counter, int frames) { return {5, {counter, 0, frames}, "wait frames"}; }
inline Op WaitArrivals(int counter, int count) { return {5, {counter, 2, count}, "wait for arrivals"}; }
inline Op AimPanel(int panel, int mode, int align, int at) { return {7, {panel, mode, align, at}, "aim panel"}; }
inline Op PanelStep(int panel, int axis, int step, int counter) {
  return {8, {panel, axis, step, counter}, "panel speed"};
}
inline Op SetFont(int part, int font) { return {11, {part, font}, "set font"}; }
inline Op KeysOn() { return {17, {1}, "keys on"}; }
inline Op NextItem() { return {18, {1}, "next item, wrapping"}; }
inline Op PreviousItem() { return {19, {1}, "previous item, wrapping"}; }

constexpr int kKeyUp = 0x48, kKeyLeft = 0x4B, kKeyRight = 0x4D, kKeyDown = 0x50;

}  // namespace card_build
