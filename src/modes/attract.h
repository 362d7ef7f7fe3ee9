// attract.h: the attract sequence's state and frame.
#pragma once

#include <cstdint>
#include <optional>

struct AttractState {
  uint8_t AttractStarted = 0;
  uint16_t AttractStep = 0;  // 12 or more: the sequence does nothing
  uint16_t AttractCounter = 0;
};
extern AttractState Attract;

void ResetAttract();
// One play/attract frame; with `clear`, the frame is filled with that
// colour first (around what the planes cover: see RunObjects).
void AttractFrame(std::optional<uint8_t> clear = std::nullopt);
