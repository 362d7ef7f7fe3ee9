// card_object.cpp: the card object: built from the card definition, run once
// a frame (key triggers, script slots, motion), drawn over the planes.
#include "objects/card_object.h"

#include <algorithm>
#include <string>

#include "common/module_state.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/palette_sets.h"
#include "input/input.h"
#include "model/planes.h"
#include "objects/script.h"

CardObjectState CardObjects;

void ResetCardObjects() { CardObjects = {}; }
const ModuleReset kCardObjectReset(ResetCardObjects);

namespace {

// Width of a kind-1 or kind-2 part's text, measured when the card is set up.
void MeasureTextPart(Part& part, const char* text) {
  uint32_t width = TextWidth(text, FontAt(part.font));
  if (Video.VideoMode == 2) width >>= 1;
  part.width = uint16_t(width);
  part.halfWidth = uint16_t(part.width >> 1);
  part.height = 16;
  part.halfHeight = 8;
}

std::string NumberText() { return std::to_string(CardObjects.CardNumber); }

// 32-bit wrap-around for motion: a broken step must not be undefined behaviour.
int32_t Add(int32_t a, int32_t b) { return int32_t(uint32_t(a) + uint32_t(b)); }
int32_t Sub(int32_t a, int32_t b) { return int32_t(uint32_t(a) - uint32_t(b)); }

bool AllPressed(const KeyCombo& combo) {
  if (combo.keys.empty()) return false;
  for (uint16_t k : combo.keys)
    if (k >= Input.KeyPressed.size() || !Input.KeyPressed[k]) return false;
  return true;
}

void FireTriggers(CardState& card, const std::vector<KeyTrigger>& triggers) {
  for (const KeyTrigger& t : triggers)
    for (const KeyCombo& combo : t.combos)
      if (AllPressed(combo)) StartScript(card, t.script);
}

// The text a text part shows, or null when it names none.
const char* PartText(const Part& p, const std::string& number) {
  switch (p.kind) {
    case kPartLevelName: return CardObjects.LevelName.c_str();
    case kPartNumber: return number.c_str();
    case kPartText: {
      if (p.defIndex >= CardDefs.CardDefTable.size()) return nullptr;
      const CardDef& def = CardDefs.CardDefTable[p.defIndex];
      return p.index < def.texts.size() ? def.texts[p.index].c_str() : nullptr;
    }
    default: return nullptr;
  }
}

// The first sprite of a sprite part's group, or null.
const Sprite* PartSprite(const Part& p) {
  if (p.defIndex >= CardDefs.CardDefTable.size()) return nullptr;
  const CardDef& def = CardDefs.CardDefTable[p.defIndex];
  if (p.index >= def.spriteGroups.size() || def.spriteGroups[p.index].empty()) return nullptr;
  return &def.spriteGroups[p.index][0];
}

// Draws the parts of one panel: roots with their scroll as the camera, child
// panels clipped to their windows.
void DrawParts(const CardState& card, const Panel& panel, bool clipped) {
  std::string number;  // made only for a panel that shows the number
  for (uint8_t index : panel.partList) {
    if (index >= card.parts.size()) continue;
    const Part& p = card.parts[index];
    if (p.visible != 1 || p.kind > kPartSpriteExtra) continue;
    if (p.kind == kPartNumber && number.empty()) number = NumberText();
    if (p.kind == kPartSprite || p.kind == kPartSpriteExtra) {
      const Sprite* s = PartSprite(p);
      if (!s) continue;
      if (clipped)
        Video.DrawTable.DrawSpriteClip(*s, panel.offsetX, panel.offsetY, p.x, p.y, panel.clipLeft, panel.clipRight,
                                       panel.clipTop, panel.clipBottom);
      else
        Video.DrawTable.DrawSprite(*s, panel.scrollX, panel.scrollY, p.x, p.y);
    } else if (const char* text = PartText(p, number)) {
      if (clipped)
        DrawTextClip(text, Sub(p.x, panel.offsetX), Sub(p.y, panel.offsetY), p.font, panel.clipLeft, panel.clipRight,
                     panel.clipTop, panel.clipBottom);
      else
        DrawText(text, Sub(p.x, panel.scrollX), Sub(p.y, panel.scrollY), p.font);
    }
  }
}

// Positions each child of a root against its parent and draws it.
void DrawChildren(CardState& card, uint8_t root) {
  for (uint8_t k : card.panels[root].childList) {
    if (k >= card.panels.size()) continue;
    Panel& child = card.panels[k];
    if (child.parent >= card.panels.size()) continue;
    const Panel& p = card.panels[child.parent];
    const int32_t baseX = Sub(p.absX, p.offsetX), baseY = Sub(p.absY, p.offsetY);
    child.clipLeft = std::max(Add(Add(child.x, child.left), baseX), p.clipLeft);
    child.clipTop = std::max(Add(Add(child.y, child.top), baseY), p.clipTop);
    child.clipRight = std::min(Add(Add(child.x, child.right), baseX), p.clipRight);
    child.clipBottom = std::min(Add(Add(child.y, child.bottom), baseY), p.clipBottom);
    child.absX = Sub(Add(child.x, p.x), p.offsetX);
    child.absY = Sub(Add(child.y, p.y), p.offsetY);
    child.offsetX = Sub(child.scrollX, child.absX);
    child.offsetY = Sub(child.scrollY, child.absY);
    if (child.visible) DrawParts(card, child, true);
  }
}

}  // namespace

