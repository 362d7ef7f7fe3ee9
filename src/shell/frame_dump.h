// frame_dump.h: the recording that F12 and Debug > Toggle FrameDump start and
// stop: the game's frames as the next free RECnnnnn.GIF of the game folder.
#pragma once

#include <cstdint>
#include <string>

#include "gfx/gif_record.h"

// A recording stops by itself after this many game frames (60 seconds).
constexpr uint64_t kMaxRecordedFrames = 60 * 60;

struct FrameDumpState {
  GifRecording recording;  // none while nothing is recorded
  std::string file;        // the name it will be written under
  uint8_t keyLatch = 0;    // F12 acts once per press
};
extern FrameDumpState Dump;

// Drops a recording unwritten.
void ResetFrameDump();

// Starts a recording into the next free REC00000.GIF... of the current
// folder (the window's title names it), or stops and writes the one running.
// A file that cannot be written is said in a box.
void ToggleFrameDump();
// Stops and writes a running recording (before the program ends).
void StopFrameDump();
// After a frame is drawn, before the display is unlocked: the recording
// takes it, and stops when it is full.
void FrameDumpFrame();
// Before a frame draws: the frame the recording took leaves the frame buffer.
void ReleaseDumpedFrame();
// F12 toggles the recording, once per press.
void CheckFrameDumpKey();
