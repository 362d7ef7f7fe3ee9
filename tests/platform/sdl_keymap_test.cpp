// sdl_keymap_test.cpp: which engine key each key of a keyboard is, on
// layouts whose labels and places differ (AZERTY, QWERTZ, Dvorak, Turkish,
// Cyrillic), and the held keys through a layout change.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "input/input.h"
#include "platform/sdl/sdl_keymap.h"

namespace {

using sdlplat::EngineKey;
using sdlplat::HeldKeys;

// A layout as SDL reports it: the key code each place types, unshifted.
struct Layout {
  const char* name;
  std::map<SDL_Scancode, SDL_Keycode> moved;  // labels that differ from a US keyboard

  SDL_Keycode Label(SDL_Scancode s) const {
    if (auto it = moved.find(s); it != moved.end()) return it->second;
    if (sdlplat::IsLetterPlace(s)) return SDLK_a + (s - SDL_SCANCODE_A);
    if (s >= SDL_SCANCODE_1 && s <= SDL_SCANCODE_9) return SDLK_1 + (s - SDL_SCANCODE_1);
    static const std::map<SDL_Scancode, SDL_Keycode> us = {
        {SDL_SCANCODE_0, '0'},           {SDL_SCANCODE_RETURN, '\r'},      {SDL_SCANCODE_ESCAPE, 27},
        {SDL_SCANCODE_TAB, '\t'},        {SDL_SCANCODE_SPACE, ' '},        {SDL_SCANCODE_MINUS, '-'},
        {SDL_SCANCODE_EQUALS, '='},      {SDL_SCANCODE_SEMICOLON, ';'},    {SDL_SCANCODE_APOSTROPHE, '\''},
        {SDL_SCANCODE_COMMA, ','},       {SDL_SCANCODE_PERIOD, '.'},       {SDL_SCANCODE_SLASH, '/'},
        {SDL_SCANCODE_LEFTBRACKET, '['}, {SDL_SCANCODE_RIGHTBRACKET, ']'}, {SDL_SCANCODE_GRAVE, '`'},
    };
    if (auto it = us.find(s); it != us.end()) return it->second;
    return SDL_SCANCODE_TO_KEYCODE(s);
  }
  // The first place that types `k`, as SDL_GetScancodeFromKey answers.
  SDL_Scancode PlaceOf(SDL_Keycode k) const {
    for (int s = 0; s < SDL_NUM_SCANCODES; ++s)
      if (Label(SDL_Scancode(s)) == k) return SDL_Scancode(s);
    return SDL_SCANCODE_UNKNOWN;
  }
  uint8_t Engine(SDL_Scancode s) const {
    return EngineKey(s, Label(s), [this](SDL_Keycode k) { return PlaceOf(k); });
  }
};

// French AZERTY: A/Q and Z/W swapped, M beside L, no digit on the digit row.
const Layout kAzerty = {"AZERTY",
                        {{SDL_SCANCODE_Q, 'a'},           {SDL_SCANCODE_A, 'q'},         {SDL_SCANCODE_W, 'z'},
                         {SDL_SCANCODE_Z, 'w'},           {SDL_SCANCODE_SEMICOLON, 'm'}, {SDL_SCANCODE_M, ','},
                         {SDL_SCANCODE_COMMA, ';'},       {SDL_SCANCODE_PERIOD, ':'},    {SDL_SCANCODE_SLASH, '!'},
                         {SDL_SCANCODE_APOSTROPHE, 0xF9}, {SDL_SCANCODE_MINUS, ')'},     {SDL_SCANCODE_GRAVE, 0xB2},
                         {SDL_SCANCODE_1, '&'},           {SDL_SCANCODE_2, 0xE9},        {SDL_SCANCODE_3, '"'},
                         {SDL_SCANCODE_4, '\''},          {SDL_SCANCODE_5, '('},         {SDL_SCANCODE_6, '-'},
                         {SDL_SCANCODE_7, 0xE8},          {SDL_SCANCODE_8, '_'},         {SDL_SCANCODE_9, 0xE7},
                         {SDL_SCANCODE_0, 0xE0}}};

// German QWERTZ: Z/Y swapped, umlauts beside the letters.
const Layout kQwertz = {"QWERTZ",
                        {{SDL_SCANCODE_Y, 'z'},
                         {SDL_SCANCODE_Z, 'y'},
                         {SDL_SCANCODE_SEMICOLON, 0xF6},
                         {SDL_SCANCODE_APOSTROPHE, 0xE4},
                         {SDL_SCANCODE_LEFTBRACKET, 0xFC},
                         {SDL_SCANCODE_MINUS, 0xDF}}};

// Dvorak: most letters elsewhere, some on places of punctuation.
const Layout kDvorak = {"Dvorak",
                        {{SDL_SCANCODE_Q, '\''},        {SDL_SCANCODE_W, ','},          {SDL_SCANCODE_E, '.'},
                         {SDL_SCANCODE_R, 'p'},         {SDL_SCANCODE_T, 'y'},          {SDL_SCANCODE_Y, 'f'},
                         {SDL_SCANCODE_U, 'g'},         {SDL_SCANCODE_I, 'c'},          {SDL_SCANCODE_O, 'r'},
                         {SDL_SCANCODE_P, 'l'},         {SDL_SCANCODE_S, 'o'},          {SDL_SCANCODE_D, 'e'},
                         {SDL_SCANCODE_F, 'u'},         {SDL_SCANCODE_G, 'i'},          {SDL_SCANCODE_H, 'd'},
                         {SDL_SCANCODE_J, 'h'},         {SDL_SCANCODE_K, 't'},          {SDL_SCANCODE_L, 'n'},
                         {SDL_SCANCODE_SEMICOLON, 's'}, {SDL_SCANCODE_Z, ';'},          {SDL_SCANCODE_X, 'q'},
                         {SDL_SCANCODE_C, 'j'},         {SDL_SCANCODE_V, 'k'},          {SDL_SCANCODE_B, 'x'},
                         {SDL_SCANCODE_N, 'b'},         {SDL_SCANCODE_COMMA, 'w'},      {SDL_SCANCODE_PERIOD, 'v'},
                         {SDL_SCANCODE_SLASH, 'z'},     {SDL_SCANCODE_APOSTROPHE, '-'}, {SDL_SCANCODE_MINUS, '['}}};

// Turkish Q: the dotless i on I's place, the dotted i beside L.
const Layout kTurkish = {"Turkish", {{SDL_SCANCODE_I, 0x131}, {SDL_SCANCODE_APOSTROPHE, 'i'}}};

// A Cyrillic layout: no Latin letter anywhere; one key types nothing SDL knows.
const Layout kCyrillic = [] {
  Layout l{"Cyrillic", {}};
  for (int s = SDL_SCANCODE_A; s <= SDL_SCANCODE_Z; ++s) l.moved[SDL_Scancode(s)] = 0x430 + (s - SDL_SCANCODE_A);
  l.moved[SDL_SCANCODE_SEMICOLON] = 0x436;
  l.moved[SDL_SCANCODE_K] = SDLK_UNKNOWN;
  return l;
}();

const Layout kLayouts[] = {{"US", {}}, kAzerty, kQwertz, kDvorak, kTurkish, kCyrillic};

TEST(SdlKeyMap, CoversTheKeyTableAndNothingElse) {
  std::set<uint8_t> table, mapped;
  for (const KeyInfo& k : KeyTable) table.insert(k.scanCode);
  for (const sdlplat::SdlKey& k : sdlplat::kSdlKeys) mapped.insert(k.scan);
  EXPECT_EQ(mapped, table);
  // Both sides of a modifier, the keypad Enter, and F11/F12 after F10.
  struct {
    SDL_Scancode sdl;
    uint8_t scan;
  } cases[] = {{SDL_SCANCODE_LCTRL, 0x1D}, {SDL_SCANCODE_RCTRL, 0x1D},    {SDL_SCANCODE_RSHIFT, 0x2A},
               {SDL_SCANCODE_RALT, 0x38},  {SDL_SCANCODE_KP_ENTER, 0x1C}, {SDL_SCANCODE_F11, 0x45},
               {SDL_SCANCODE_F12, 0x46},   {SDL_SCANCODE_E, 0x12},        {SDL_SCANCODE_MINUS, 0},
               {SDL_SCANCODE_KP_6, 0}};
  for (const auto& c : cases) EXPECT_EQ(sdlplat::EngineScanCode(c.sdl), c.scan) << int(c.sdl);
}

// On every layout each letter comes from the one key labelled with it (on a
// layout without Latin letters, from its own place), every other key of the
// table from its place, and no other key reaches the table.
TEST(SdlKeyMap, LettersFollowTheirLabelsAndTheRestTheirPlaces) {
  for (const Layout& layout : kLayouts) {
    std::map<uint8_t, std::set<int>> from;  // engine key -> places that give it
    for (int s = 0; s < SDL_NUM_SCANCODES; ++s)
      if (uint8_t scan = layout.Engine(SDL_Scancode(s))) from[scan].insert(s);
    std::map<uint8_t, std::set<int>> want;
    for (const sdlplat::SdlKey& k : sdlplat::kSdlKeys) {
      if (!sdlplat::IsLetterPlace(k.sdl)) {
        want[k.scan].insert(k.sdl);
        continue;
      }
      const SDL_Scancode labelled = layout.PlaceOf(SDLK_a + (k.sdl - SDL_SCANCODE_A));
      want[k.scan].insert(labelled == SDL_SCANCODE_UNKNOWN ? k.sdl : labelled);
    }
    EXPECT_EQ(from, want) << layout.name;
  }
}

TEST(SdlKeyMap, TheKeysTheEditorNamesOnAzertyQwertzAndTurkish) {
  struct {
    const Layout& layout;
    SDL_Scancode place;
    uint8_t scan;
  } cases[] = {
      {kAzerty, SDL_SCANCODE_Q, kKeyA},          {kAzerty, SDL_SCANCODE_A, 0x10},  // labelled A and Q
      {kAzerty, SDL_SCANCODE_W, kKeyZ},          {kAzerty, SDL_SCANCODE_Z, kKeyW},
      {kAzerty, SDL_SCANCODE_SEMICOLON, 0x32},   {kAzerty, SDL_SCANCODE_M, 0},  // M beside L; ',' is no key
      {kAzerty, SDL_SCANCODE_E, kKeyE},          {kAzerty, SDL_SCANCODE_S, kKeyS},
      {kAzerty, SDL_SCANCODE_TAB, kKeyTab},      {kAzerty, SDL_SCANCODE_UP, kKeyUp},
      {kAzerty, SDL_SCANCODE_RCTRL, kKeyCtrl},   {kAzerty, SDL_SCANCODE_KP_ENTER, kKeyEnter},
      {kQwertz, SDL_SCANCODE_Y, kKeyZ},          {kQwertz, SDL_SCANCODE_Z, kKeyY},
      {kQwertz, SDL_SCANCODE_SEMICOLON, 0},      {kTurkish, SDL_SCANCODE_I, 0},  // dotless i
      {kTurkish, SDL_SCANCODE_APOSTROPHE, 0x17}, {kCyrillic, SDL_SCANCODE_A, kKeyA},
      {kCyrillic, SDL_SCANCODE_K, 0x25},         {kCyrillic, SDL_SCANCODE_SEMICOLON, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(int(c.layout.Engine(c.place)), int(c.scan)) << c.layout.name << " place " << int(c.place);
}

TEST(SdlKeyMap, TheDigitRowIsOneToZeroWhateverItTypes) {
  const SDL_Scancode row[] = {SDL_SCANCODE_1, SDL_SCANCODE_2, SDL_SCANCODE_3, SDL_SCANCODE_4, SDL_SCANCODE_5,
                              SDL_SCANCODE_6, SDL_SCANCODE_7, SDL_SCANCODE_8, SDL_SCANCODE_9, SDL_SCANCODE_0};
  for (const Layout& layout : {kAzerty, kQwertz, kCyrillic})
    for (int i = 0; i < 10; ++i) EXPECT_EQ(int(layout.Engine(row[i])), kKey1 + i) << layout.name << " digit " << i;
  // Even a letter label on a fixed key leaves it where it is.
  EXPECT_EQ(EngineKey(SDL_SCANCODE_1, SDLK_q, [](SDL_Keycode) { return SDL_SCANCODE_UNKNOWN; }), kKey1);
  EXPECT_EQ(EngineKey(SDL_SCANCODE_F4, SDLK_a, [](SDL_Keycode) { return SDL_SCANCODE_UNKNOWN; }), kKeyF4);
}

// What counts as SDL's state: the keys listed are down and no menu has them.
auto Down(std::set<SDL_Scancode> keys) {
  return [keys](SDL_Scancode k) { return keys.count(k) > 0; };
}

TEST(SdlHeldKeys, AKeyKeepsItsMeaningUntilItComesUp) {
  HeldKeys held;
  // Down as A on AZERTY; the layout turns QWERTY while it is held.
  held.Press(SDL_SCANCODE_Q, kAzerty.Engine(SDL_SCANCODE_Q));
  EXPECT_TRUE(held.Holds(kKeyA, Down({SDL_SCANCODE_Q})));
  EXPECT_FALSE(held.Holds(0x10, Down({SDL_SCANCODE_Q})));
  held.Release(SDL_SCANCODE_Q);
  EXPECT_FALSE(held.Holds(kKeyA, Down({SDL_SCANCODE_Q})));
  EXPECT_TRUE(held.down.empty());

  // A release that never came: the next press of that key counts as its new
  // label, not the old one, and the key is listed once.
  held.Press(SDL_SCANCODE_Q, kKeyA);
  held.Press(SDL_SCANCODE_Q, 0x10);
  EXPECT_TRUE(held.Holds(0x10, Down({SDL_SCANCODE_Q})));
  EXPECT_FALSE(held.Holds(kKeyA, Down({SDL_SCANCODE_Q})));
  held.Press(SDL_SCANCODE_Q, 0);  // now a key outside the table
  EXPECT_TRUE(held.down.empty());

  // Both Ctrl keys: one up, the other still holds Ctrl.
  held.Press(SDL_SCANCODE_LCTRL, kKeyCtrl);
  held.Press(SDL_SCANCODE_RCTRL, kKeyCtrl);
  held.Release(SDL_SCANCODE_LCTRL);
  EXPECT_TRUE(held.Holds(kKeyCtrl, Down({SDL_SCANCODE_RCTRL})));
  // SDL's state (or a menu) decides in the end: a key it has up is not held.
  EXPECT_FALSE(held.Holds(kKeyCtrl, Down({})));
  // A key outside the table is never held.
  held.Press(SDL_SCANCODE_KP_6, 0);
  EXPECT_EQ(held.down.size(), 1u);
}

}  // namespace
