// tmx_format.cpp: Tiled's XML forms, the map (TMX) and the tileset (TSX),
// read and written with pugixml.
#include <pugixml.hpp>

#include <cstring>
#include <sstream>

#include "common/binary_reader.h"
#include "common/limits.h"
#include "tiled_check.h"
#include "tiled_files.h"
#include "tiled_forms.h"

namespace tiled {

namespace {

std::string Attr(const pugi::xml_node& n, const char* name, const char* fallback = "") {
  const pugi::xml_attribute a = n.attribute(name);
  return a ? a.value() : fallback;
}

int IntAttr(const pugi::xml_node& n, const char* name, int fallback, const std::string& file, int64_t lo = 0,
            int64_t hi = INT32_MAX) {
  const pugi::xml_attribute a = n.attribute(name);
  if (!a) return fallback;
  return int(ParseInteger(a.value(), lo, hi, file, std::string("<") + n.name() + "> attribute " + name));
}

double FactorAttr(const pugi::xml_node& n, const char* name, double fallback, const std::string& file) {
  const pugi::xml_attribute a = n.attribute(name);
  return a ? ParseFactor(a.value(), file, std::string("<") + n.name() + "> attribute " + name) : fallback;
}

Properties ReadProperties(const pugi::xml_node& owner) {
  Properties out;
  for (pugi::xml_node p : owner.child("properties").children("property")) {
    // A multi-line string keeps its value as the element's text.
    const pugi::xml_attribute value = p.attribute("value");
    out.push_back({Attr(p, "name"), Attr(p, "type", "string"), value ? value.value() : p.text().get()});
  }
  return out;
}

void ParseDocument(pugi::xml_document& doc, const std::string& bytes, const std::string& file) {
  const pugi::xml_parse_result r = doc.load_buffer(bytes.data(), bytes.size());
  if (!r)
    throw Refusal(file,
                  std::string("not a readable XML file: ") + r.description() + " at byte " + std::to_string(r.offset));
}

std::string ReadText(const std::string& path, const std::string& what) {
  bool cut = false;
  auto bytes = ReadWholeFile(path, kMaxTiledFileBytes, &cut);
  if (!bytes) throw Refusal(path, "cannot read the " + what);
  if (cut) throw Refusal(path, "larger than " + std::to_string(kMaxTiledFileBytes >> 20) + " MB");
  return std::string(bytes->begin(), bytes->end());
}

Tileset TilesetFromXml(const pugi::xml_node& n, const std::string& file, const std::string& folder) {
  Tileset t;
  t.file = file;
  t.folder = folder;
  t.name = Attr(n, "name");
  t.tileWidth = IntAttr(n, "tilewidth", 0, file);
  t.tileHeight = IntAttr(n, "tileheight", 0, file);
  t.columns = IntAttr(n, "columns", 0, file);
  t.tileCount = IntAttr(n, "tilecount", 0, file);
  t.margin = IntAttr(n, "margin", 0, file);
  t.spacing = IntAttr(n, "spacing", 0, file);
  const pugi::xml_node image = n.child("image");
  t.image = Attr(image, "source");
  t.imageWidth = IntAttr(image, "width", 0, file);
  t.imageHeight = IntAttr(image, "height", 0, file);
  t.properties = ReadProperties(n);
  for (pugi::xml_node tile : n.children("tile")) {
    TileInfo info;
    info.id = uint32_t(IntAttr(tile, "id", 0, file));
    info.properties = ReadProperties(tile);
    for (pugi::xml_node f : tile.child("animation").children("frame"))
      info.animation.push_back({uint32_t(IntAttr(f, "tileid", 0, file)), uint32_t(IntAttr(f, "duration", 0, file))});
    t.tiles.push_back(std::move(info));
  }
  CheckTileset(t);
  return t;
}

std::vector<uint32_t> LayerData(const pugi::xml_node& data, const Map& m, const Layer& l) {
  if (data.child("chunk")) throw Refusal(m.file, "layer \"" + l.name + "\" is stored in chunks (an infinite map)");
  const size_t cells = size_t(l.width) * size_t(l.height);
  const std::string encoding = Attr(data, "encoding");
  if (!encoding.empty())
    return DecodeLayerData(data.text().get(), encoding, Attr(data, "compression"), cells, m.file, l.name);
  // The oldest form: one <tile gid=".."/> a cell.
  std::vector<uint32_t> gids;
  for (pugi::xml_node tile : data.children("tile")) {
    if (gids.size() == cells)
      throw Refusal(m.file, "layer \"" + l.name + "\" holds more than its " + std::to_string(cells) + " cells");
    gids.push_back(uint32_t(ParseInteger(Attr(tile, "gid", "0"), 0, UINT32_MAX, m.file, "a <tile> gid")));
  }
  if (gids.size() != cells)
    throw Refusal(m.file, "layer \"" + l.name + "\" holds " + std::to_string(gids.size()) + " cells, its size " +
                              std::to_string(cells));
  return gids;
}

void ReadLayers(const pugi::xml_node& parent, Map& m, const GroupFrame& group, uint64_t& cells) {
  if (group.depth > kMaxGroupDepth)
    throw Refusal(m.file, "group layers nest deeper than " + std::to_string(kMaxGroupDepth));
  for (pugi::xml_node n : parent.children()) {
    const std::string kind = n.name();
    const std::string name = Attr(n, "name");
    if (kind == "layer") {
      Layer l;
      l.name = name;
      l.width = IntAttr(n, "width", 0, m.file);
      l.height = IntAttr(n, "height", 0, m.file);
      l.offsetX = FactorAttr(n, "offsetx", 0, m.file);
      l.offsetY = FactorAttr(n, "offsety", 0, m.file);
      l.parallaxX = FactorAttr(n, "parallaxx", 1, m.file);
      l.parallaxY = FactorAttr(n, "parallaxy", 1, m.file);
      l.properties = ReadProperties(n);
      AddGroupOffsets(l, group);
      CheckLayerSize(m, l, cells);
      l.gids = LayerData(n.child("data"), m, l);
      m.layers.push_back(std::move(l));
    } else if (kind == "group") {
      GroupFrame inner = group;
      inner.offsetX += FactorAttr(n, "offsetx", 0, m.file);
      inner.offsetY += FactorAttr(n, "offsety", 0, m.file);
      inner.parallaxX *= FactorAttr(n, "parallaxx", 1, m.file);
      inner.parallaxY *= FactorAttr(n, "parallaxy", 1, m.file);
      ++inner.depth;
      const size_t before = m.layers.size();
      ReadLayers(n, m, inner, cells);
      if (m.layers.size() == before) m.notes.push_back("group layer \"" + name + "\" holds no tile layer: skipped");
    } else if (kind == "objectgroup") {
      m.notes.push_back("object layer \"" + name + "\" skipped (a level has tile planes only)");
    } else if (kind == "imagelayer") {
      m.notes.push_back("image layer \"" + name + "\" skipped (a level has tile planes only)");
    }
  }
}

// Text as pugixml saves it, two spaces a level.
std::string Save(const pugi::xml_document& doc) {
  std::ostringstream out;
  doc.save(out, " ", pugi::format_default, pugi::encoding_utf8);
  return out.str();
}

void AddProperties(pugi::xml_node owner, const Properties& properties) {
  if (properties.empty()) return;
  pugi::xml_node list = owner.append_child("properties");
  for (const Property& p : properties) {
    pugi::xml_node n = list.append_child("property");
    n.append_attribute("name") = p.name.c_str();
    if (p.type != "string") n.append_attribute("type") = p.type.c_str();
    n.append_attribute("value") = p.value.c_str();
  }
}

void FillTileset(pugi::xml_node n, const Tileset& t) {
  n.append_attribute("name") = t.name.c_str();
  n.append_attribute("tilewidth") = t.tileWidth;
  n.append_attribute("tileheight") = t.tileHeight;
  if (t.spacing) n.append_attribute("spacing") = t.spacing;
  if (t.margin) n.append_attribute("margin") = t.margin;
  n.append_attribute("tilecount") = t.tileCount;
  n.append_attribute("columns") = t.columns;
  AddProperties(n, t.properties);
  pugi::xml_node image = n.append_child("image");
  image.append_attribute("source") = t.image.c_str();
  image.append_attribute("width") = t.imageWidth;
  image.append_attribute("height") = t.imageHeight;
  for (const TileInfo& info : t.tiles) {
    pugi::xml_node tile = n.append_child("tile");
    tile.append_attribute("id") = info.id;
    AddProperties(tile, info.properties);
    if (info.animation.empty()) continue;
    pugi::xml_node anim = tile.append_child("animation");
    for (const AnimationFrame& f : info.animation) {
      pugi::xml_node frame = anim.append_child("frame");
      frame.append_attribute("tileid") = f.tileId;
      frame.append_attribute("duration") = f.duration;
    }
  }
}

// The declaration and the root element of a file as Tiled 1.8.2 writes it.
pugi::xml_node StartDocument(pugi::xml_document& doc, const char* rootName) {
  pugi::xml_node decl = doc.append_child(pugi::node_declaration);
  decl.append_attribute("version") = "1.0";
  decl.append_attribute("encoding") = "UTF-8";
  pugi::xml_node root = doc.append_child(rootName);
  root.append_attribute("version") = "1.8";
  root.append_attribute("tiledversion") = "1.8.2";
  return root;
}

}  // namespace

Map ParseMapXml(const std::string& bytes, const std::string& file, const std::string& folder) {
  pugi::xml_document doc;
  ParseDocument(doc, bytes, file);
  const pugi::xml_node root = doc.child("map");
  if (!root) throw Refusal(file, "not a Tiled map: no <map> element");
  Map m;
  m.file = file;
  m.orientation = Attr(root, "orientation", "orthogonal");
  m.renderOrder = Attr(root, "renderorder", "right-down");
  m.width = IntAttr(root, "width", 0, file);
  m.height = IntAttr(root, "height", 0, file);
  m.tileWidth = IntAttr(root, "tilewidth", 0, file);
  m.tileHeight = IntAttr(root, "tileheight", 0, file);
  m.infinite = Attr(root, "infinite", "0") != "0";
  CheckMapHead(m);
  m.properties = ReadProperties(root);
  for (pugi::xml_node n : root.children("tileset")) {
    if (m.tilesets.size() == kMaxTilesets)
      throw Refusal(file, "more than " + std::to_string(kMaxTilesets) + " tilesets");
    TilesetRef ref;
    ref.firstGid = uint32_t(IntAttr(n, "firstgid", 1, file, 1, INT32_MAX));
    ref.source = Attr(n, "source");
    ref.tileset = ref.source.empty() ? TilesetFromXml(n, file, folder) : ReadTileset(JoinPath(folder, ref.source));
    m.tilesets.push_back(std::move(ref));
  }
  uint64_t cells = 0;
  ReadLayers(root, m, GroupFrame{}, cells);
  return m;
}

Tileset ParseTilesetXml(const std::string& bytes, const std::string& file) {
  pugi::xml_document doc;
  ParseDocument(doc, bytes, file);
  const pugi::xml_node root = doc.child("tileset");
  if (!root) throw Refusal(file, "not a Tiled tileset: no <tileset> element");
  return TilesetFromXml(root, file, FolderOf(file));
}

std::string ReadTiledText(const std::string& path, const std::string& what) { return ReadText(path, what); }

std::string MapXml(const Map& m) {
  pugi::xml_document doc;
  pugi::xml_node root = StartDocument(doc, "map");
  root.append_attribute("orientation") = m.orientation.c_str();
  root.append_attribute("renderorder") = m.renderOrder.c_str();
  root.append_attribute("width") = m.width;
  root.append_attribute("height") = m.height;
  root.append_attribute("tilewidth") = m.tileWidth;
  root.append_attribute("tileheight") = m.tileHeight;
  root.append_attribute("infinite") = m.infinite ? 1 : 0;
  root.append_attribute("nextlayerid") = int(m.layers.size() + 1);
  root.append_attribute("nextobjectid") = 1;
  AddProperties(root, m.properties);
  for (const TilesetRef& ref : m.tilesets) {
    pugi::xml_node n = root.append_child("tileset");
    n.append_attribute("firstgid") = ref.firstGid;
    if (!ref.source.empty()) {
      n.append_attribute("source") = ref.source.c_str();
    } else {
      FillTileset(n, ref.tileset);
    }
  }
  int id = 1;
  for (const Layer& l : m.layers) {
    pugi::xml_node n = root.append_child("layer");
    n.append_attribute("id") = id++;
    n.append_attribute("name") = l.name.c_str();
    n.append_attribute("width") = l.width;
    n.append_attribute("height") = l.height;
    if (l.parallaxX != 1) n.append_attribute("parallaxx") = l.parallaxX;
    if (l.parallaxY != 1) n.append_attribute("parallaxy") = l.parallaxY;
    AddProperties(n, l.properties);
    pugi::xml_node data = n.append_child("data");
    data.append_attribute("encoding") = "csv";
    std::string csv = "\n";
    for (int y = 0; y < l.height; ++y) {
      for (int x = 0; x < l.width; ++x) {
        csv += std::to_string(l.gids[size_t(y) * size_t(l.width) + size_t(x)]);
        if (x + 1 < l.width || y + 1 < l.height) csv += ',';
      }
      csv += '\n';
    }
    data.text() = csv.c_str();
  }
  return Save(doc);
}

std::string TilesetXml(const Tileset& t) {
  pugi::xml_document doc;
  pugi::xml_node root = StartDocument(doc, "tileset");
  FillTileset(root, t);
  return Save(doc);
}

}  // namespace tiled
