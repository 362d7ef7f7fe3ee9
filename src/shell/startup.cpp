// startup.cpp: everything between the start of the process and the first pass
// of the main loop, in its fixed order.
#include "shell/startup.h"

#include <cstdio>
#include <filesystem>

#include "audio/sound.h"
#include "common/module_state.h"
#include "common/regular_file.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/frame_buffer.h"
#include "gfx/palette_sets.h"
#include "gfx/pcx.h"
#include "gfx/scroll.h"
#include "input/input.h"
#include "level/level.h"
#include "level/tile_set.h"
#include "modes/attract.h"
#include "modes/editor.h"
#include "objects/card_def.h"
#include "objects/card_object.h"
#include "objects/object_list.h"
#include "objects/script.h"
#include "platform/platform.h"
#include "shell/display.h"
#include "shell/main_loop.h"
#include "shell/window.h"

StartupState Startup;

void ResetStartup() { Startup = {}; }
const ModuleReset kStartupReset(ResetStartup);

void ResetAllState() { ResetEveryModule(); }

void InitGame() {
  // The command line is not interpreted.
  Startup.DataDirName = "default";
  std::error_code ec;
  std::string cwd = std::filesystem::current_path(ec).string();
  Startup.StartDir = cwd;
  // At the root, "/" + "/default" must not become "//default".
  std::string base = cwd == "/" ? std::string() : cwd;
  Startup.DefaultDataDir = base + "/default";
  Startup.DataDir = base + "/" + Startup.DataDirName;

  if (!CanOpenForReading("default/sfx/sfx000.wav")) Startup.SoundFileMissing = 1;
  if (!CanOpenForReading("default/music/theme.wav")) Audio.MusicFileMissing = 1;
  if (Startup.SoundFileMissing == 0) {
    const std::string fallback = Startup.DefaultDataDir + "/sfx/sfx000.wav";
    LoadSound("default/sfx/sfx000.wav", Audio.SoundEffects[0], fallback);
    LoadSound("default/music/theme.wav", Audio.ThemeMusic, fallback);
  }
  StartVideoMode(0);
  InitFrameTimer();
  AllocateScratchPixels();
  BuildDefaultTileSet();
  NewLevel();
  InstallInstructions();
  LoadGlobalArt();
  LoadEditorArt(Startup.DataDir);
  AllocObjectList();
}

void LoadGlobalArt() {
  LoadFonts(Startup.DataDir, Startup.DefaultDataDir);
  LoadCardDefs(Startup.DataDir, Startup.DefaultDataDir);
  // The same folder again would only refuse what it refused (a FIFO, ...) once more.
  if (!LoadPcx(Startup.DataDir + "/art/globpal.pcx", ScratchImage, 1) && Startup.DefaultDataDir != Startup.DataDir)
    LoadPcx(Startup.DefaultDataDir + "/art/globpal.pcx", ScratchImage, 1);
  CaptureGlobalColours();
}

bool StartProgram(int& exitCode) {
  exitCode = 0;
  // The marker file is opened, never read (nor waited on, were it a FIFO); it
  // only shows we run from the game folder.
  if (!CanOpenForReading("tarn.cfg")) {
    platform::MessageBox("Please make sure the game is installed fully and properly, and run it from it's own folder.",
                         "Data files not found.", platform::BoxIcon::Stop);
    return false;
  }
  if (!platform::CreateMainWindow(kWindowTitle, 700, 500)) {
    platform::MessageBox("Could not create hWnd", "Fatal Error!", platform::BoxIcon::Stop);
    return false;
  }
  platform::ShowMainWindow();
  InitSound();
  ClearKeyStates();
  InitGame();
  BuildMenuBar();
  if (Win.Windowed)
    ToggleMenuBar();
  else
    platform::ShowCursor(false);
  return true;
}

int GameEntry() {
  int code;
  if (!StartProgram(code)) return code;
  // A browser runs the passes itself once the loop first waits.
  platform::SetLoopHooks({LoopPass, [] { return Loop.FramesRun; }});
  code = RunMainLoop();
  // The loop ended on a quit message rather than through ExitProcess: the
  // sound records still go before the device, as they do there.
  ReleaseSoundSystem();
  return code;
}
