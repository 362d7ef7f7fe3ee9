// window_test.cpp: the menu bar and its commands, the bar and full screen
// following F8 and F4, window sizes, window messages, and the pointer mapped
// to the frame pixel under it in every mode.
#include <filesystem>
#include <string>
#include <vector>

#include "gfx/frame_buffer.h"
#include "input/input.h"
#include "level/file_fixture.h"
#include "shell/main_loop.h"
#include "shell/window.h"

namespace {

namespace fs = std::filesystem;

// Runs in its own folder, where a screenshot would land.
class WindowTest : public FileTest {
 protected:
  void SetUp() override {
    FileTest::SetUp();
    WorkIn();
  }
};

// The bar the platform holds, one line an entry: indent per level, the text,
// then "=id" for a command, "*" for a check mark, "[]" for a pop-up.
void Flatten(const std::vector<platform::MenuEntry>& entries, const std::string& indent,
             std::vector<std::string>& out) {
  for (const auto& e : entries) {
    switch (e.kind) {
      case platform::MenuKind::Separator: out.push_back(indent + "---"); break;
      case platform::MenuKind::Command:
        out.push_back(indent + e.text + "=" + std::to_string(e.id) + (e.checked ? "*" : "") +
                      (e.enabled ? "" : " greyed"));
        break;
      case platform::MenuKind::Popup:
        out.push_back(indent + e.text + "[]");
        Flatten(e.children, indent + "  ", out);
        break;
    }
  }
}
std::vector<std::string> PlatformBar() {
  std::vector<std::string> out;
  Flatten(nullplat::MenuBar(), "", out);
  return out;
}
std::vector<std::string> SizeEntries() {
  std::vector<std::string> bar = PlatformBar();
  auto at = std::find(bar.begin(), bar.end(), "  Window &Size[]");
  return at == bar.end() ? std::vector<std::string>{} : std::vector<std::string>(at + 1, at + 4);
}

// One press of a hot key, released before the next.
void Press(uint8_t key) {
  nullplat::TapKey(key);
  ReadKeyboard();
  CheckHotKeys();
  ReadKeyboard();
  CheckHotKeys();
}

std::pair<int, int> Client() {
  int w, h;
  platform::GetClientSize(w, h);
  return {w, h};
}

}  // namespace

TEST_F(WindowTest, TheBarHoldsEveryMenuTextIdentifierAndCheckMark) {
  BuildMenuBar();
  const std::vector<std::string> want = {
      "&File[]",
      "  Toggle &Menu  F8=1000",
      "  ---",
      "  E&xit         ESC=1001",
      "Ed&it[]",
      "  &Undo  Ctrl+Z=5000 greyed",
      "  &Redo  Ctrl+Y=5001 greyed",
      "&Video[]",
      "  &Full Screen  F4=2000",
      "  Window &Size[]",
      "    &Normal=2001*",
      "    &Double=2002",
      "    &Reizeable=2003",
      "  S&caling[]",
      "    &Whole Steps=2004*",
      "    &Fill=2005",
      "&Debug[]",
      "  Toggle &Orbets  F11=3000",
      "  Toggle &2P Mode   F2=3001",
      "  Toggle &FrameDump F3=3002",
      "  Screen &Shot      F9=3003",
      "  Player&1[]",
      "  Player&2[]",
      "    None=8500",
      "  Level &Warp[]",
      "&Help[]",
      "  &Contents     F1=4000",
      "  ---",
      "  &About=4001",
  };
  EXPECT_EQ(PlatformBar(), want);
  // Alt with W, E, R or T steps a speed by ten in the editor: no menu may take them.
  for (const platform::MenuEntry& menu : nullplat::MenuBar()) {
    const size_t mark = menu.text.find('&');
    ASSERT_NE(mark, std::string::npos) << menu.text;
    EXPECT_EQ(std::string("WwEeRrTt").find(menu.text[mark + 1]), std::string::npos) << menu.text;
  }
  // A bar built in another size mode checks that size.
  Win.WindowSizeMode = 1;
  BuildMenuBar();
  EXPECT_EQ(SizeEntries(), (std::vector<std::string>{"    &Normal=2001", "    &Double=2002*", "    &Reizeable=2003"}));
  // The check follows the scaling chosen, and a bar built later keeps it.
  HandleMenuCommand(kCommandScaleFill);
  BuildMenuBar();
  auto bar = PlatformBar();
  auto at = std::find(bar.begin(), bar.end(), "  S&caling[]");
  ASSERT_NE(at, bar.end());
  EXPECT_EQ(std::vector<std::string>(at + 1, at + 3),
            (std::vector<std::string>{"    &Whole Steps=2004", "    &Fill=2005*"}));
}

