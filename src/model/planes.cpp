// planes.cpp: the one level and the line-table size of each plane type.
#include "model/planes.h"

#include "common/module_state.h"

#include <algorithm>

LevelState Level;

void ResetLevel() { Level = {}; }
const ModuleReset kLevelReset(ResetLevel);

size_t LineCount(uint8_t type, int32_t width, int32_t height) {
  const size_t w = size_t(std::max(width, 0)), h = size_t(std::max(height, 0));
  switch (type) {
    case kHTiled: return h;
    case kVTiled: return w;
    case kHLined: return h * 8;
    case kVLined: return w * 8;
    default: return 1;
  }
}
