// sdl_menu.h: the menu bar, drawn with Dear ImGui above the frame: the
// engine's entries with their Alt mnemonics and keyboard navigation, and the
// keys and clicks that go to the menu instead of the game.
#pragma once

#include <SDL2/SDL.h>

#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace sdlplat {

// Height of the bar in window pixels: the font's 13 rows and the padding.
constexpr int kMenuBarHeight = 21;

// Binds the menu's drawing to the renderer (again after the renderer was
// made anew), or with none to the browser's current WebGL context; the first
// call starts ImGui.
void MenuAttach(SDL_Window* window, SDL_Renderer* renderer);
// Unbinds it before the renderer goes.
void MenuDetach();

// Keeps a copy of the engine's bar.
void MenuSetBar(const std::vector<platform::MenuEntry>& menus);
// The bar was shown or hidden: a hidden bar closes its menus.
void MenuShown(bool shown);

// Sees each SDL event before the game does. True when the event went to the
// menu: a key or click the game must not see.
bool MenuEvent(const SDL_Event& e);

// Draws the bar and any open menu over the presented picture, and queues the
// Command message of an entry chosen.
void MenuDraw();

// True while a menu is open: the game then sees no keys at all.
bool MenuOpen();
// True for a key or a mouse button (0 left, 1 right) that went to the menu
// and is still down.
bool MenuHasKey(SDL_Scancode key);
bool MenuHasButton(int index);

// Where the mnemonic letter sits in text: after the first "&" that does not
// start a "&&" (a plain "&"); npos when there is none.
inline size_t MnemonicIndex(const std::string& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] != '&') return i + 1;
    ++i;
  }
  return std::string::npos;
}

// The upper-case mnemonic of text, 0 when it has none.
inline char MenuMnemonic(const std::string& text) {
  const size_t at = MnemonicIndex(text);
  return at == std::string::npos ? 0 : char(std::toupper(static_cast<unsigned char>(text[at])));
}

// The text as shown: "&" marks dropped, "&&" a plain "&".
inline std::string MenuShownText(const std::string& text) {
  std::string shown;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && ++i >= text.size()) break;
    shown += text[i];
  }
  return shown;
}

}  // namespace sdlplat
