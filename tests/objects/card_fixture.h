// card_fixture.h: cards built in code: a definition with sprite groups and
// texts, a card object run from it, and instruction records.
#pragma once

#include <initializer_list>
#include <vector>

#include "gfx/frame_buffer.h"
#include "objects/card_object.h"
#include "objects/object_list.h"
#include "objects/script.h"
#include "test_support.h"

class CardTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    InstallInstructions();
    AllocObjectList();
    CardDefs.CardDefTable.assign(1, CardDef{});
  }
  CardDef& Def() { return CardDefs.CardDefTable[0]; }

  // Sprite group g: one w x h sprite filled with colour.
  void AddSprite(uint32_t w, uint32_t h, uint8_t colour) {
    Sprite s;
    s.width = w;
    s.height = h;
    s.frames[0].assign(size_t(w) * h + 1, colour);
    s.frameCount = 1;
    Def().spriteGroups.push_back({s});
  }
  // A sprite part of group `group` in raw panel `panel`, measured.
  void AddPart(uint8_t panel, int32_t x, int32_t y, uint8_t group = 0, uint8_t visible = 1) {
    PartDef p;
    p.panel = panel;
    p.x = x;
    p.y = y;
    p.kind = kPartSprite;
    p.index = group;
    p.visible = visible;
    MeasurePart(p);
    Def().parts.push_back(p);
  }
  void AddPanel(uint8_t parent, int32_t x, int32_t y, int32_t left, int32_t top, int32_t right, int32_t bottom,
                uint8_t visible = 1) {
    PanelDef p;
    p.parent = parent;
    p.x = x;
    p.y = y;
    p.left = left;
    p.top = top;
    p.right = right;
    p.bottom = bottom;
    p.visible = visible;
    Def().panels.push_back(p);
  }
  static Instruction Ins(int32_t opcode, std::initializer_list<int32_t> operands = {}) {
    Instruction ins;
    ins.opcode = opcode;
    size_t k = 0;
    for (int32_t v : operands) ins.operands[k++] = v;
    ins.operandCount = uint8_t(k);
    return ins;
  }
  // Creates the card (script 0 starts in slot 0) and makes it current.
  CardState& Create() {
    if (Def().slotCount == 0) Def().slotCount = 4;
    CreateCardObject();
    Objects.CurrentObject = uint16_t(Objects.ObjectCount - 1);
    return *Objects.ObjectList[Objects.CurrentObject].card;
  }
  CardState& Card() { return *Objects.ObjectList[Objects.CurrentObject].card; }
  // One frame of the card on a cleared frame.
  void Frame() {
    ClearFrameBuffer(0);
    RunObjects();
    Objects.CurrentObject = uint16_t(Objects.ObjectCount - 1);
  }
  static int Px(int x, int y) { return Screen.FrameBuffer[y * 320 + x]; }
  // The leftmost and rightmost columns holding colour c (-1 when none).
  static std::pair<int, int> Columns(uint8_t c) {
    int lo = -1, hi = -1;
    for (int i = 0; i < 64000; ++i)
      if (Screen.FrameBuffer[i] == c) {
        const int x = i % 320;
        if (lo < 0 || x < lo) lo = x;
        hi = std::max(hi, x);
      }
    return {lo, hi};
  }
};
