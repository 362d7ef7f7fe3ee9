// script.cpp: parsing of tarn-run input scripts.
#include "script.h"

#include <climits>
#include <sstream>

#include "common/limits.h"
#include "input/input.h"

static bool ParseInt(const std::string& word, long long& v) {
  if (word.empty()) return false;
  size_t used = 0;
  try {
    v = std::stoll(word, &used);
  } catch (...) {
    return false;
  }
  return used == word.size();
}

bool ParseFrameNumber(const std::string& word, uint64_t& out) {
  if (word.empty()) return false;
  uint64_t v = 0;
  for (const char c : word) {
    if (c < '0' || c > '9' || v > kMaxRunFrames / 10) return false;
    v = v * 10 + uint64_t(c - '0');
  }
  if (v < 1 || v > kMaxRunFrames) return false;
  out = v;
  return true;
}

// Positions and menu ids are ints: a wider number is a mistake, not a wrap.
static bool FitsInt(long long v) { return v >= INT_MIN && v <= INT_MAX; }

bool ParseScript(const std::string& text, std::vector<ScriptEvent>& out, int& errorLine, std::string& error) {
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string s; words >> s;) w.push_back(s);
    if (w.empty()) continue;
    auto fail = [&](const std::string& why) {
      errorLine = number;
      error = why;
      return false;
    };
    ScriptEvent e{};
    if (!ParseFrameNumber(w[0], e.frame)) return fail("bad frame number '" + w[0] + "'");
    e.line = number;
    if (w.size() < 2) return fail("missing event");
    const std::string& verb = w[1];
    if (verb == "key" && w.size() == 4) {
      const KeyInfo* k = FindKey(w[2]);
      if (!k) return fail("unknown key '" + w[2] + "'");
      e.a = k->scanCode;
      if (w[3] == "down")
        e.kind = ScriptEvent::KeyDown;
      else if (w[3] == "up")
        e.kind = ScriptEvent::KeyUp;
      else if (w[3] == "tap")
        e.kind = ScriptEvent::KeyTap;
      else
        return fail("unknown key action '" + w[3] + "'");
    } else if (verb == "mouse" && w.size() == 4) {
      long long x, y;
      if (!ParseInt(w[2], x) || !ParseInt(w[3], y) || !FitsInt(x) || !FitsInt(y)) return fail("bad mouse position");
      e.kind = ScriptEvent::Mouse;
      e.a = int(x);
      e.b = int(y);
    } else if (verb == "button" && w.size() == 4) {
      if (w[2] != "left" && w[2] != "right") return fail("unknown button '" + w[2] + "'");
      e.a = w[2] == "left";
      if (w[3] == "down")
        e.kind = ScriptEvent::ButtonDown;
      else if (w[3] == "up")
        e.kind = ScriptEvent::ButtonUp;
      else
        return fail("unknown button action '" + w[3] + "'");
    } else if (verb == "menu" && w.size() == 3) {
      long long id;
      if (!ParseInt(w[2], id) || !FitsInt(id)) return fail("bad menu id '" + w[2] + "'");
      e.kind = ScriptEvent::Menu;
      e.a = int(id);
    } else if (verb == "shot" && w.size() == 3) {
      e.kind = ScriptEvent::Shot;
      e.file = w[2];
    } else {
      return fail("unknown event '" + line + "'");
    }
    out.push_back(e);
  }
  return true;
}
