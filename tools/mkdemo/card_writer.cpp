// card_writer.cpp: a card as its definition file (stats/card.tdf): every
// value on its own labelled line, in the order the engine reads them.
#include <string>

#include "card_builder.h"
#include "demo_file.h"

namespace card_build {

namespace {

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

}  // namespace

std::vector<uint8_t> File::Write() const {
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
    const PanelLayout& p = panels[i];
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
    const PartLayout& p = parts[i];
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

}  // namespace card_build
