// sdl_menu.cpp: the menu bar on Dear ImGui. ImGui draws the bar, its pop-ups
// and check marks and moves through them with the arrows; this file adds what
// a desktop menu has and ImGui lacks: "&" mnemonics (Alt+letter opens a menu,
// a letter picks an entry in an open one, underlined letters), and it keeps
// the menu's keys and clicks away from the game.
#include "platform/sdl/sdl_menu.h"

#include <imgui.h>
#include <imgui_impl_sdl.h>
#include <imgui_impl_sdlrenderer.h>
#ifdef __EMSCRIPTEN__
#include <imgui_impl_opengl3.h>
#endif
#include <imgui_internal.h>

#include <array>

#include "platform/sdl/sdl_state.h"

namespace sdlplat {

namespace {

using platform::MenuEntry;
using platform::MenuKind;
using Path = std::vector<int>;  // child indices from the bar down to an entry

struct MenuState {
  bool started = false;              // the ImGui context and its SDL side exist
  bool bound = false;                // ImGui has a backend to draw with
  SDL_Renderer* renderer = nullptr;  // the renderer ImGui draws with; none for WebGL
  std::vector<MenuEntry> bar;
  bool shown = false;
  bool open = false;             // a menu is open (or asked for by a key)
  Path deepest;                  // the innermost open pop-up at the last drawing
  Path highlighted;              // the entry under the keyboard highlight then
  Path openRequest;              // a pop-up its letter asked to open
  Path highlightRequest;         // an entry a repeated letter moves the highlight to
  bool closeRequest = false;     // a letter chose a command: close every menu
  bool keyboardRequest = false;  // the request came from keys: show the highlight
  Path path;                     // the entry being drawn
  std::array<bool, SDL_NUM_SCANCODES> keyTaken{};
  // ImGui samples its keys once a frame: a key pressed since the last frame
  // is let go only after the next one has seen it down.
  std::array<bool, SDL_NUM_SCANCODES> unseenPress{}, releaseAfterFrame{};
  std::array<bool, 2> buttonTaken{};
};
MenuState Menus;

// A sunset palette to match the demo's coast: plum panels, cream text,
// orange for what the pointer or the keys are on.
ImVec4 Rgb(uint32_t rgb) {
  return ImVec4(float(rgb >> 16 & 255) / 255, float(rgb >> 8 & 255) / 255, float(rgb & 255) / 255, 1);
}

void ApplyLook() {
  ImGuiStyle& s = ImGui::GetStyle();
  s.WindowRounding = s.PopupRounding = s.FrameRounding = s.ChildRounding = 0;
  s.WindowBorderSize = s.PopupBorderSize = 1;
  s.FramePadding = ImVec2(6, (kMenuBarHeight - 13) / 2);
  s.ItemSpacing = ImVec2(10, 3);
  s.WindowPadding = ImVec2(6, 5);
  s.DisplaySafeAreaPadding = ImVec2(0, 0);
  // Hard pixel edges, like the frame below.
  s.AntiAliasedLines = s.AntiAliasedLinesUseTex = s.AntiAliasedFill = false;
  ImVec4* c = s.Colors;
  c[ImGuiCol_Text] = Rgb(0xF6E7C8);
  c[ImGuiCol_TextDisabled] = Rgb(0x9C86A6);
  c[ImGuiCol_MenuBarBg] = Rgb(0x2B1838);
  c[ImGuiCol_WindowBg] = c[ImGuiCol_PopupBg] = Rgb(0x24142F);
  c[ImGuiCol_Border] = Rgb(0x74507E);
  c[ImGuiCol_Separator] = Rgb(0x5C3C6A);
  c[ImGuiCol_Header] = Rgb(0x9E3F2A);
  c[ImGuiCol_HeaderHovered] = Rgb(0xC65A30);
  c[ImGuiCol_HeaderActive] = Rgb(0xE27A3A);
  c[ImGuiCol_CheckMark] = Rgb(0xFFD36E);
  c[ImGuiCol_NavHighlight] = Rgb(0xF2B36A);
}

void Start(SDL_Window* window) {
  IMGUI_CHECKVERSION();
  ImGui::CreateContext();
  ImGuiIO& io = ImGui::GetIO();
  io.IniFilename = nullptr;  // nothing to remember between runs
  io.LogFilename = nullptr;
  // Arrows, Enter and Esc work the menus; the engine shows and hides the cursor itself.
  io.ConfigFlags |= ImGuiConfigFlags_NavEnableKeyboard | ImGuiConfigFlags_NoMouseCursorChange;
  ApplyLook();
  ImGui_ImplSDL2_InitForSDLRenderer(window);
  Menus.started = true;
}

// The entries of the pop-up at path (the bar's menus for an empty path).
std::vector<MenuEntry>* EntriesAt(const Path& path) {
  std::vector<MenuEntry>* entries = &Menus.bar;
  for (int i : path) {
    if (i < 0 || size_t(i) >= entries->size()) return nullptr;
    entries = &(*entries)[size_t(i)].children;
  }
  return entries;
}

void QueueCommand(uint32_t id) { Sdl.messages.push_back({platform::MessageKind::Command, int32_t(id)}); }

// Keyboard use shows ImGui's highlight and hides the pointer's hover.
void ShowHighlight() {
  GImGui->NavDisableHighlight = false;
  GImGui->NavDisableMouseHover = true;
}

// Underlines the mnemonic of a label drawn with its text at origin: one crisp
// row under the glyph's ink, a pixel clear of the baseline.
void Underline(const std::string& text, ImVec2 origin, ImDrawList* list, bool enabled = true) {
  const size_t at = MnemonicIndex(text);
  if (at == std::string::npos) return;
  const ImFontGlyph* glyph = ImGui::GetFont()->FindGlyph(ImWchar(static_cast<unsigned char>(text[at])));
  if (!glyph) return;
  const float x = float(int(origin.x + ImGui::CalcTextSize(MenuShownText(text.substr(0, at - 1)).c_str()).x));
  const float y = float(int(origin.y + ImGui::GetFont()->Ascent + 2));
  list->AddRectFilled(ImVec2(x + glyph->X0, y), ImVec2(x + glyph->X1, y + 1),
                      ImGui::GetColorU32(enabled ? ImGuiCol_Text : ImGuiCol_TextDisabled));
}

// Where ImGui puts the label of the next item: in the bar half the item
// spacing in and down by the frame padding; in a pop-up at its label column.
ImVec2 LabelOrigin(bool inBar) {
  ImVec2 p = ImGui::GetCursorScreenPos();
  ImGuiWindow* w = ImGui::GetCurrentWindow();
  if (inBar)
    return ImVec2(p.x + float(int(ImGui::GetStyle().ItemSpacing.x * 0.5f)), p.y + w->DC.CurrLineTextBaseOffset);
  return ImVec2(p.x + w->DC.MenuColumns.OffsetLabel, p.y);
}

void DrawEntries(std::vector<MenuEntry>& entries, bool inBar);

// Called right after an entry's item: notes the keyboard highlight and moves
// it here when a letter asked for it.
void FollowHighlight() {
  if (Menus.highlightRequest == Menus.path) {
    ImGui::SetFocusID(ImGui::GetItemID(), ImGui::GetCurrentWindow());
    ShowHighlight();
    Menus.highlightRequest.clear();
  }
  if (ImGui::GetItemID() == ImGui::GetFocusID()) Menus.highlighted = Menus.path;
}

void DrawEntry(MenuEntry& e, size_t index, bool inBar) {
  if (e.kind == MenuKind::Separator) {
    ImGui::Separator();
    return;
  }
  // "##" and the index keep two entries of the same text apart.
  const std::string label = MenuShownText(e.text) + "##" + std::to_string(index);
  const ImVec2 origin = LabelOrigin(inBar);
  // An open pop-up becomes the current window: the label's window draws the line.
  ImDrawList* list = ImGui::GetWindowDrawList();
  if (e.kind == MenuKind::Command) {
    if (ImGui::MenuItem(label.c_str(), nullptr, e.checked, e.enabled)) QueueCommand(e.id);
    Underline(e.text, origin, list, e.enabled);
    FollowHighlight();
    return;
  }
  if (Menus.openRequest == Menus.path) {
    ImGui::OpenPopup(label.c_str());
    if (Menus.keyboardRequest) ShowHighlight();
  }
  const bool open = ImGui::BeginMenu(label.c_str());
  Underline(e.text, origin, list);
  if (!open) FollowHighlight();  // an open one's Begin has replaced the last item
  if (open) {
    if (Menus.path.size() > Menus.deepest.size()) Menus.deepest = Menus.path;
    DrawEntries(e.children, false);
    ImGui::EndMenu();
  }
}

void DrawEntries(std::vector<MenuEntry>& entries, bool inBar) {
  for (size_t i = 0; i < entries.size(); ++i) {
    Menus.path.push_back(int(i));
    DrawEntry(entries[i], i, inBar);
    Menus.path.pop_back();
  }
}

// A letter typed while a menu is open: with Alt, or when no entry of the open
// pop-up has it, it may name another menu of the bar. One entry with the
// letter is chosen at once; several take the highlight in turn.
void TypeLetter(char letter, bool alt) {
  std::vector<MenuEntry>* entries = EntriesAt(Menus.deepest);
  std::vector<int> matches;
  if (entries && !alt)
    for (size_t i = 0; i < entries->size(); ++i)
      if ((*entries)[i].enabled && MenuMnemonic((*entries)[i].text) == letter) matches.push_back(int(i));
  if (matches.empty()) {
    for (size_t i = 0; i < Menus.bar.size(); ++i)
      if (MenuMnemonic(Menus.bar[i].text) == letter) {
        Menus.openRequest = {int(i)};
        Menus.keyboardRequest = true;
      }
    return;
  }
  Path at = Menus.deepest;
  if (matches.size() > 1) {
    // The next match after the highlighted entry, round to the first.
    int next = matches.front();
    const bool inThisPopup =
        Menus.highlighted.size() == at.size() + 1 && std::equal(at.begin(), at.end(), Menus.highlighted.begin());
    for (int m : matches)
      if (inThisPopup && m > Menus.highlighted.back()) {
        next = m;
        break;
      }
    at.push_back(next);
    Menus.highlightRequest = at;
    return;
  }
  const MenuEntry& e = (*entries)[size_t(matches.front())];
  at.push_back(matches.front());
  if (e.kind == MenuKind::Popup) {
    Menus.openRequest = at;
    Menus.keyboardRequest = true;
  } else if (e.kind == MenuKind::Command) {
    QueueCommand(e.id);
    Menus.closeRequest = true;
    Menus.open = false;
  }
}

// The upper-case letter or digit a key event types, or 0.
char EventLetter(const SDL_KeyboardEvent& k) {
  const SDL_Keycode sym = k.keysym.sym;
  if ((sym >= 'a' && sym <= 'z') || (sym >= '0' && sym <= '9')) return char(std::toupper(int(sym)));
  return 0;
}

// The key ImGui reads for an SDL key that moves through menus, or
// SDL_SCANCODE_UNKNOWN. Enter chooses like Space.
SDL_Scancode NavigationKey(SDL_Scancode key) {
  switch (key) {
    case SDL_SCANCODE_UP:
    case SDL_SCANCODE_DOWN:
    case SDL_SCANCODE_LEFT:
    case SDL_SCANCODE_RIGHT:
    case SDL_SCANCODE_HOME:
    case SDL_SCANCODE_END:
    case SDL_SCANCODE_ESCAPE:
    case SDL_SCANCODE_SPACE: return key;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER: return SDL_SCANCODE_SPACE;
    default: return SDL_SCANCODE_UNKNOWN;
  }
}

void FeedKey(SDL_Scancode key, bool down) {
  const SDL_Scancode nav = NavigationKey(key);
  if (nav == SDL_SCANCODE_UNKNOWN) return;
  if (down) {
    ImGui::GetIO().KeysDown[nav] = true;
    Menus.unseenPress[nav] = true;
  } else if (Menus.unseenPress[nav]) {
    Menus.releaseAfterFrame[nav] = true;
  } else {
    ImGui::GetIO().KeysDown[nav] = false;
  }
}

bool KeyEvent(const SDL_Event& e) {
  const SDL_Scancode key = e.key.keysym.scancode;
  if (e.type == SDL_KEYUP) {
    Menus.keyTaken[key] = false;
    FeedKey(key, false);
    return false;
  }
  if (!Menus.shown) return false;
  const bool alt = (e.key.keysym.mod & KMOD_ALT) != 0;
  const char letter = EventLetter(e.key);
  if (!Menus.open) {
    // Closed: only Alt with the letter of a menu of the bar acts.
    if (!alt || !letter) return false;
    for (size_t i = 0; i < Menus.bar.size(); ++i) {
      if (MenuMnemonic(Menus.bar[i].text) != letter) continue;
      Menus.openRequest = {int(i)};
      Menus.keyboardRequest = true;
      Menus.open = true;
      Menus.keyTaken[key] = true;
      // The Alt still down went with it.
      const Uint8* state = SDL_GetKeyboardState(nullptr);
      for (SDL_Scancode a : {SDL_SCANCODE_LALT, SDL_SCANCODE_RALT}) Menus.keyTaken[a] = Menus.keyTaken[a] || state[a];
      return true;
    }
    return false;
  }
  Menus.keyTaken[key] = true;
  if (letter) {
    if (!e.key.repeat) TypeLetter(letter, alt);
  } else {
    FeedKey(key, true);
  }
  return true;
}

}  // namespace

void MenuAttach(SDL_Window* window, SDL_Renderer* renderer) {
  if (!Menus.started) Start(window);
  if (Menus.bound && Menus.renderer == renderer) return;
  MenuDetach();
#ifdef __EMSCRIPTEN__
  if (!renderer) ImGui_ImplOpenGL3_Init("#version 100");
#endif
  if (renderer) ImGui_ImplSDLRenderer_Init(renderer);
  Menus.renderer = renderer;
  Menus.bound = true;
}

void MenuDetach() {
  if (!Menus.bound) return;
#ifdef __EMSCRIPTEN__
  if (!Menus.renderer) ImGui_ImplOpenGL3_Shutdown();
#endif
  if (Menus.renderer) ImGui_ImplSDLRenderer_Shutdown();
  Menus.renderer = nullptr;
  Menus.bound = false;
}

void MenuSetBar(const std::vector<MenuEntry>& menus) { Menus.bar = menus; }

void MenuShown(bool shown) {
  Menus.shown = shown;
  if (shown) return;
  Menus.open = false;
  Menus.closeRequest = true;
  Menus.openRequest.clear();
  Menus.highlightRequest.clear();
}

bool MenuEvent(const SDL_Event& e) {
  if (!Menus.started) return false;
  switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: return KeyEvent(e);
    case SDL_MOUSEBUTTONDOWN: {
      ImGui_ImplSDL2_ProcessEvent(&e);
      // A click on the bar, or anywhere while a menu is open, is the menu's.
      const int index = e.button.button == SDL_BUTTON_LEFT ? 0 : e.button.button == SDL_BUTTON_RIGHT ? 1 : -1;
      const bool taken = Menus.shown && (Menus.open || e.button.y < kMenuBarHeight);
      if (taken && index >= 0) Menus.buttonTaken[size_t(index)] = true;
      return taken;
    }
    case SDL_MOUSEBUTTONUP:
      if (e.button.button == SDL_BUTTON_LEFT) Menus.buttonTaken[0] = false;
      if (e.button.button == SDL_BUTTON_RIGHT) Menus.buttonTaken[1] = false;
      return false;
    case SDL_MOUSEWHEEL:
    case SDL_WINDOWEVENT: ImGui_ImplSDL2_ProcessEvent(&e); return false;
    default: return false;
  }
}

