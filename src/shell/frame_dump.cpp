// frame_dump.cpp: starting and stopping the game's own recording, its file
// name, the window title that shows it, and its 60-second limit.
#include "shell/frame_dump.h"

#include <cstdio>
#include <filesystem>

#include "common/module_state.h"
#include "input/input.h"
#include "platform/platform.h"
#include "shell/startup.h"

FrameDumpState Dump;

void ResetFrameDump() { Dump = {}; }
const ModuleReset kFrameDumpReset(ResetFrameDump);

namespace {

// Rows a frame may encode where there is no worker thread: twice what a
// recording makes (a whole frame every second frame), so it keeps up.
constexpr int kSliceRows = 200;

// The first REC00000.GIF to REC99999.GIF not there yet; empty when all are.
std::string FreeRecordingName() {
  for (int n = 0; n <= 99999; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "REC%05d.GIF", n);
    std::error_code ec;
    if (!std::filesystem::exists(name, ec)) return name;
  }
  return {};
}

void StartFrameDump() {
  std::string name = FreeRecordingName();
  if (name.empty()) {
    platform::MessageBox("REC00000.GIF to REC99999.GIF are all taken: nothing recorded", "Frame Dump",
                         platform::BoxIcon::Stop);
    return;
  }
  Dump.recording = StartRecording(true);
  Dump.file = name;
  platform::SetWindowTitle(std::string(kWindowTitle) + " - recording " + name);
}

}  // namespace

void StopFrameDump() {
  if (!Dump.recording) return;
  platform::SetWindowTitle(kWindowTitle);
  std::string problem;
  if (!FinishRecording(std::move(Dump.recording), Dump.file, problem))
    platform::MessageBox(problem, "Frame Dump", platform::BoxIcon::Stop);
  Dump.recording = nullptr;
}

void ToggleFrameDump() {
  if (Dump.recording)
    StopFrameDump();
  else
    StartFrameDump();
}

void FrameDumpFrame() {
  if (!Dump.recording) return;
  TakeScreenFrame(*Dump.recording);
  RecordingSlice(*Dump.recording, kSliceRows);
  if (OfferedFrames(*Dump.recording) >= kMaxRecordedFrames) StopFrameDump();
}

void ReleaseDumpedFrame() {
  if (Dump.recording) ReleaseScreenFrame(*Dump.recording);
}

void CheckFrameDumpKey() {
  if (!Input.KeyHeld[kKeyF12]) {
    Dump.keyLatch = 0;
  } else if (Dump.keyLatch == 0) {
    Dump.keyLatch = 1;
    ToggleFrameDump();
  }
}
