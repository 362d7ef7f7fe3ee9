// sdl_web_gl.h: the browser's frame drawn by WebGL, palette looked up on the
// GPU (sdl_web_gl.cpp, Emscripten only).
#pragma once

#include <array>
#include <cstdint>

#include "platform/sdl/sdl_layout.h"

namespace sdlplat {

// Takes the page's canvas for WebGL. False where the browser has none: the
// display then draws through SDL's software renderer as a desktop does.
bool WebGlStart();
void WebGlStop();
bool WebGlRunning();

// Clears the canvas black and shows the frame's palette indices in r, scaled
// by nearest neighbour; palette holds 0xFFRRGGBB for each index.
void WebGlDraw(const FrameRect& r, const uint8_t* frame, int frameW, int frameH, const uint32_t* palette);

}  // namespace sdlplat
