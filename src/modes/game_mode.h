// game_mode.h: the modes a frame runs in, and what a mode's frame leaves for
// the main loop to carry out.
#pragma once

#include <cstdint>

enum GameModeValue : uint8_t { kModePlay = 0, kModeEditor = 253, kModeTileViewer = 254 };

struct ModeResult {
  uint8_t nextMode = kModePlay;  // GameMode from the next frame on
  bool quit = false;             // the player chose to leave: nothing more is drawn
};
