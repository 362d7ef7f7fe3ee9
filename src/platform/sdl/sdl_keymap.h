// sdl_keymap.h: SDL's keys to the scan codes of the engine's key table, the
// letters by their label in the current layout and every other key by its place.
#pragma once

#include <SDL2/SDL_keycode.h>
#include <SDL2/SDL_scancode.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace sdlplat {

struct SdlKey {
  SDL_Scancode sdl;
  uint8_t scan;  // index into the engine's KeyPressed / KeyHeld
};

// The keys by their place on a US keyboard. Both Ctrl, Shift and Alt keys and
// both Enter keys count as the one key the engine knows; F11 and F12 sit
// right after F10 at 0x45 and 0x46.
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

// The engine scan code of the key at an SDL key's place; 0 for keys outside the table.
inline uint8_t EngineScanCode(SDL_Scancode key) {
  for (const SdlKey& k : kSdlKeys)
    if (k.sdl == key) return k.scan;
  return 0;
}

inline bool IsLetterPlace(SDL_Scancode key) { return key >= SDL_SCANCODE_A && key <= SDL_SCANCODE_Z; }

// The engine scan code of a letter label ('a' to 'z'); 0 for any other key.
inline uint8_t LetterScanCode(SDL_Keycode label) {
  if (label < SDLK_a || label > SDLK_z) return 0;
  return EngineScanCode(SDL_Scancode(SDL_SCANCODE_A + (label - SDLK_a)));
}

// The engine scan code of the key at place `key` that types `label` in the
// current layout (SDL's key code); `placeOf(label)` answers where the layout
// puts a label (SDL_GetScancodeFromKey). Letters go by their label, as the
// system's virtual keys do: on AZERTY the key labelled A is A. Everything
// else keeps its place, so the digit row is 1 to 0 whatever it types. A letter
// key that types no Latin character (a Cyrillic or Greek layout) keeps its
// place's letter, unless the layout has that letter on another key.
template <class PlaceOf>
uint8_t EngineKey(SDL_Scancode key, SDL_Keycode label, PlaceOf&& placeOf) {
  if (!IsLetterPlace(key)) {
    if (uint8_t fixed = EngineScanCode(key)) return fixed;
  }
  if (uint8_t letter = LetterScanCode(label)) return letter;
  const bool latin = label >= 0x20 && label < 0x80;
  if (!IsLetterPlace(key) || latin) return 0;
  const SDL_Keycode own = SDLK_a + (key - SDL_SCANCODE_A);
  const SDL_Scancode elsewhere = placeOf(own);
  return elsewhere == SDL_SCANCODE_UNKNOWN || elsewhere == key ? EngineScanCode(key) : 0;
}

// The keys held down, each with the engine key it went down as: a key keeps
// that meaning until it comes up, so a layout change while it is held
// neither strands the old key down nor presses a new one.
struct HeldKeys {
  std::vector<std::pair<SDL_Scancode, uint8_t>> down;

  // A press (not a repeat) means the key was up: one whose release never
  // came takes the meaning of this press.
  void Press(SDL_Scancode key, uint8_t scan) {
    Release(key);
    if (scan) down.emplace_back(key, scan);
  }
  void Release(SDL_Scancode key) {
    for (size_t i = 0; i < down.size(); ++i)
      if (down[i].first == key) {
        down.erase(down.begin() + std::ptrdiff_t(i));
        return;
      }
  }
  // True when a key held as `scan` still counts: `counts(key)` says whether
  // SDL has it down and no menu has taken it.
  template <class Counts>
  bool Holds(uint8_t scan, Counts&& counts) const {
    for (const auto& d : down)
      if (d.second == scan && counts(d.first)) return true;
    return false;
  }
};

}  // namespace sdlplat