void MenuDraw() {
  if (!Menus.bound || !Menus.shown) return;
#ifdef __EMSCRIPTEN__
  if (!Menus.renderer) ImGui_ImplOpenGL3_NewFrame();
#endif
  if (Menus.renderer) ImGui_ImplSDLRenderer_NewFrame();
  ImGui_ImplSDL2_NewFrame();
  ImGuiIO& io = ImGui::GetIO();
  // Two presents within one tick of a coarse clock (a browser's) give a zero
  // delta, which ImGui refuses.
  if (io.DeltaTime <= 0) io.DeltaTime = 1.0f / 60;
  int x, y;
  if (PointerInWindow(x, y)) io.MousePos = ImVec2(float(x), float(y));
  // Alt and its letters are handled above: ImGui's own Alt would put the
  // keyboard on the bar while the game uses the arrows.
  io.KeyAlt = io.KeyCtrl = io.KeyShift = io.KeySuper = false;
  ImGui::NewFrame();
  for (size_t k = 0; k < Menus.unseenPress.size(); ++k) {
    if (Menus.releaseAfterFrame[k]) io.KeysDown[k] = false;
    Menus.unseenPress[k] = Menus.releaseAfterFrame[k] = false;
  }
  if (Menus.closeRequest && GImGui->OpenPopupStack.Size > 0) ImGui::ClosePopupToLevel(0, false);
  Menus.closeRequest = false;
  Menus.deepest.clear();
  Menus.highlighted.clear();
  if (ImGui::BeginMainMenuBar()) {
    DrawEntries(Menus.bar, true);
    ImGui::EndMainMenuBar();
  }
  Menus.openRequest.clear();
  Menus.highlightRequest.clear();
  Menus.keyboardRequest = false;
  Menus.open = ImGui::IsPopupOpen(nullptr, ImGuiPopupFlags_AnyPopupId | ImGuiPopupFlags_AnyPopupLevel);
  // With every menu closed the bar lets go of the keyboard.
  if (!Menus.open && GImGui->NavWindow) ImGui::FocusWindow(nullptr);
  ImGui::Render();
#ifdef __EMSCRIPTEN__
  if (!Menus.renderer) ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
#endif
  if (Menus.renderer) ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
}

bool MenuOpen() { return Menus.open; }
bool MenuHasKey(SDL_Scancode key) { return Menus.keyTaken[key]; }
bool MenuHasButton(int index) { return index >= 0 && index < 2 && Menus.buttonTaken[size_t(index)]; }

}  // namespace sdlplat
