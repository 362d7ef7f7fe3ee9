// tiled_commands.h: tarn-tiled's three commands, for the program, the tests
// and the fuzz target. Each reads all its input before it writes a file.
#pragma once

#include <string>

namespace tiled {

// The engine as the tool needs it: video mode 0, the scratch image, and the
// global colours from gameDir/default/art/globpal.pcx (black when missing).
void StartEngine(const std::string& gameDir);

// The folder whose default/art/globpal.pcx gives the global colours: the
// given one, else the folder of `beside` when it holds one, else ".".
std::string GameFolder(const std::string& given, const std::string& beside);

// The tile set, then the level, loaded as a level key loads them, with the
// colours the engine shows then. False when the level file was refused.
bool LoadAsShown(const std::string& level, const std::string& tiles);

// Each returns the exit code: 0 done, 1 refused (one line on stderr naming
// the file and the problem) or a file could not be written.
int ExportCommand(const std::string& level, const std::string& tiles, const std::string& map);
int ImportCommand(const std::string& map, const std::string& level, const std::string& tiles);
int TilesCommand(const std::string& sheet, const std::string& tiles);

}  // namespace tiled
