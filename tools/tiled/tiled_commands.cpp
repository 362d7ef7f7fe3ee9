// tiled_commands.cpp: export, import and tiles, from the files named on the
// command line to the files written.
#include "tiled_commands.h"

#include <cstdio>
#include <filesystem>

#include "common/regular_file.h"
#include "gfx/frame_buffer.h"
#include "gfx/palette_sets.h"
#include "gfx/pcx.h"
#include "level/level.h"
#include "level/tile_set.h"
#include "sheet_tiles.h"
#include "shell/window.h"
#include "tiled_check.h"
#include "tiled_export.h"
#include "tiled_files.h"
#include "tiled_import.h"

namespace tiled {

namespace {

std::string PalettePath(const std::string& folder) { return JoinPath(folder, "default/art/globpal.pcx"); }

int Refused(const Refusal& r) {
  std::fprintf(stderr, "%s\n", r.what());
  return 1;
}

}  // namespace

std::string GameFolder(const std::string& given, const std::string& beside) {
  if (!given.empty()) return given;
  const std::string folder = FolderOf(beside);
  return CanOpenForReading(PalettePath(folder)) ? folder : ".";
}

void StartEngine(const std::string& gameDir) {
  StartVideoMode(0);
  AllocateScratchPixels();
  LoadPcx(PalettePath(gameDir), ScratchImage, 1);
  CaptureGlobalColours();
}

bool LoadAsShown(const std::string& level, const std::string& tiles) {
  // As a level key loads them: the tile set, palette set 0, the global and
  // editor colours, then the level; the sheet's palette is what shows then.
  LoadTileSet(tiles);
  SelectPaletteSet(0);
  RestoreGlobalColours();
  SetEditorColours();
  LoadLevel(level);
  return Level.levelFileProblem.empty();
}

int ExportCommand(const std::string& level, const std::string& tiles, const std::string& map) {
  if (!LoadAsShown(level, tiles)) {
    std::fprintf(stderr, "%s: %s; nothing exported\n", level.c_str(), Level.levelFileProblem.c_str());
    return 1;
  }
  try {
    return WriteExport(map, FormatOfName(map)) ? 0 : 1;
  } catch (const Refusal& r) {
    return Refused(r);
  }
}

int ImportCommand(const std::string& map, const std::string& level, const std::string& tiles) {
  try {
    const Map m = ReadMap(map);
    for (const std::string& note : m.notes) std::fprintf(stderr, "%s: %s\n", map.c_str(), note.c_str());
    ImportMap(m);
  } catch (const Refusal& r) {
    return Refused(r);
  }
  if (!tiles.empty() && !SaveTileSet(tiles)) return 1;
  return SaveLevel(level) ? 0 : 1;
}

int TilesCommand(const std::string& sheet, const std::string& tiles) {
  try {
    BuildTileSetFromSheet(ReadSheet(sheet), sheet);
  } catch (const Refusal& r) {
    return Refused(r);
  }
  return SaveTileSet(tiles) ? 0 : 1;
}

}  // namespace tiled