// The third entry is spelt right from the first choice on; Resizeable keeps
// whatever size the window has through the bar, the mode and full screen.
TEST_F(WindowTest, SizeChoicesRewriteTheEntriesAndSizeTheWindow) {
  BuildMenuBar();
  Press(kKeyF4);
  ASSERT_EQ(Win.Windowed, 1);
  EXPECT_EQ(Client(), std::make_pair(320, 200));
  struct {
    uint32_t id;
    std::vector<std::string> entries;
    std::pair<int, int> client;
  } steps[] = {
      {kCommandSizeDouble, {"    &Normal=2001", "    &Double=2002*", "    &Resizeable=2003"}, {640, 400}},
      {kCommandSizeResizeable, {"    &Normal=2001", "    &Double=2002", "    &Resizeable=2003*"}, {640, 400}},
      {kCommandSizeNormal, {"    &Normal=2001*", "    &Double=2002", "    &Resizeable=2003"}, {320, 200}},
  };
  for (const auto& s : steps) {
    HandleMenuCommand(s.id);
    EXPECT_EQ(Win.WindowSizeMode, s.id - kCommandSizeNormal);
    EXPECT_EQ(SizeEntries(), s.entries) << s.id;
    EXPECT_EQ(Client(), s.client) << s.id;
    nullplat::ResizeByUser(900, 700);  // only a Resizeable window gives way
    EXPECT_EQ(Client(), s.id == kCommandSizeResizeable ? std::make_pair(900, 700) : s.client) << s.id;
  }
  HandleMenuCommand(kCommandSizeResizeable);
  nullplat::ResizeByUser(701, 457);
  for (uint32_t id :
       {kCommandToggleMenu, kCommandToggleMenu, kCommandSizeResizeable, kCommandFullScreen, kCommandFullScreen})
    HandleMenuCommand(id);
  EXPECT_EQ(Win.Windowed, 1);
  EXPECT_EQ(Client(), std::make_pair(701, 457)) << "no growth by a frame or a bar";
}

TEST_F(WindowTest, CommandsWithoutAnActionChangeNothing) {
  BuildMenuBar();
  Press(kKeyF4);
  const auto bar = PlatformBar();
  const auto client = Client();
  for (uint32_t id : {3000u, 3001u, 4000u, 8500u, 8000u, 9999u, 0u, 999u, 1002u, 2006u, 4002u, 0xFFFFFFFFu}) {
    HandleMenuCommand(id);
    EXPECT_EQ(PlatformBar(), bar) << id;
    EXPECT_EQ(Client(), client) << id;
    EXPECT_EQ((std::vector<int>{Win.Windowed, Win.WindowSizeMode, Win.MenuState, nullplat::MenuBarShown()}),
              (std::vector<int>{1, 0, 1, 1}))
        << id;
    EXPECT_TRUE(platform::DisplayExists()) << id;
    EXPECT_TRUE(fs::is_empty(dir_)) << id;
  }
}

TEST_F(WindowTest, ExitAboutAndTheBarCommands) {
  BuildMenuBar();
  HandleMenuCommand(kCommandToggleMenu);
  EXPECT_TRUE(Win.MenuState == 1 && nullplat::MenuBarShown() && Win.MenuHeight == nullplat::kBarHeight);
  HandleMenuCommand(kCommandToggleMenu);
  EXPECT_TRUE(Win.MenuState == 0 && !nullplat::MenuBarShown() && Win.MenuHeight == -1);
  ::testing::internal::CaptureStderr();
  HandleMenuCommand(kCommandAbout);
  const std::string box = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(box.rfind("[box] About Tarn: Tarn\n", 0), 0u) << box;
  EXPECT_NE(box.find("by the Tarn developers"), std::string::npos) << box;
  EXPECT_EQ(HandleMenuCommand(kCommandExit), WindowRequest::Quit) << "the command only asks";
  EXPECT_TRUE(platform::DisplayExists());
  EXPECT_EQ(ExitCodeOf([] { RunMenuCommand(kCommandExit); }), 0);
  EXPECT_FALSE(platform::DisplayExists());
}

