// tiled_forms.h: the XML and JSON halves behind tiled_files.h.
#pragma once

#include <string>

#include "tiled_map.h"

namespace tiled {

Map ParseMapXml(const std::string& bytes, const std::string& file, const std::string& folder);
Tileset ParseTilesetXml(const std::string& bytes, const std::string& file);
Map ParseMapJson(const std::string& bytes, const std::string& file, const std::string& folder);
Tileset ParseTilesetJson(const std::string& bytes, const std::string& file);
// A map or tileset file whole, or a refusal (unreadable, too large).
std::string ReadTiledText(const std::string& path, const std::string& what);

}  // namespace tiled
