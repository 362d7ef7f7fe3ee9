// window.cpp: full screen and window switching, window sizes, the menu bar
// with its commands, and the window's messages.
#include "shell/window.h"

#include "common/module_state.h"
#include "gfx/draw.h"
#include "gfx/frame_buffer.h"
#include "gfx/screenshot.h"
#include "shell/display.h"

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

// The Window Size pop-up, Video's second entry; null before the bar is built.
MenuEntry* SizeMenu() {
  if (Win.MenuBar.size() < 2 || Win.MenuBar[1].children.size() < 2) return nullptr;
  return &Win.MenuBar[1].children[1];
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
  if (Win.MenuBar.size() < 2 || Win.MenuBar[1].children.size() < 3) return;
  MenuEntry& scaling = Win.MenuBar[1].children[2];
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
      Popup("&Video", {Command("&Full Screen  F4", kCommandFullScreen), Popup("Window &Size"), Popup("S&caling")}),
      Popup("&Debug",
            {Command("Toggle &Orbets  F11", kCommandOrbets), Command("Toggle &2P Mode   F2", kCommandTwoPlayers),
             Command("Toggle &FrameDump F3", kCommandFrameDump), Command("Screen &Shot      F9", kCommandScreenShot),
             Popup("Player&1"), Popup("Player&2", {Command("None", kCommandPlayerNone)}), Popup("Level &Warp")}),
      Popup("&Help", {Command("&Contents     F1", kCommandContents), Separator(), Command("&About", kCommandAbout)}),
  };
  WriteSizeEntries("&Reizeable");
  WriteScalingEntries();
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
    case kCommandAbout: platform::MessageBox(kAboutText, kAboutCaption, platform::BoxIcon::Info, false); break;
    default: break;  // Orbets, 2P Mode, FrameDump, Contents, None and the rest do nothing
  }
  return WindowRequest::None;
}
