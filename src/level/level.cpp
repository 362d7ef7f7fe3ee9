// level.cpp: planes and the level file reader.
#include "level/level.h"

LevelState Level;
void ResetLevel() { Level = {}; }
void NewLevel() {}
void LoadLevel(const std::string&) {}
