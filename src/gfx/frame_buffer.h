// frame_buffer.h: the 8-bit frame every routine draws into, the 256-slot
// palette (6-bit components) and the expansion of the frame for RGB displays.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <vector>

struct ScreenState {
  // Row-major palette indices with the stride of the video mode; index 0 is
  // transparent for the masked routines and the colour each frame starts from.
  uint8_t* FrameBuffer = nullptr;
  // 8 palettised; 15/16 5-5-5/5-6-5; 24/25 three bytes red/blue first; 32/33 four bytes.
  uint8_t PixelFormatCode = 8;
  // (red, green, blue, flags) per slot, components are the 6-bit value x 4.
  std::array<uint8_t, 256 * 4> PaletteTable{};
  // Display pixel per slot for RGB formats.
  std::array<uint32_t, 256> PixelLookup{};
  // Slots 64..255 as they stood after the global palette image loaded.
  std::array<uint8_t, 192> GlobalRed{}, GlobalGreen{}, GlobalBlue{};
  // Where ConvertFrameBuffer writes, and how many pixels.
  uint8_t* ConvertDest = nullptr;
  uint32_t ConvertCount = 0;
  // The frame block owned by the program in the window form.
  std::vector<uint8_t> OwnFrame;
};
extern ScreenState Screen;

void ResetScreen();

// Sets a slot from a 6-bit triple and builds its display pixel value.
void SetPaletteEntry(uint16_t slot, const uint8_t* rgb);
// Reads a slot back as a 6-bit triple.
void GetPaletteEntry(uint16_t slot, uint8_t* rgb);

// Fills the frame of the current video mode with one colour.
void ClearFrameBuffer(uint8_t colour);
// The same, but for the lines of the 320x200 frame set in `kept` (in video
// mode 0; other modes' frames are filled whole).
void ClearFrameBufferBut(uint8_t colour, const std::bitset<200>& kept);
// Expands the frame into the display memory when the display is not palettised.
void ConvertFrameBuffer();

// A way of expanding n 8-bit pixels to 32 bits through a table; returns the
// pixels done (a multiple of its step, the rest is the caller's).
using Expand32Fn = uint32_t (*)(const uint8_t* src, uint32_t* dst, const uint32_t* lut, uint32_t n);
// Every way this processor can run; ConvertFrameBuffer times them and keeps
// the fastest.
std::vector<Expand32Fn> Expand32Candidates();

// Records slots 64..255 as the colours RestoreGlobalColours puts back.
void CaptureGlobalColours();
