// sdl_keymap.h: SDL's physical keys to the scan codes of the engine's key table.
#pragma once

#include <SDL2/SDL_scancode.h>

#include <cstdint>

namespace sdlplat {

struct SdlKey {
  SDL_Scancode sdl;
  uint8_t scan;  // index into the engine's KeyPressed / KeyHeld
};

// Both Ctrl, Shift and Alt keys and both Enter keys count as the one key the
// engine knows; F11 and F12 sit right after F10 at 0x45 and 0x46.
inline constexpr SdlKey kSdlKeys[] = {
    {SDL_SCANCODE_ESCAPE, 0x01}, {SDL_SCANCODE_1, 0x02},     {SDL_SCANCODE_2, 0x03},      {SDL_SCANCODE_3, 0x04},
    {SDL_SCANCODE_4, 0x05},      {SDL_SCANCODE_5, 0x06},     {SDL_SCANCODE_6, 0x07},      {SDL_SCANCODE_7, 0x08},
    {SDL_SCANCODE_8, 0x09},      {SDL_SCANCODE_9, 0x0A},     {SDL_SCANCODE_0, 0x0B},      {SDL_SCANCODE_TAB, 0x0F},
    {SDL_SCANCODE_Q, 0x10},      {SDL_SCANCODE_W, 0x11},     {SDL_SCANCODE_E, 0x12},      {SDL_SCANCODE_R, 0x13},
    {SDL_SCANCODE_T, 0x14},      {SDL_SCANCODE_Y, 0x15},     {SDL_SCANCODE_U, 0x16},      {SDL_SCANCODE_I, 0x17},
    {SDL_SCANCODE_O, 0x18},      {SDL_SCANCODE_P, 0x19},     {SDL_SCANCODE_RETURN, 0x1C}, {SDL_SCANCODE_KP_ENTER, 0x1C},
    {SDL_SCANCODE_LCTRL, 0x1D},  {SDL_SCANCODE_RCTRL, 0x1D}, {SDL_SCANCODE_A, 0x1E},      {SDL_SCANCODE_S, 0x1F},
    {SDL_SCANCODE_D, 0x20},      {SDL_SCANCODE_F, 0x21},     {SDL_SCANCODE_G, 0x22},      {SDL_SCANCODE_H, 0x23},
    {SDL_SCANCODE_J, 0x24},      {SDL_SCANCODE_K, 0x25},     {SDL_SCANCODE_L, 0x26},      {SDL_SCANCODE_LSHIFT, 0x2A},
    {SDL_SCANCODE_RSHIFT, 0x2A}, {SDL_SCANCODE_Z, 0x2C},     {SDL_SCANCODE_X, 0x2D},      {SDL_SCANCODE_C, 0x2E},
    {SDL_SCANCODE_V, 0x2F},      {SDL_SCANCODE_B, 0x30},     {SDL_SCANCODE_N, 0x31},      {SDL_SCANCODE_M, 0x32},
    {SDL_SCANCODE_LALT, 0x38},   {SDL_SCANCODE_RALT, 0x38},  {SDL_SCANCODE_SPACE, 0x39},  {SDL_SCANCODE_F1, 0x3B},
    {SDL_SCANCODE_F2, 0x3C},     {SDL_SCANCODE_F3, 0x3D},    {SDL_SCANCODE_F4, 0x3E},     {SDL_SCANCODE_F5, 0x3F},
    {SDL_SCANCODE_F6, 0x40},     {SDL_SCANCODE_F7, 0x41},    {SDL_SCANCODE_F8, 0x42},     {SDL_SCANCODE_F9, 0x43},
    {SDL_SCANCODE_F10, 0x44},    {SDL_SCANCODE_F11, 0x45},   {SDL_SCANCODE_F12, 0x46},    {SDL_SCANCODE_UP, 0x48},
    {SDL_SCANCODE_LEFT, 0x4B},   {SDL_SCANCODE_RIGHT, 0x4D}, {SDL_SCANCODE_DOWN, 0x50},
};

// The engine scan code of an SDL key; 0 for keys outside the table.
inline uint8_t EngineScanCode(SDL_Scancode key) {
  for (const SdlKey& k : kSdlKeys)
    if (k.sdl == key) return k.scan;
  return 0;
}

}  // namespace sdlplat
