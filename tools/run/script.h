// script.h: tarn-run's input script: one event a line, frames counted from 1.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ScriptEvent {
  enum Kind { KeyDown, KeyUp, KeyTap, Mouse, ButtonDown, ButtonUp, Menu, Shot } kind;
  uint64_t frame = 0;
  int a = 0, b = 0;  // scan code / x, y / left (1) or right (0) / menu id
  std::string file;  // shot file
  int line = 0;      // in the script, for messages
};

// A frame number, the one rule for --frames, --shot and script lines: whole
// decimal digits from 1 to kMaxRunFrames, no sign, nothing after them.
bool ParseFrameNumber(const std::string& word, uint64_t& out);

// Parses a script. On a bad line returns false with errorLine and error set.
bool ParseScript(const std::string& text, std::vector<ScriptEvent>& out, int& errorLine, std::string& error);