// Full screen counts the bar as hidden; a window brings it back unless F8 hid it there.
TEST_F(WindowTest, MenuStateFollowsF8AndF4) {
  struct {
    const char* keys;  // 8 = F8, 4 = F4, one press each
    uint8_t windowed, menuState;
  } cases[] = {
      {"8", 0, 1}, {"88", 0, 0}, {"884", 1, 0}, {"4", 1, 1}, {"44", 0, 2}, {"444", 1, 1}, {"484", 0, 0}, {"4844", 1, 0},
  };
  for (const auto& c : cases) {
    RestartEngine();
    platform::ShowCursor(false);  // as start-up leaves it
    for (const char* k = c.keys; *k; ++k) Press(*k == '8' ? kKeyF8 : kKeyF4);
    EXPECT_EQ(Win.Windowed, c.windowed) << c.keys;
    EXPECT_EQ(Win.MenuState, c.menuState) << c.keys;
    EXPECT_EQ(nullplat::MenuBarShown(), c.menuState == 1) << c.keys;
    EXPECT_EQ(nullplat::FullScreen(), c.windowed == 0) << c.keys;
    // Full screen shows the pointer only for the bar.
    EXPECT_EQ(nullplat::CursorShown(), c.windowed == 1 || c.menuState == 1) << c.keys;
  }
}

TEST_F(WindowTest, AWindowRebuildsThePixelOfEverySlot) {
  const uint8_t rgb[3] = {63, 32, 1};
  SetPaletteEntry(77, rgb);  // full screen: palettised, no pixel values
  ASSERT_EQ(Screen.PixelLookup[77], 0u);
  ToggleFullScreen();
  EXPECT_EQ(Screen.PixelFormatCode, 32);
  EXPECT_EQ(Screen.PixelLookup[77], 0xFC8004u);
}

// A window whose platform takes palette indices (a browser's WebGL) is drawn
// into directly, like full screen, with no expansion and the palette loaded.
TEST_F(WindowTest, APalettisedWindowIsDrawnIntoDirectly) {
  nullplat::SetWindowFormat({true, false, 8, 0});
  const uint8_t rgb[3] = {63, 32, 1};
  SetPaletteEntry(77, rgb);
  ToggleFullScreen();
  ASSERT_EQ(Win.Windowed, 1);
  EXPECT_EQ(Screen.PixelFormatCode, 8);
  EXPECT_EQ(Screen.FrameBuffer, platform::DisplayLock());
  EXPECT_EQ(std::vector<uint8_t>(nullplat::DisplayPalette() + 4 * 77, nullplat::DisplayPalette() + 4 * 78),
            (std::vector<uint8_t>{252, 128, 4, 0}));
  Screen.FrameBuffer[5] = 77;
  ConvertFrameBuffer();  // nothing to expand: the pixel stays where it was drawn
  EXPECT_EQ(platform::DisplayLock()[5], 77);
  ToggleFullScreen();
  EXPECT_EQ(Screen.FrameBuffer, platform::DisplayLock()) << "full screen as before";
}

TEST_F(WindowTest, WindowMessages) {
  BuildMenuBar();
  ToggleFullScreen();
  WindowProc({platform::MessageKind::Activate, 1});
  EXPECT_EQ(Loop.AppActive, 1);
  WindowProc({platform::MessageKind::Command, 1000});
  EXPECT_EQ(Win.MenuState, 0);
  nullplat::ResizeByUser(500, 500);  // a Normal window stays 320 x 200
  platform::Message m;
  ASSERT_TRUE(platform::PollMessage(m));
  WindowProc(m);
  EXPECT_EQ((std::vector<int>{Win.WindowRect.left, Win.WindowRect.top, Win.WindowRect.right, Win.WindowRect.bottom}),
            (std::vector<int>{100, 80, 420, 280}));
  WindowProc({platform::MessageKind::Activate, 0});
  EXPECT_EQ(Loop.AppActive, 0);
  WindowProc({platform::MessageKind::Close, 0});
  EXPECT_FALSE(platform::DisplayExists());
  ASSERT_TRUE(platform::PollMessage(m));
  EXPECT_EQ(m.kind, platform::MessageKind::Quit);
  EXPECT_EQ(m.value, 0);
}

