// tarn-tiled: Tiled maps and PNG tile sheets in and out of Tarn's level and
// tile files.
#include <cstdio>
#include <string>
#include <vector>

#include "tiled_commands.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: tarn-tiled [--game DIR] export LEVEL.lev TILES.til MAP.tmx|MAP.tmj\n"
               "       tarn-tiled [--game DIR] import MAP.tmx|MAP.tmj LEVEL.lev [TILES.til]\n"
               "       tarn-tiled [--game DIR] tiles SHEET.png TILES.til\n"
               "DIR holds default/art/globpal.pcx, the global colours (default: the folder of the\n"
               "level or tile file when it holds one, else the current folder).\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string game;
  if (args.size() >= 2 && args[0] == "--game") {
    game = args[1];
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.empty()) return Usage();
  const std::string& command = args[0];
  if (command == "export" && args.size() == 4) {
    tiled::StartEngine(tiled::GameFolder(game, args[1]));
    return tiled::ExportCommand(args[1], args[2], args[3]);
  }
  if (command == "import" && (args.size() == 3 || args.size() == 4)) {
    tiled::StartEngine(tiled::GameFolder(game, args[2]));
    return tiled::ImportCommand(args[1], args[2], args.size() == 4 ? args[3] : "");
  }
  if (command == "tiles" && args.size() == 3) {
    tiled::StartEngine(tiled::GameFolder(game, args[2]));
    return tiled::TilesCommand(args[1], args[2]);
  }
  return Usage();
}
