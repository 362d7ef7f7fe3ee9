// level_load.h: the road of a level load, taken by the attract sequence and
// by the level keys.
#pragma once

// Tile set, palette set 0, global and editor colours, level, plane objects.
// Bare names: the working directory stays the folder that holds tarn.cfg.
void LoadLevelPair(const char* tileFile, const char* levelFile);
