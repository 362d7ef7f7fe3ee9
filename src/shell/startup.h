// startup.h: the program's entry steps, the folder paths and the start-up order.
#pragma once

#include <cstdint>
#include <string>

// The window's title while nothing is recorded.
constexpr const char* kWindowTitle = "Tarn";

struct StartupState {
  std::string DataDirName = "default";
  std::string StartDir;        // absolute path of the folder holding tarn.cfg
  std::string DefaultDataDir;  // StartDir + "/default"
  std::string DataDir;         // StartDir + "/" + DataDirName
  uint8_t SoundFileMissing = 0;
};
extern StartupState Startup;

void ResetStartup();

// The program's entry: marker check, window, sound, InitGame, menu bar, main
// loop. Returns the exit code.
int GameEntry();
void InitGame();
// Fonts, the card definition and the global palette image, in that order.
void LoadGlobalArt();
// Everything before the main loop. False when start-up ended the program (exitCode set).
bool StartProgram(int& exitCode);

// Resets every module's state to its start values (tests and the harness):
// every module that joined the list in common/module_state.h.
void ResetAllState();