// Window pixels are counted from the top of the window's inside, the bar's
// top while it is shown (19 rows in the null platform).
TEST_F(WindowTest, ThePointerLandsOnThePixelUnderItInEveryMode) {
  constexpr int kBar = nullplat::kBarHeight;
  struct {
    const char* mode;
    uint8_t windowed, size;
    bool bar, fill;
    int clientW, clientH;  // of a Resizeable window
    int px, py, x, y;
  } cases[] = {
      {"normal", 1, 0, false, false, 0, 0, 0, 0, 0, 0},
      {"normal", 1, 0, false, false, 0, 0, 319, 199, 319, 199},
      {"normal+bar", 1, 0, true, false, 0, 0, 5, kBar + 7, 5, 7},
      {"normal+bar: on the bar", 1, 0, true, false, 0, 0, 5, 3, 5, 0},
      {"double", 1, 1, false, false, 0, 0, 639, 399, 319, 199},
      {"double+bar", 1, 1, true, false, 0, 0, 639, kBar + 399, 319, 199},
      {"double+bar", 1, 1, true, false, 0, 0, 3, kBar + 2, 1, 1},
      {"double: left and above", 1, 1, false, false, 0, 0, -40, -3, 0, 0},
      {"double: right and below", 1, 1, false, false, 0, 0, 5000, 400, 319, 199},
      // 701 x 457 fits 640 x 400, centred 30 in and 28 down.
      {"resizeable", 1, 2, false, false, 701, 457, 30, 28, 0, 0},
      {"resizeable", 1, 2, false, false, 701, 457, 29, 27, 0, 0},
      {"resizeable", 1, 2, false, false, 701, 457, 669, 427, 319, 199},
      {"resizeable", 1, 2, false, false, 701, 457, 31, 29, 0, 0},
      {"resizeable", 1, 2, true, false, 701, 457, 32, kBar + 30, 1, 1},
      // Smaller than the frame: 200 x 125, 12 rows down, scaled by 1.6.
      {"resizeable small", 1, 2, false, false, 200, 150, 100, 12 + 62, 160, 99},
      // Filled, 701 x 457 shows 701 x 438, 9 rows down, pixels of uneven size.
      {"resizeable fill", 1, 2, false, true, 701, 457, 0, 9, 0, 0},
      {"resizeable fill", 1, 2, false, true, 701, 457, 700, 446, 319, 199},
      {"resizeable fill", 1, 2, true, true, 701, 457, 351, kBar + 9 + 219, 160, 100},
      // Full screen by whole steps: 3 times, 960 x 600 at 32, 84.
      {"full whole", 0, 0, false, false, 0, 0, 31, 83, 0, 0},
      {"full whole", 0, 0, false, false, 0, 0, 32, 84, 0, 0},
      {"full whole", 0, 0, false, false, 0, 0, 35, 87, 1, 1},
      {"full whole", 0, 0, false, false, 0, 0, 991, 683, 319, 199},
      {"full whole+bar", 0, 0, true, false, 0, 0, 512, kBar + 74 + 300, 160, 100},
      // Filled, 1024 x 768: 3.2 times, 64 rows of border above and below.
      {"full", 0, 0, false, true, 0, 0, 0, 63, 0, 0},
      {"full", 0, 0, false, true, 0, 0, 1023, 703, 319, 199},
      {"full", 0, 0, false, true, 0, 0, 3, 64 + 3, 1, 1},
      // With the bar the frame fits the 749 rows below it: 54 rows above the frame.
      {"full+bar", 0, 0, true, true, 0, 0, 512, kBar + 54 + 320, 160, 100},
  };
  for (const auto& c : cases) {
    RestartEngine();
    BuildMenuBar();
    if (c.windowed) ToggleFullScreen();
    if (c.bar != (Win.MenuState == 1)) ToggleMenuBar();
    HandleMenuCommand(kCommandSizeNormal + c.size);
    HandleMenuCommand(c.fill ? kCommandScaleFill : kCommandScaleWholeSteps);
    if (c.clientW) nullplat::ResizeByUser(c.clientW, c.clientH);
    nullplat::SetPointerInWindow(c.px, c.py);
    ReadMouse();
    EXPECT_EQ(std::make_pair(Input.MouseX, Input.MouseY), std::make_pair(c.x, c.y))
        << c.mode << " at " << c.px << "," << c.py;
  }
}
