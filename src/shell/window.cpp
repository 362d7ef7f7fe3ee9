// window.cpp: full screen and window switching, window sizes, the menu bar
// with its commands, and the window's messages.
#include "shell/window.h"

#include "common/module_state.h"
#include "gfx/draw.h"
#include "gfx/frame_buffer.h"
#include "gfx/screenshot.h"
#include "modes/edit_history.h"
#include "modes/editor.h"
#include "shell/display.h"
#include "shell/frame_dump.h"

WindowState Win;

void ResetWindow() { Win = {}; }
const ModuleReset kWindowReset(ResetWindow);

namespace {

using platform::MenuEntry;
using platform::MenuKind;

constexpr const char* kAboutCaption = "About Tarn";
constexpr const char* kAboutText =
    "Tarn\n\n"
    "A tile-based scrolling engine with a built-in level editor.\n\n"
    "Engine, editor and demo game by the Tarn developers.\n"
    "Every tile, font, sound and level of the demo is made by our own code.\n"
    "Window and sound by SDL2, menus by Dear ImGui.";

MenuEntry Command(const char* text, uint32_t id) { return {MenuKind::Command, text, id, false, {}}; }
MenuEntry Separator() { return {MenuKind::Separator, "", 0, false, {}}; }
MenuEntry Popup(const char* text, std::vector<MenuEntry> entries = {}) {
  return {MenuKind::Popup, text, 0, false, std::move(entries)};
}

// Places of the bar's menus.
constexpr size_t kEditMenu = 1, kVideoMenu = 2;

// The Window Size pop-up, Video's second entry; null before the bar is built.
MenuEntry* SizeMenu() {
  if (Win.MenuBar.size() <= kVideoMenu || Win.MenuBar[kVideoMenu].children.size() < 2) return nullptr;
  return &Win.MenuBar[kVideoMenu].children[1];
}

// "&Undo paint  Ctrl+Z", or "&Undo  Ctrl+Z" greyed when there is nothing.
MenuEntry EditCommand(const char* verb, const std::string& name, const char* keys, uint32_t id) {
  MenuEntry e = Command("", id);
  e.text = std::string(verb) + (name.empty() ? "" : " " + name) + "  " + keys;
  e.enabled = !name.empty();
  return e;
}

// Writes the three size entries with the check at WindowSizeMode. The bar is
// first built with the old spelling of the third; every size choice writes the new.
void WriteSizeEntries(const char* third) {
  MenuEntry* size = SizeMenu();
  if (!size) return;
  const char* texts[3] = {"&Normal", "&Double", third};
  size->children.clear();
  for (uint32_t i = 0; i < 3; ++i) {
    size->children.push_back(Command(texts[i], kCommandSizeNormal + i));
    size->children.back().checked = Win.WindowSizeMode == i;
  }
}

// The Scaling pop-up, Video's third entry, with the check at Scaling.
void WriteScalingEntries() {
  if (Win.MenuBar.size() <= kVideoMenu || Win.MenuBar[kVideoMenu].children.size() < 3) return;
  MenuEntry& scaling = Win.MenuBar[kVideoMenu].children[2];
  scaling.children = {Command("&Whole Steps", kCommandScaleWholeSteps), Command("&Fill", kCommandScaleFill)};
  scaling.children[Win.Scaling == 1 ? 1 : 0].checked = true;
}

void ChooseScaling(uint8_t scaling) {
  Win.Scaling = scaling;
  platform::SetFillScaling(scaling == 1);
  WriteScalingEntries();
  platform::SetMenuBar(Win.MenuBar);
}

void ChooseWindowSize(uint8_t mode) {
  Win.WindowSizeMode = mode;
  ApplyWindowSize();
  WriteSizeEntries("&Resizeable");
  platform::SetMenuBar(Win.MenuBar);
}

}  // namespace

// The display's bounds after a move or size: the client area on the screen.
void UpdateBounds() {
  int left, top, right, bottom;
  platform::GetClientRect(left, top, right, bottom);
  Win.WindowRect = {left, top, right, bottom};
}

int OpenDisplay(int width, int height) {
  const bool windowed = Win.Windowed != 0;
  if (const int result = SetUpDisplay(width, height, windowed); result != 0) return result;
  if (windowed) ApplyWindowSize();
  CheckPixelFormat();
  return 0;
}

void StartVideoMode(uint8_t mode) {
  if (mode == 0 || mode == 2 || mode == 4) {
    if (OpenDisplay(mode == 0 ? 320 : 640, mode == 0 ? 200 : 480) != 0) {
      platform::MessageBox("DirectDraw init failed.", "Error!", platform::BoxIcon::Stop);
      platform::ExitProcess(0);
    }
  }
  SelectVideoMode(mode);
}

