// card_object.h: the running card: its parts and panels, key triggers,
// script slots, motion toward targets and drawing.
#pragma once

#include <cstdint>
#include <vector>

#include "objects/card_def.h"
#include "objects/card_state.h"

struct CardObjectState {
  uint8_t CardNumber = 0;  // shown by number parts; nothing sets it
};
extern CardObjectState CardObjects;

void ResetCardObjects();

// Appends a card object with script 0 running in slot 0. Without a loaded
// definition, or with the object list full, nothing is appended.
void CreateCardObject();
// Builds the card of object slot o from its definition.
void SetUpCardObject(uint16_t o);
// Releases the card state of the current object.
void FreeCardObject();
// One frame of the card at the current object: key triggers, scripts,
// motion, drawing.
void RunCardObject();

// Moves a position one frame toward its target and counts an arrival (both
// axes at their targets after a move) in counter.
void MoveTowardTarget(int32_t& x, int32_t& y, int32_t targetX, int32_t targetY, int32_t stepX, int32_t stepY,
                      uint32_t* counter);
