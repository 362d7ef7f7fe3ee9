// tarn-mkdemo DIR: writes the demonstration game folder, every byte made here.
#include <cstdio>
#include <filesystem>
#include <string>

#include "common/binary_reader.h"
#include "editor_art.h"
#include "fonts.h"
#include "levels.h"
#include "palette.h"
#include "sound_synth.h"
#include "title_card.h"

namespace fs = std::filesystem;

static bool Write(const fs::path& path, const std::vector<uint8_t>& bytes) {
  if (WriteFileAtomic(path.string(), bytes)) return true;
  std::fprintf(stderr, "tarn-mkdemo: cannot write %s\n", path.string().c_str());
  return false;
}

bool WriteDemoLevel(const std::string& dir, int n, const DemoLevel& level) {
  fs::path base = fs::path(dir) / std::to_string(n);
  if (!Write(base.string() + ".til", EncodeTileSet(level.tiles, level.tileVersion))) return false;
  if (level.tileVersion == 0 && !Write(base.string() + ".dat", EncodeCollision(level.tiles))) return false;
  if (!level.oldLevel.empty()) return Write(base.string() + ".lev", level.oldLevel);
  if (SaveLevelV2(base.string() + ".lev", level.planes, level.parameter)) return true;
  std::fprintf(stderr, "tarn-mkdemo: cannot write %s.lev\n", base.string().c_str());
  return false;
}

// Writes generated files under the data folder, making their folders.
static bool WriteDataFiles(const fs::path& dataDir, const DemoFiles& files) {
  for (const DemoFile& f : files) {
    std::error_code ec;
    fs::create_directories((dataDir / f.path).parent_path(), ec);
    if (!Write(dataDir / f.path, f.bytes)) return false;
  }
  return true;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tarn-mkdemo DIR\n");
    return 2;
  }
  fs::path dir = argv[1];
  std::error_code ec;
  fs::create_directories(dir / "default" / "art", ec);
  // The marker only has to exist; the engine never reads it.
  if (!Write(dir / "tarn.cfg", {})) return 1;
  if (!Write(dir / "default" / "art" / "globpal.pcx", GlobalPaletteImage())) return 1;
  if (!WriteDataFiles(dir / "default", BuildFonts())) return 1;
  if (!WriteDataFiles(dir / "default", BuildEditorArt())) return 1;
  if (!WriteDataFiles(dir / "default", BuildTitleCard())) return 1;
  if (!WriteDataFiles(dir / "default", BuildSounds())) return 1;
  DemoLevel (*const builders[])() = {BuildCoastLevel, BuildHillsLevel, BuildCityLevel, BuildVolcanoLevel,
                                     BuildSpaceLevel};
  for (int n = 1; n <= 5; ++n)
    if (!WriteDemoLevel(dir.string(), n, builders[n - 1]())) return 1;
  return 0;
}