void BuildMenuBar() {
  Win.MenuBar = {
      Popup("&File",
            {Command("Toggle &Menu  F8", kCommandToggleMenu), Separator(), Command("E&xit         ESC", kCommandExit)}),
      // Alt+I: Alt+E is the editor's speed step of ten, and an open bar takes its letter.
      Popup("Ed&it",
            {EditCommand("&Undo", "", "Ctrl+Z", kCommandUndo), EditCommand("&Redo", "", "Ctrl+Y", kCommandRedo)}),
      Popup("&Video", {Command("&Full Screen  F4", kCommandFullScreen), Popup("Window &Size"), Popup("S&caling")}),
      Popup("&Debug",
            {Command("Toggle &Orbets  F11", kCommandOrbets), Command("Toggle &2P Mode   F2", kCommandTwoPlayers),
             Command("Toggle &FrameDump F3", kCommandFrameDump), Command("Screen &Shot      F9", kCommandScreenShot),
             Popup("Player&1"), Popup("Player&2", {Command("None", kCommandPlayerNone)}), Popup("Level &Warp")}),
      Popup("&Help", {Command("&Contents     F1", kCommandContents), Separator(), Command("&About", kCommandAbout)}),
  };
  WriteSizeEntries("&Reizeable");
  WriteScalingEntries();
  UpdateEditMenu();
  platform::SetMenuBar(Win.MenuBar);
}

void UpdateEditMenu() {
  if (Win.MenuBar.size() <= kEditMenu) return;
  std::vector<MenuEntry>& entries = Win.MenuBar[kEditMenu].children;
  const MenuEntry undo = EditCommand("&Undo", UndoName(), "Ctrl+Z", kCommandUndo);
  const MenuEntry redo = EditCommand("&Redo", RedoName(), "Ctrl+Y", kCommandRedo);
  if (entries.size() == 2 && entries[0].text == undo.text && entries[1].text == redo.text &&
      entries[0].enabled == undo.enabled && entries[1].enabled == redo.enabled)
    return;
  entries = {undo, redo};
  platform::SetMenuBar(Win.MenuBar);
}

void ToggleMenuBar() {
  // The platform keeps the frame's area as it is: the window grows or shrinks
  // by the bar alone, so a Resizeable window never creeps.
  if (Win.MenuState == 1) {
    platform::SetMenuBarShown(false);
    Win.MenuHeight = -1;
    Win.MenuState = 0;
  } else {
    platform::SetMenuBarShown(true);
    Win.MenuHeight = platform::MenuBarHeight();
    Win.MenuState = 1;
  }
  // Full screen hides the pointer, but a bar is worked with it.
  if (!Win.Windowed) platform::ShowCursor(Win.MenuState == 1);
  UpdateBounds();
}

void ApplyWindowSize() {
  static constexpr int32_t kLimits[3][4] = {{320, 200, 320, 200}, {640, 400, 640, 400}, {0, 0, 9999, 9999}};
  const int32_t* l = kLimits[Win.WindowSizeMode < 3 ? Win.WindowSizeMode : 0];
  Win.MinClientWidth = l[0];
  Win.MinClientHeight = l[1];
  Win.MaxClientWidth = l[2];
  Win.MaxClientHeight = l[3];
  platform::SetClientLimits(l[0], l[1], l[2], l[3]);
  // A Resizeable window keeps the size the user gave it.
  if (Win.WindowSizeMode != 2) platform::SetClientSize(l[0], l[1]);
  UpdateBounds();
}

void ToggleFullScreen() {
  if (Win.Windowed) {
    Win.Windowed = 0;
    if (Win.MenuState != 0) {
      ToggleMenuBar();
      Win.MenuState = 2;
    }
    platform::ShowCursor(false);
    Win.CaptionHeight = 0;
  } else {
    // CaptionHeight stays 0: the platform measures the pointer against the
    // frame as shown, so no window metric enters the mouse arithmetic.
    Win.Windowed = 1;
    if (Win.MenuState == 2) ToggleMenuBar();
    platform::ShowCursor(true);
  }
  OpenDisplay(320, 200);
  UpdateBounds();
  if (Win.Windowed) {
    // The window form has its own pixel format: rebuild every slot's pixel value.
    for (uint16_t slot = 0; slot < 256; ++slot) {
      uint8_t rgb[3];
      GetPaletteEntry(slot, rgb);
      SetPaletteEntry(slot, rgb);
    }
  }
}

WindowRequest HandleMenuCommand(uint32_t id) {
  switch (id) {
    case kCommandToggleMenu: ToggleMenuBar(); break;
    case kCommandExit: return WindowRequest::Quit;
    case kCommandFullScreen: ToggleFullScreen(); break;
    case kCommandSizeNormal:
    case kCommandSizeDouble:
    case kCommandSizeResizeable: ChooseWindowSize(uint8_t(id - kCommandSizeNormal)); break;
    case kCommandScaleWholeSteps:
    case kCommandScaleFill: ChooseScaling(uint8_t(id - kCommandScaleWholeSteps)); break;
    case kCommandScreenShot: {
      // Where the player looks: a shot that was not written must not pass in silence.
      std::string problem;
      if (!SaveScreenshot(0, problem)) platform::MessageBox(problem, "Screen Shot", platform::BoxIcon::Stop);
      break;
    }
    case kCommandFrameDump: ToggleFrameDump(); break;
    case kCommandAbout: platform::MessageBox(kAboutText, kAboutCaption, platform::BoxIcon::Info, false); break;
    case kCommandUndo: EditorUndo(); break;
    case kCommandRedo: EditorRedo(); break;
    default: break;  // Orbets, 2P Mode, Contents, None and the rest do nothing
  }
  return WindowRequest::None;
}