void MoveTowardTarget(int32_t& x, int32_t& y, int32_t targetX, int32_t targetY, int32_t stepX, int32_t stepY,
                      uint32_t* counter) {
  auto arrive = [&] {
    if (counter) ++*counter;
  };
  if (x < targetX) {
    x = Add(x, stepX);
    if (x >= targetX) {
      x = targetX;
      if (y == targetY) arrive();
    }
  }
  if (x > targetX) {
    x = Sub(x, stepX);
    if (x <= targetX) {
      x = targetX;
      if (y == targetY) arrive();
    }
  }
  if (y < targetY) {
    y = Add(y, stepY);
    if (y >= targetY) {
      y = targetY;
      if (x == targetX) arrive();
    }
  }
  if (y > targetY) {
    y = Sub(y, stepY);
    if (y <= targetY) {
      y = targetY;
      if (x == targetX) arrive();
    }
  }
}

void SetUpCardObject(CardState& card) {
  const CardDef* def = CardDefOf(card);
  if (!def) return;
  for (int i = 0; i < 16; ++i) {
    uint8_t rgb[3] = {CardDefs.CardColours[i][0], CardDefs.CardColours[i][1], CardDefs.CardColours[i][2]};
    SetPaletteEntryTinted(uint16_t(64 + i), rgb);
  }
  card.inputEnabled = 0;
  card.slotScripts.assign(def->slotCount, kSlotEmpty);
  card.slotCounters.assign(def->slotCount, 0);
  card.counters.assign(def->counterCount, 0);
  card.reserved.assign(def->reservedCount, 0);
  card.currentPanel = def->startPanel;

  card.panels.assign(def->panels.size() + 2, Panel{});
  for (size_t p = 0; p < card.panels.size(); ++p) {
    Panel& panel = card.panels[p];
    if (p < 2) {
      panel.parent = uint8_t(p);
      panel.visible = 1;
      panel.right = Video.ScreenWidth;
      panel.bottom = Video.ScreenHeight;
    } else {
      const PanelDef& d = def->panels[p - 2];
      panel.parent = ConvertPanelReference(d.parent);
      panel.visible = d.visible;
      panel.x = d.x;
      panel.y = d.y;
      panel.left = d.left;
      panel.top = d.top;
      panel.right = d.right;
      panel.bottom = d.bottom;
      panel.selectedItem = d.selectedItem;
      // A parent set up later would empty this link: only earlier panels hold children.
      if (panel.parent < p) card.panels[panel.parent].childList.push_back(uint8_t(p));
    }
    panel.clipLeft = panel.left;
    panel.clipTop = panel.top;
    panel.clipRight = panel.right;
    panel.clipBottom = panel.bottom;
    panel.targetX = panel.x;
    panel.targetY = panel.y;
  }

  card.parts.assign(def->parts.size(), Part{});
  const std::string number = NumberText();
  for (size_t i = 0; i < card.parts.size(); ++i) {
    Part& part = card.parts[i];
    static_cast<PartDef&>(part) = def->parts[i];
    part.targetX = part.x;
    part.targetY = part.y;
    if (part.kind == kPartLevelName) MeasureTextPart(part, CardObjects.LevelName.c_str());
    if (part.kind == kPartNumber) MeasureTextPart(part, number.c_str());
    const uint8_t panel = ConvertPanelReference(part.panel);
    if (panel < card.panels.size()) card.panels[panel].partList.push_back(uint8_t(i));
    part.ownIndex = uint8_t(i);
  }
}

bool RunCardObject(std::unique_ptr<CardState>& slotCard) {
  CardState* card = slotCard.get();
  if (!card) return true;
  const CardDef* def = CardDefOf(*card);
  if (!def || card->panels.size() < 2) return true;

  if (card->inputEnabled) {
    if (card->currentPanel > 1 && size_t(card->currentPanel) - 2 < def->panels.size())
      FireTriggers(*card, def->panels[card->currentPanel - 2].triggers);
    if (card->currentPanel < card->panels.size()) {
      const uint8_t s = card->panels[card->currentPanel].selectedItem;
      if (s < def->items.size()) FireTriggers(*card, def->items[s].triggers);
    }
  }

  for (size_t t = 0; t < card->slotScripts.size(); ++t) {
    if (card->slotScripts[t] >= def->scripts.size()) continue;
    if (!RunScriptSlot(*card, uint8_t(t))) {
      slotCard.reset();  // the card deleted itself: nothing moves or draws this frame
      return false;
    }
  }

  auto counter = [&](uint8_t i) { return i < card->counters.size() ? &card->counters[i] : nullptr; };
  // Most parts rest at their targets, where a move changes nothing.
  for (Part& p : card->parts)
    if (p.x != p.targetX || p.y != p.targetY)
      MoveTowardTarget(p.x, p.y, p.targetX, p.targetY, p.stepX, p.stepY, counter(p.counterIndex));
  for (Panel& p : card->panels)
    if (p.x != p.targetX || p.y != p.targetY)
      MoveTowardTarget(p.x, p.y, p.targetX, p.targetY, p.stepX, p.stepY, counter(p.counterIndex));

  Panel& world = card->panels[0];
  world.scrollX = world.offsetX = Level.viewX;
  world.scrollY = world.offsetY = Level.viewY;
  for (uint8_t root = 0; root < 2; ++root) {
    DrawParts(*card, card->panels[root], false);
    DrawChildren(*card, root);
  }
  return true;
}
