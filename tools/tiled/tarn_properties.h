// tarn_properties.h: how what Tiled has no word for is written in `tarn.`
// properties and read back exactly: number lists, palette sets, plane types,
// and tile animations between step delays and Tiled's frame durations.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/tiles.h"
#include "tiled_map.h"

namespace tiled {

// "1,2,3"; and back, each value in [lo, hi] or a refusal naming the property.
std::string JoinNumbers(const std::vector<int64_t>& values);
std::vector<int64_t> SplitNumbers(const std::string& text, int64_t lo, int64_t hi, const std::string& file,
                                  const std::string& what);

// A palette set as one list: mode, cycle count, tint (r, g, b), then for each
// cycle its step count, (r, g, b, delay) a step, rotate-with and its delay.
std::string PaletteSetText(const PaletteSet& set);
PaletteSet ParsePaletteSet(const std::string& text, const std::string& file, const std::string& what);

// "Flat", "Relative", "H Tiled", "V Tiled", "H Lined", "V Lined".
const char* PlaneTypeName(uint8_t type);
// A name above or its number; a refusal otherwise.
uint8_t ParsePlaneType(const std::string& text, const std::string& file, const std::string& what);

// A plane speed as a Tiled parallax factor: s/64 of the camera, the drift
// of a speed above 128 left out; and a factor as the nearest speed to 128.
double ParallaxOfSpeed(uint8_t speed);
uint8_t SpeedOfParallax(double factor);

// Step delays in frames (60 a second) as milliseconds and back; a delay of 0
// shows for one frame as 1 does.
uint32_t DelayMilliseconds(uint8_t delay);
uint8_t DelayOfMilliseconds(uint32_t ms);

// The Tiled animation that shows what the engine shows: the frames advance
// with the steps, so frameCount and stepCount unroll to their least common
// multiple of entries. frameCells[f] is the cell of frame f.
std::vector<AnimationFrame> UnrollAnimation(const std::vector<uint32_t>& frameCells,
                                            const std::vector<uint8_t>& delays);

}  // namespace tiled
