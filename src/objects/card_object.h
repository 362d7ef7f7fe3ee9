// card_object.h: the running card: its parts and panels, key triggers,
// script slots, motion toward targets and drawing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "objects/card_def.h"
#include "objects/card_state.h"

struct CardObjectState {
  uint8_t CardNumber = 0;  // shown by number parts; nothing sets it
  std::string LevelName;   // shown by level-name parts
};
extern CardObjectState CardObjects;

void ResetCardObjects();

// Builds a card from its definition (CreateCardObject in object_list.h puts
// one in the object list).
void SetUpCardObject(CardState& card);
// One frame of a card: key triggers, scripts, motion, drawing. False when a
// script deleted the card: it is then released.
bool RunCardObject(std::unique_ptr<CardState>& card);

// Moves a position one frame toward its target and counts an arrival (both
// axes at their targets after a move) in counter.
void MoveTowardTarget(int32_t& x, int32_t& y, int32_t targetX, int32_t targetY, int32_t stepX, int32_t stepY,
                      uint32_t* counter);
