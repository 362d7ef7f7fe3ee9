// tmj_format.cpp: Tiled's JSON forms, the map (TMJ) and the tileset (TSJ),
// read and written with nlohmann-json.
#include <nlohmann/json.hpp>

#include "common/limits.h"
#include "tiled_check.h"
#include "tiled_files.h"
#include "tiled_forms.h"

namespace tiled {

namespace {

using nlohmann::json;

// A member that must be a whole number, or the fallback when it is absent.
int Int(const json& j, const char* key, int fallback, const std::string& file, int64_t lo = 0, int64_t hi = INT32_MAX) {
  const auto it = j.find(key);
  if (it == j.end()) return fallback;
  if (!it->is_number_integer() && !it->is_number_unsigned())
    throw Refusal(file, std::string("\"") + key + "\" is " + it->dump().substr(0, 40) + ", not a whole number");
  const int64_t v =
      it->is_number_unsigned() ? int64_t(std::min<uint64_t>(it->get<uint64_t>(), INT64_MAX)) : it->get<int64_t>();
  if (v < lo || v > hi)
    throw Refusal(file, std::string("\"") + key + "\" is " + std::to_string(v) + ", not from " + std::to_string(lo) +
                            " to " + std::to_string(hi));
  return int(v);
}

double Number(const json& j, const char* key, double fallback, const std::string& file) {
  const auto it = j.find(key);
  if (it == j.end()) return fallback;
  if (!it->is_number()) throw Refusal(file, std::string("\"") + key + "\" is not a number");
  const double v = it->get<double>();
  if (!(v >= -1e6 && v <= 1e6)) throw Refusal(file, std::string("\"") + key + "\" is out of range");
  return v;
}

std::string Text(const json& j, const char* key, const std::string& fallback, const std::string& file) {
  const auto it = j.find(key);
  if (it == j.end() || it->is_null()) return fallback;
  if (!it->is_string()) throw Refusal(file, std::string("\"") + key + "\" is not a string");
  return it->get<std::string>();
}

const json& Array(const json& j, const char* key, const std::string& file) {
  static const json empty = json::array();
  const auto it = j.find(key);
  if (it == j.end()) return empty;
  if (!it->is_array()) throw Refusal(file, std::string("\"") + key + "\" is not a list");
  return *it;
}

void NeedObject(const json& j, const std::string& file, const std::string& what) {
  if (!j.is_object()) throw Refusal(file, what + " is not a JSON object");
}

Properties ReadProperties(const json& owner, const std::string& file) {
  Properties out;
  for (const json& p : Array(owner, "properties", file)) {
    NeedObject(p, file, "a property");
    const auto v = p.find("value");
    std::string value;
    if (v != p.end()) value = v->is_string() ? v->get<std::string>() : v->dump();
    out.push_back({Text(p, "name", "", file), Text(p, "type", "string", file), value});
  }
  return out;
}

Tileset TilesetFromJson(const json& j, const std::string& file, const std::string& folder) {
  NeedObject(j, file, "the tileset");
  Tileset t;
  t.file = file;
  t.folder = folder;
  t.name = Text(j, "name", "", file);
  t.tileWidth = Int(j, "tilewidth", 0, file);
  t.tileHeight = Int(j, "tileheight", 0, file);
  t.columns = Int(j, "columns", 0, file);
  t.tileCount = Int(j, "tilecount", 0, file);
  t.margin = Int(j, "margin", 0, file);
  t.spacing = Int(j, "spacing", 0, file);
  t.image = Text(j, "image", "", file);
  t.imageWidth = Int(j, "imagewidth", 0, file);
  t.imageHeight = Int(j, "imageheight", 0, file);
  t.properties = ReadProperties(j, file);
  for (const json& tile : Array(j, "tiles", file)) {
    NeedObject(tile, file, "a tile");
    TileInfo info;
    info.id = uint32_t(Int(tile, "id", 0, file));
    info.properties = ReadProperties(tile, file);
    for (const json& f : Array(tile, "animation", file)) {
      NeedObject(f, file, "an animation frame");
      info.animation.push_back({uint32_t(Int(f, "tileid", 0, file)), uint32_t(Int(f, "duration", 0, file))});
    }
    t.tiles.push_back(std::move(info));
  }
  CheckTileset(t);
  return t;
}

std::vector<uint32_t> LayerData(const json& n, const Map& m, const Layer& l) {
  const size_t cells = size_t(l.width) * size_t(l.height);
  const auto data = n.find("data");
  if (n.contains("chunks")) throw Refusal(m.file, "layer \"" + l.name + "\" is stored in chunks (an infinite map)");
  if (data == n.end()) throw Refusal(m.file, "layer \"" + l.name + "\" has no data");
  if (data->is_string())
    return DecodeLayerData(data->get<std::string>(), Text(n, "encoding", "base64", m.file),
                           Text(n, "compression", "", m.file), cells, m.file, l.name);
  if (!data->is_array()) throw Refusal(m.file, "layer \"" + l.name + "\": data is neither a list nor base64 text");
  if (data->size() != cells)
    throw Refusal(m.file, "layer \"" + l.name + "\" holds " + std::to_string(data->size()) + " cells, its size " +
                              std::to_string(cells));
  std::vector<uint32_t> gids;
  gids.reserve(cells);
  for (const json& g : *data) {
    if (!g.is_number_unsigned() && !(g.is_number_integer() && g.get<int64_t>() >= 0))
      throw Refusal(m.file,
                    "layer \"" + l.name + "\" holds " + g.dump().substr(0, 20) + " where a tile number belongs");
    const uint64_t v = g.get<uint64_t>();
    if (v > UINT32_MAX) throw Refusal(m.file, "layer \"" + l.name + "\" holds a tile number above 4294967295");
    gids.push_back(uint32_t(v));
  }
  return gids;
}

void ReadLayers(const json& list, Map& m, const GroupFrame& group, uint64_t& cells) {
  if (group.depth > kMaxGroupDepth)
    throw Refusal(m.file, "group layers nest deeper than " + std::to_string(kMaxGroupDepth));
  for (const json& n : list) {
    NeedObject(n, m.file, "a layer");
    const std::string kind = Text(n, "type", "", m.file);
    const std::string name = Text(n, "name", "", m.file);
    if (kind == "tilelayer") {
      Layer l;
      l.name = name;
      l.width = Int(n, "width", 0, m.file);
      l.height = Int(n, "height", 0, m.file);
      l.offsetX = Number(n, "offsetx", 0, m.file);
      l.offsetY = Number(n, "offsety", 0, m.file);
      l.parallaxX = Number(n, "parallaxx", 1, m.file);
      l.parallaxY = Number(n, "parallaxy", 1, m.file);
      l.properties = ReadProperties(n, m.file);
      AddGroupOffsets(l, group);
      CheckLayerSize(m, l, cells);
      l.gids = LayerData(n, m, l);
      m.layers.push_back(std::move(l));
    } else if (kind == "group") {
      GroupFrame inner = group;
      inner.offsetX += Number(n, "offsetx", 0, m.file);
      inner.offsetY += Number(n, "offsety", 0, m.file);
      inner.parallaxX *= Number(n, "parallaxx", 1, m.file);
      inner.parallaxY *= Number(n, "parallaxy", 1, m.file);
      ++inner.depth;
      const size_t before = m.layers.size();
      ReadLayers(Array(n, "layers", m.file), m, inner, cells);
      if (m.layers.size() == before) m.notes.push_back("group layer \"" + name + "\" holds no tile layer: skipped");
    } else if (kind == "objectgroup") {
      m.notes.push_back("object layer \"" + name + "\" skipped (a level has tile planes only)");
    } else if (kind == "imagelayer") {
      m.notes.push_back("image layer \"" + name + "\" skipped (a level has tile planes only)");
    }
  }
}

json Parse(const std::string& bytes, const std::string& file) {
  try {
    return json::parse(bytes);
  } catch (const json::exception& e) {
    throw Refusal(file, std::string("not a readable JSON file: ") + e.what());
  }
}

json PropertiesJson(const Properties& properties) {
  json out = json::array();
  for (const Property& p : properties) {
    json v;
    if (p.type == "int") {
      v = std::stoll(p.value);
    } else if (p.type == "float") {
      v = std::stod(p.value);
    } else if (p.type == "bool") {
      v = p.value == "true";
    } else {
      v = p.value;
    }
    out.push_back({{"name", p.name}, {"type", p.type}, {"value", v}});
  }
  return out;
}

json TilesetObject(const Tileset& t) {
  json j = {{"name", t.name},
            {"tilewidth", t.tileWidth},
            {"tileheight", t.tileHeight},
            {"tilecount", t.tileCount},
            {"columns", t.columns},
            {"margin", t.margin},
            {"spacing", t.spacing},
            {"image", t.image},
            {"imagewidth", t.imageWidth},
            {"imageheight", t.imageHeight}};
  if (!t.properties.empty()) j["properties"] = PropertiesJson(t.properties);
  json tiles = json::array();
  for (const TileInfo& info : t.tiles) {
    json tile = {{"id", info.id}};
    if (!info.properties.empty()) tile["properties"] = PropertiesJson(info.properties);
    if (!info.animation.empty()) {
      json anim = json::array();
      for (const AnimationFrame& f : info.animation) anim.push_back({{"tileid", f.tileId}, {"duration", f.duration}});
      tile["animation"] = anim;
    }
    tiles.push_back(tile);
  }
  if (!tiles.empty()) j["tiles"] = tiles;
  return j;
}

}  // namespace

Map ParseMapJson(const std::string& bytes, const std::string& file, const std::string& folder) {
  const json root = Parse(bytes, file);
  NeedObject(root, file, "the map");
  if (Text(root, "type", "map", file) != "map") throw Refusal(file, "not a Tiled map: its type is not \"map\"");
  Map m;
  m.file = file;
  try {
    m.orientation = Text(root, "orientation", "orthogonal", file);
    m.renderOrder = Text(root, "renderorder", "right-down", file);
    m.width = Int(root, "width", 0, file);
    m.height = Int(root, "height", 0, file);
    m.tileWidth = Int(root, "tilewidth", 0, file);
    m.tileHeight = Int(root, "tileheight", 0, file);
    const auto inf = root.find("infinite");
    m.infinite = inf != root.end() && (inf->is_boolean() ? inf->get<bool>() : !inf->is_number() || *inf != 0);
    CheckMapHead(m);
    m.properties = ReadProperties(root, file);
    for (const json& n : Array(root, "tilesets", file)) {
      NeedObject(n, file, "a tileset");
      if (m.tilesets.size() == kMaxTilesets)
        throw Refusal(file, "more than " + std::to_string(kMaxTilesets) + " tilesets");
      TilesetRef ref;
      ref.firstGid = uint32_t(Int(n, "firstgid", 1, file, 1, INT32_MAX));
      ref.source = Text(n, "source", "", file);
      ref.tileset = ref.source.empty() ? TilesetFromJson(n, file, folder) : ReadTileset(JoinPath(folder, ref.source));
      m.tilesets.push_back(std::move(ref));
    }
    uint64_t cells = 0;
    ReadLayers(Array(root, "layers", file), m, GroupFrame{}, cells);
  } catch (const json::exception& e) {
    throw Refusal(file, std::string("unexpected JSON: ") + e.what());
  }
  return m;
}

Tileset ParseTilesetJson(const std::string& bytes, const std::string& file) {
  const json root = Parse(bytes, file);
  try {
    return TilesetFromJson(root, file, FolderOf(file));
  } catch (const json::exception& e) {
    throw Refusal(file, std::string("unexpected JSON: ") + e.what());
  }
}

std::string MapJson(const Map& m) {
  json layers = json::array();
  int id = 1;
  for (const Layer& l : m.layers) {
    json layer = {{"id", id++}, {"name", l.name}, {"type", "tilelayer"}, {"width", l.width}, {"height", l.height},
                  {"x", 0},     {"y", 0},         {"opacity", 1},        {"visible", true},  {"data", l.gids}};
    if (l.parallaxX != 1) layer["parallaxx"] = l.parallaxX;
    if (l.parallaxY != 1) layer["parallaxy"] = l.parallaxY;
    if (!l.properties.empty()) layer["properties"] = PropertiesJson(l.properties);
    layers.push_back(layer);
  }
  json tilesets = json::array();
  for (const TilesetRef& ref : m.tilesets) {
    json t = ref.source.empty() ? TilesetObject(ref.tileset) : json::object();
    t["firstgid"] = ref.firstGid;
    if (!ref.source.empty()) t["source"] = ref.source;
    tilesets.push_back(t);
  }
  json root = {{"type", "map"},
               {"version", "1.8"},
               {"tiledversion", "1.8.2"},
               {"orientation", m.orientation},
               {"renderorder", m.renderOrder},
               {"width", m.width},
               {"height", m.height},
               {"tilewidth", m.tileWidth},
               {"tileheight", m.tileHeight},
               {"infinite", m.infinite},
               {"nextlayerid", id},
               {"nextobjectid", 1},
               {"compressionlevel", -1},
               {"layers", layers},
               {"tilesets", tilesets}};
  if (!m.properties.empty()) root["properties"] = PropertiesJson(m.properties);
  return root.dump(1) + "\n";
}

std::string TilesetJson(const Tileset& t) {
  json j = TilesetObject(t);
  j["type"] = "tileset";
  j["version"] = "1.8";
  j["tiledversion"] = "1.8.2";
  return j.dump(1) + "\n";
}

}  // namespace tiled
