// tiled_files.h: reading and writing Tiled's files: maps (TMX, JSON) with
// their external tilesets (TSX, TSJ), and the bounded layer data.
#pragma once

#include <string>
#include <vector>

#include "tiled_map.h"

namespace tiled {

enum class Format { kXml, kJson };

// JSON for .tmj, .tsj and .json names, XML otherwise.
Format FormatOfName(const std::string& path);

// Reads a map and every external tileset it names (paths relative to the
// map's folder), telling XML from JSON by the first character. Refuses with
// the file and the problem: unreadable files, bad syntax, infinite,
// non-orthogonal or non-8x8 maps, layers whose data does not match their
// size, too many cells.
Map ReadMap(const std::string& path);
// The same from bytes in memory; external tilesets are read from folder.
Map ParseMap(const std::string& bytes, const std::string& file, const std::string& folder);
Tileset ReadTileset(const std::string& path);

// Writes the map (its tilesets as references or embedded as they are) and a
// tileset, as text through a temporary file renamed into place. False, with
// one stderr line, when the file cannot be written.
bool WriteMap(const std::string& path, const Map& map, Format format);
bool WriteTileset(const std::string& path, const Tileset& tileset, Format format);

// The text of both forms, for the writers above and the tests.
std::string MapXml(const Map& map);
std::string MapJson(const Map& map);
std::string TilesetXml(const Tileset& tileset);
std::string TilesetJson(const Tileset& tileset);

// Layer data as the files hold it: encoding "csv" or "base64" (JSON arrays
// come as csv text), compression "", "zlib", "gzip" or "zstd". Exactly
// `cells` GIDs or a refusal naming what is wrong (what encoding, how many
// cells); a compressed stream is never inflated past what the layer needs.
std::vector<uint32_t> DecodeLayerData(const std::string& text, const std::string& encoding,
                                      const std::string& compression, size_t cells, const std::string& file,
                                      const std::string& layer);

}  // namespace tiled
