// tarn_properties.cpp: the text forms of the `tarn.` properties.
#include "tarn_properties.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "common/limits.h"
#include "tiled_check.h"

namespace tiled {

std::string JoinNumbers(const std::vector<int64_t>& values) {
  std::string out;
  for (size_t i = 0; i < values.size(); ++i) {
    if (i) out += ',';
    out += std::to_string(values[i]);
  }
  return out;
}

std::vector<int64_t> SplitNumbers(const std::string& text, int64_t lo, int64_t hi, const std::string& file,
                                  const std::string& what) {
  std::vector<int64_t> out;
  if (text.empty()) return out;
  size_t at = 0;
  while (true) {
    const size_t comma = text.find(',', at);
    std::string word = text.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
    while (!word.empty() && word.front() == ' ') word.erase(word.begin());
    while (!word.empty() && word.back() == ' ') word.pop_back();
    out.push_back(ParseInteger(word, lo, hi, file, what + " value " + std::to_string(out.size() + 1)));
    if (comma == std::string::npos) break;
    at = comma + 1;
  }
  return out;
}

std::string PaletteSetText(const PaletteSet& set) {
  const size_t cycles = std::min<size_t>(set.cycleCount, set.cycles.size());
  std::vector<int64_t> v = {set.tintUpperHalf, int64_t(cycles), set.tintRed, set.tintGreen, set.tintBlue};
  for (size_t i = 0; i < cycles; ++i) {
    const PaletteCycle& c = set.cycles[i];
    v.push_back(c.stepCount);
    for (size_t s = 0; s < c.stepCount; ++s) {
      for (size_t k = 0; k < 3; ++k) v.push_back(s * 3 + k < c.colours.size() ? c.colours[s * 3 + k] : 0);
      v.push_back(s < c.stepDelays.size() ? c.stepDelays[s] : 0);
    }
    v.push_back(i < set.rotateWith.size() ? set.rotateWith[i] : 0);
    v.push_back(i < set.rotateDelay.size() ? set.rotateDelay[i] : 0);
  }
  return JoinNumbers(v);
}

PaletteSet ParsePaletteSet(const std::string& text, const std::string& file, const std::string& what) {
  const std::vector<int64_t> v = SplitNumbers(text, 0, 255, file, what);
  size_t at = 0;
  auto next = [&]() -> uint8_t {
    if (at >= v.size()) throw Refusal(file, what + " ends early (" + std::to_string(v.size()) + " values)");
    return uint8_t(v[at++]);
  };
  PaletteSet set;
  set.tintUpperHalf = next();
  set.cycleCount = next();
  set.tintRed = next();
  set.tintGreen = next();
  set.tintBlue = next();
  set.cycles.resize(set.cycleCount);
  set.rotateWith.assign(set.cycleCount, 0);
  set.rotateDelay.assign(set.cycleCount, 0);
  set.rotateTimer.assign(set.cycleCount, 0);
  for (size_t i = 0; i < set.cycleCount; ++i) {
    PaletteCycle& c = set.cycles[i];
    c.stepCount = next();
    // As the reader keeps them: at least one step, so colours[0] exists.
    const size_t kept = std::max<size_t>(c.stepCount, 1);
    c.colours.assign(kept * 3, 0);
    c.stepDelays.assign(kept, 0);
    for (size_t s = 0; s < c.stepCount; ++s) {
      for (size_t k = 0; k < 3; ++k) c.colours[s * 3 + k] = next();
      c.stepDelays[s] = next();
    }
    set.rotateWith[i] = next();
    set.rotateDelay[i] = next();
  }
  if (at != v.size()) throw Refusal(file, what + " has " + std::to_string(v.size() - at) + " values too many");
  return set;
}

const char* PlaneTypeName(uint8_t type) {
  static const char* const kNames[] = {"Flat", "Relative", "H Tiled", "V Tiled", "H Lined", "V Lined"};
  return type < 6 ? kNames[type] : "Unknown";
}

uint8_t ParsePlaneType(const std::string& text, const std::string& file, const std::string& what) {
  for (uint8_t t = 0; t < 6; ++t)
    if (text == PlaneTypeName(t)) return t;
  return uint8_t(ParseInteger(text, 0, 255, file, what));
}

double ParallaxOfSpeed(uint8_t speed) { return (speed > 128 ? speed - 128 : speed) / 64.0; }

uint8_t SpeedOfParallax(double factor) { return uint8_t(std::clamp(std::lround(factor * 64.0), 0l, 128l)); }

uint32_t DelayMilliseconds(uint8_t delay) { return uint32_t(std::lround(std::max<int>(delay, 1) * 1000.0 / 60.0)); }

uint8_t DelayOfMilliseconds(uint32_t ms) {
  return uint8_t(std::clamp(std::lround(double(ms) * 60.0 / 1000.0), 1l, 255l));
}

std::vector<AnimationFrame> UnrollAnimation(const std::vector<uint32_t>& frameCells,
                                            const std::vector<uint8_t>& delays) {
  std::vector<AnimationFrame> out;
  if (delays.empty() || frameCells.empty()) return out;
  const size_t length = std::lcm(frameCells.size(), delays.size());
  for (size_t i = 0; i < length; ++i)
    out.push_back({frameCells[i % frameCells.size()], DelayMilliseconds(delays[i % delays.size()])});
  return out;
}

}  // namespace tiled
