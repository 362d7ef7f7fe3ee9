// tiled_files.cpp: which form a Tiled file is in, and writing either form
// through a temporary file renamed into place.
#include "tiled_files.h"

#include <cctype>
#include <cstdio>

#include "common/binary_reader.h"
#include "tiled_check.h"
#include "tiled_forms.h"

namespace tiled {

namespace {

bool EndsWith(const std::string& s, const char* tail) {
  const std::string t = tail;
  return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

// JSON starts with '{' (after white space and a byte-order mark); XML with '<'.
bool LooksLikeJson(const std::string& bytes) {
  size_t i = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  while (i < bytes.size() && std::isspace(uint8_t(bytes[i]))) ++i;
  return i < bytes.size() && bytes[i] == '{';
}

bool WriteText(const std::string& path, const std::string& text) {
  if (WriteFileAtomic(path, std::vector<uint8_t>(text.begin(), text.end()))) return true;
  std::fprintf(stderr, "%s: cannot write: %s\n", path.c_str(), LastWriteError().c_str());
  return false;
}

}  // namespace

Format FormatOfName(const std::string& path) {
  return EndsWith(path, ".tmj") || EndsWith(path, ".tsj") || EndsWith(path, ".json") ? Format::kJson : Format::kXml;
}

Map ParseMap(const std::string& bytes, const std::string& file, const std::string& folder) {
  return LooksLikeJson(bytes) ? ParseMapJson(bytes, file, folder) : ParseMapXml(bytes, file, folder);
}

Map ReadMap(const std::string& path) { return ParseMap(ReadTiledText(path, "map"), path, FolderOf(path)); }

Tileset ReadTileset(const std::string& path) {
  const std::string bytes = ReadTiledText(path, "tileset");
  return LooksLikeJson(bytes) ? ParseTilesetJson(bytes, path) : ParseTilesetXml(bytes, path);
}

bool WriteMap(const std::string& path, const Map& map, Format format) {
  return WriteText(path, format == Format::kJson ? MapJson(map) : MapXml(map));
}

bool WriteTileset(const std::string& path, const Tileset& tileset, Format format) {
  return WriteText(path, format == Format::kJson ? TilesetJson(tileset) : TilesetXml(tileset));
}

}  // namespace tiled
