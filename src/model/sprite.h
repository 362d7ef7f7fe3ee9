// sprite.h: a sprite, the picture record that fonts, the card and the editor
// cut from images and the draw routines draw.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

// Everything a draw reads but the later frames sits in the first cache line:
// text draws a different sprite for every glyph.
struct Sprite {
  uint32_t width = 0;  // stored bytes per row (doubled in video mode 2)
  uint32_t height = 0;
  uint8_t currentFrame = 0;
  uint8_t frameCount = 0;
  int16_t originX = 0, originY = 0;
  int16_t flippedOriginX = 0, flippedOriginY = 0;
  std::array<std::vector<uint8_t>, 25> frames;  // empty = absent
};
