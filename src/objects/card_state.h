// card_state.h: the records of a running card (its parts, panels and script
// slots), shared by the card object, its scripts and the object list.
#pragma once

#include <cstdint>
#include <vector>

#include "objects/card_def.h"

// A part of the running card: the file's fields, then its motion.
struct Part : PartDef {
  int32_t targetX = 0, targetY = 0;
  int32_t stepX = 0, stepY = 0;  // pixels a frame; 0 stands still
  uint8_t counterIndex = 0;      // counted up on arrival
  uint8_t ownIndex = 0;
};

struct Panel {
  uint8_t parent = 0;  // panels 0 and 1 are their own parents
  uint8_t visible = 0;
  int32_t x = 0, y = 0;                                              // inside the parent
  int32_t absX = 0, absY = 0;                                        // screen position of the origin, this frame
  int32_t left = 0, top = 0, right = 0, bottom = 0;                  // window, relative to x, y
  int32_t clipLeft = 0, clipTop = 0, clipRight = 0, clipBottom = 0;  // on screen, this frame
  int32_t scrollX = 0, scrollY = 0;
  int32_t offsetX = 0, offsetY = 0;          // scroll - abs: subtracted from part positions
  std::vector<uint8_t> partList, childList;  // in the order they joined
  int32_t targetX = 0, targetY = 0;
  int32_t stepX = 0, stepY = 0;
  uint8_t counterIndex = 0;
  uint8_t selectedItem = 0;
};

constexpr uint8_t kSlotEmpty = 255;
constexpr uint8_t kFirstFreeScript = 21;  // a slot holding this or more counts as free

struct CardState {
  std::vector<Part> parts;
  std::vector<Panel> panels;  // 0 world, 1 screen, then one per PanelDef
  std::vector<uint8_t> slotScripts, slotCounters;
  uint8_t currentPanel = 0;
  std::vector<uint32_t> counters;
  std::vector<uint32_t> reserved;
  uint8_t defIndex = 0;
  uint8_t inputEnabled = 0;
};

// The definition a card runs from, or null when none is loaded.
inline const CardDef* CardDefOf(const CardState& card) {
  return card.defIndex < CardDefs.CardDefTable.size() ? &CardDefs.CardDefTable[card.defIndex] : nullptr;
}
