// sheet_tiles.cpp: cutting sheets into tiles, their `tarn.` properties and
// animations, and the colours of sheets that are not our own indexed ones.
#include "sheet_tiles.h"

#include <algorithm>
#include <map>

#include "common/limits.h"
#include "gfx/frame_buffer.h"
#include "gfx/palette_sets.h"
#include "gfx/tile_blocks.h"
#include "level/tile_set.h"
#include "tarn_properties.h"
#include "tiled_check.h"
#include "tiled_export.h"

namespace tiled {

namespace {

using Cell = std::array<uint8_t, 64>;

// A tileset's sheet cut into cells, as RGBA or as stored indices.
struct CutSheet {
  const Tileset* tileset = nullptr;
  std::string file;     // the sheet, for messages
  bool direct = false;  // our indexed export: indices are palette indices
  uint32_t cells = 0, columns = 0;
  Sheet sheet;
  uint32_t base = 0;      // tile of local id 0
  uint32_t ownTiles = 0;  // tiles it adds to the table
};

uint32_t CellOrigin(const CutSheet& c, uint32_t id, bool y) {
  const Tileset& t = *c.tileset;
  const uint32_t k = y ? id / c.columns : id % c.columns;
  return uint32_t(t.margin) + k * (8 + uint32_t(t.spacing));
}

// The palette slots every colour of a non-direct sheet takes, chosen before
// any tile is made; 0 for a pixel with no alpha.
class ColourSlots {
 public:
  // used: slots 1..63 the direct sheets' pixels name (kept as they are).
  ColourSlots(const std::array<uint8_t, 768>& shown, const std::array<bool, 256>& used) : used_(used) {
    const PaletteSet* set = CurrentPaletteSet();
    auto animated = [&](int position) {
      if (!set || position >= int(set->cycles.size())) return false;
      return set->cycles[position].stepCount > 1 || set->rotateDelay[position] != 0;
    };
    // Lowest slot first; slots 128..191 follow the lower half, free slots are not colours yet.
    for (int s = 255; s >= 1; --s) {
      if (s >= 128 && s < 192) continue;
      if (s < 64 && (!used_[s] || animated(s))) continue;
      if (s >= 64 && s < 128 && set && set->cycleCount > 64 && animated(s - 64)) continue;
      if (s >= 192 && set && set->cycleCount > 128 && animated(s - 64)) continue;
      byColour_[Key(shown[3 * s] >> 2, shown[3 * s + 1] >> 2, shown[3 * s + 2] >> 2)] = uint8_t(s);
    }
  }
  static uint32_t Key(int r, int g, int b) { return uint32_t(r) << 12 | uint32_t(g) << 6 | uint32_t(b); }
  // Gives every colour of the sheet a slot, or counts what does not fit.
  void Take(const uint8_t* rgba) {
    if (rgba[3] == 0) return;
    const uint32_t key = Key(rgba[0] >> 2, rgba[1] >> 2, rgba[2] >> 2);
    if (byColour_.count(key)) return;
    while (nextFree_ < 64 && used_[nextFree_]) ++nextFree_;
    if (nextFree_ < 64) {
      used_[nextFree_] = true;
      byColour_[key] = uint8_t(nextFree_);
      added_.push_back({uint8_t(nextFree_), key});
    } else {
      byColour_[key] = 0;
      ++overflow_;
    }
  }
  uint8_t Slot(const uint8_t* rgba) const {
    return rgba[3] == 0 ? 0 : byColour_.at(Key(rgba[0] >> 2, rgba[1] >> 2, rgba[2] >> 2));
  }
  size_t Overflow() const { return overflow_; }
  size_t Added() const { return added_.size(); }
  // The new colours as one-step cycles of every palette set.
  void Install() const {
    std::vector<PaletteSet> sets = Tiles.paletteSets;
    for (PaletteSet& set : sets) {
      set.cycleCount = std::max<uint8_t>(set.cycleCount, 64);
      for (const auto& [slot, key] : added_) {
        PaletteCycle& c = set.cycles[slot];
        c = PaletteCycle{};
        c.stepCount = 1;
        c.stepDelays = {0};
        c.colours = {uint8_t(key >> 12), uint8_t(key >> 6 & 63), uint8_t(key & 63)};
        set.rotateWith[slot] = set.rotateDelay[slot] = 0;
      }
    }
    SetPaletteSets(std::move(sets));
  }

 private:
  std::array<bool, 256> used_;
  std::map<uint32_t, uint8_t> byColour_;
  std::vector<std::pair<uint8_t, uint32_t>> added_;
  int nextFree_ = 1;
  size_t overflow_ = 0;
};

Cell CellPixels(const CutSheet& c, uint32_t id, const ColourSlots* slots) {
  Cell out{};
  const uint32_t x0 = CellOrigin(c, id, false), y0 = CellOrigin(c, id, true);
  for (uint32_t p = 0; p < 64; ++p) {
    const size_t at = size_t(y0 + p / 8) * c.sheet.width + x0 + p % 8;
    out[p] = c.direct ? c.sheet.indices[at] : slots->Slot(&c.sheet.rgba[at * 4]);
  }
  return out;
}

bool CellIsBlank(const CutSheet& c, uint32_t id) {
  const uint32_t x0 = CellOrigin(c, id, false), y0 = CellOrigin(c, id, true);
  for (uint32_t p = 0; p < 64; ++p) {
    const size_t at = size_t(y0 + p / 8) * c.sheet.width + x0 + p % 8;
    if (c.direct ? c.sheet.indices[at] != 0 : c.sheet.rgba[at * 4 + 3] != 0) return false;
  }
  return true;
}

// Reads the sheet and works out its grid; refuses a sheet smaller than its tileset says.
CutSheet Cut(const Tileset& t) {
  CutSheet c;
  c.tileset = &t;
  c.file = JoinPath(t.folder, t.image);
  c.sheet = ReadSheet(c.file);
  const uint32_t w = c.sheet.width, h = c.sheet.height, m = uint32_t(t.margin), s = uint32_t(t.spacing);
  const uint32_t fitX = w >= 2 * m + 8 ? (w - 2 * m + s) / (8 + s) : 0;
  const uint32_t fitY = h >= 2 * m + 8 ? (h - 2 * m + s) / (8 + s) : 0;
  c.columns = t.columns > 0 ? uint32_t(t.columns) : fitX;
  if (c.columns == 0 || c.columns > fitX)
    throw Refusal(c.file, "the sheet is " + std::to_string(w) + " pixels wide: it holds " + std::to_string(fitX) +
                              " columns of 8-pixel tiles, tileset \"" + t.name + "\" says " +
                              std::to_string(t.columns));
  const uint64_t fits = uint64_t(c.columns) * fitY;
  c.cells = t.tileCount > 0 ? uint32_t(t.tileCount) : uint32_t(std::min<uint64_t>(fits, UINT32_MAX));
  if (c.cells > fits)
    throw Refusal(c.file, "the sheet holds " + std::to_string(fits) + " tiles, tileset \"" + t.name + "\" says " +
                              std::to_string(t.tileCount));
  c.direct = c.sheet.indexed && FindProperty(t.properties, "tarn.paletteSets");
  return c;
}

int64_t IntProperty(const Properties& props, const char* name, int64_t fallback, int64_t hi, const std::string& file) {
  const std::string* v = FindProperty(props, name);
  return v ? ParseInteger(*v, 0, hi, file, std::string("property ") + name) : fallback;
}

// Frames and delays of a tile: from its `tarn.` properties when Tiled's
// animation is still the one they give, otherwise from Tiled's animation.
void SetAnimation(Tile& tile, const CutSheet& c, uint32_t id, const TileInfo* info, const ColourSlots* slots) {
  const std::string& file = c.tileset->file;
  std::vector<uint32_t> frames = {id};
  std::vector<uint8_t> delays;
  if (info) {
    const std::string* f = FindProperty(info->properties, "tarn.frames");
    const std::string* d = FindProperty(info->properties, "tarn.delays");
    std::vector<uint32_t> ownFrames = frames;
    std::vector<uint8_t> ownDelays;
    if (f) {
      ownFrames.clear();
      for (int64_t v : SplitNumbers(*f, 0, int64_t(c.cells) - 1, file, "tile " + std::to_string(id) + " tarn.frames"))
        ownFrames.push_back(uint32_t(v));
    }
    if (d)
      for (int64_t v : SplitNumbers(*d, 0, 255, file, "tile " + std::to_string(id) + " tarn.delays"))
        ownDelays.push_back(uint8_t(v));
    const auto expected = UnrollAnimation(ownFrames.empty() ? std::vector<uint32_t>{id} : ownFrames, ownDelays);
    const bool same = expected.size() == info->animation.size() &&
                      std::equal(expected.begin(), expected.end(), info->animation.begin(),
                                 [](auto& a, auto& b) { return a.tileId == b.tileId && a.duration == b.duration; });
    if (same) {
      frames = ownFrames;
      delays = ownDelays;
    } else {
      frames.clear();
      for (const AnimationFrame& a : info->animation) {
        if (a.tileId >= c.cells)
          throw Refusal(file, "tile " + std::to_string(id) + "'s animation shows tile " + std::to_string(a.tileId) +
                                  ", past the tileset's " + std::to_string(c.cells));
        frames.push_back(a.tileId);
        delays.push_back(DelayOfMilliseconds(a.duration));
      }
    }
  }
  if (frames.size() > size_t(kMaxTileFrames) || delays.size() > size_t(kMaxTileFrames))
    throw Refusal(file, "tile " + std::to_string(id) + " has " +
                            std::to_string(std::max(frames.size(), delays.size())) +
                            " animation frames; a tile has at most " + std::to_string(kMaxTileFrames));
  tile.frameCount = uint8_t(frames.size());
  tile.stepCount = uint8_t(delays.size());
  tile.stepDelays.fill(0);
  std::copy(delays.begin(), delays.end(), tile.stepDelays.begin());
  tile.opaque = 1;
  for (size_t f = 0; f < frames.size(); ++f) {
    const Cell px = CellPixels(c, frames[f], slots);
    tile.frames[f].assign(px.begin(), px.end());
    if (std::find(px.begin(), px.end(), 0) != px.end()) tile.opaque = 0;
  }
  // A tile of no frames still has a blank block to draw, as the default set's.
  if (frames.empty()) {
    tile.frames[0].assign(64, 0);
    tile.opaque = 0;
  }
}

void MakeTile(Tile& tile, const CutSheet& c, uint32_t id, const ColourSlots* slots) {
  ReleaseTileFrames(tile);
  InitTile(tile);
  const TileInfo* info = nullptr;
  for (const TileInfo& i : c.tileset->tiles)
    if (i.id == id) info = &i;
  SetAnimation(tile, c, id, info, slots);
  if (!info) return;
  const std::string& file = c.tileset->file;
  tile.floor = uint8_t(IntProperty(info->properties, "tarn.floor", 0, 255, file));
  tile.slope = uint8_t(IntProperty(info->properties, "tarn.slope", 0, 255, file));
  if (const std::string* col = FindProperty(info->properties, "tarn.collision")) {
    const auto cells = SplitNumbers(*col, 0, 255, file, "tile " + std::to_string(id) + " tarn.collision");
    if (cells.size() != 64)
      throw Refusal(file, "tile " + std::to_string(id) + " tarn.collision has " + std::to_string(cells.size()) +
                              " cells, not 64");
    std::copy(cells.begin(), cells.end(), tile.collision.begin());
  }
}

// The palette sets the first tileset carries, or the default set's one.
void StartPaletteSets(const std::vector<CutSheet>& sheets) {
  BuildDefaultTileSet();
  if (sheets.empty() || !sheets[0].direct) return;
  const Tileset& t = *sheets[0].tileset;
  const int64_t n = IntProperty(t.properties, "tarn.paletteSets", 0, 255, t.file);
  std::vector<PaletteSet> sets;
  for (int64_t i = 0; i < n; ++i) {
    const std::string name = "tarn.paletteSet." + std::to_string(i);
    const std::string* text = FindProperty(t.properties, name);
    if (!text) throw Refusal(t.file, "tileset property " + name + " is missing");
    sets.push_back(ParsePaletteSet(*text, t.file, "property " + name));
  }
  SetPaletteSets(std::move(sets));
}

void MakeTiles(std::vector<CutSheet>& sheets, bool shiftPicturedZero) {
  StartPaletteSets(sheets);
  SelectPaletteSet(0);
  RestoreGlobalColours();
  SetEditorColours();
  // Where each tileset's tiles go: our own first tileset keeps tile k at
  // cell k; any other starts after the tiles before it, and a first one
  // whose cell 0 holds a picture starts at 1, as tile 0 is the empty cell.
  uint64_t next = 0;
  std::array<bool, 256> used{};
  for (size_t i = 0; i < sheets.size(); ++i) {
    CutSheet& c = sheets[i];
    const bool own = i == 0 && c.direct;
    const int64_t ownCount =
        own ? IntProperty(c.tileset->properties, "tarn.tileCount", c.cells, kMaxTileCount, c.tileset->file) : 0;
    if (i == 0 && !own && shiftPicturedZero && c.cells > 0 && !CellIsBlank(c, 0)) next = 1;
    c.base = uint32_t(next);
    c.ownTiles = own ? uint32_t(ownCount) : c.cells;
    next += c.ownTiles;
    if (next > kMaxTileCount)
      throw Refusal(c.tileset->file, "the tilesets hold more than " + std::to_string(kMaxTileCount) + " tiles");
    if (c.direct)
      for (uint8_t v : c.sheet.indices) used[v] = true;
  }
  ColourSlots slots(ShownPalette(), used);
  for (CutSheet& c : sheets)
    if (!c.direct)
      for (size_t p = 0; p < c.sheet.rgba.size(); p += 4) slots.Take(&c.sheet.rgba[p]);
  if (slots.Overflow() > 0)
    throw Refusal(sheets.back().file,
                  std::to_string(slots.Added() + slots.Overflow()) + " new colours do not fit the " +
                      std::to_string(slots.Added()) + " free palette slots of 1..63; reduce the sheet to at most " +
                      std::to_string(slots.Added()) + " colours besides the palette's in your paint program");
  slots.Install();
  ResizeTileSet(uint16_t(std::max<uint64_t>(next, 1)));
  for (CutSheet& c : sheets)
    for (uint32_t k = 0; k < c.ownTiles; ++k) MakeTile(Tiles.tileTable[c.base + k], c, k, &slots);
  TileSetChanged();  // the records were written here, not through the tile set's functions
  SelectPaletteSet(0);
  RestoreGlobalColours();
  SetEditorColours();
}

}  // namespace

std::vector<TilesetPlace> BuildTileSet(const std::vector<TilesetRef>& tilesets) {
  std::vector<CutSheet> sheets;
  sheets.reserve(tilesets.size());
  for (const TilesetRef& ref : tilesets) sheets.push_back(Cut(ref.tileset));
  std::vector<TilesetPlace> places;
  if (sheets.empty()) {
    BuildDefaultTileSet();
    return places;
  }
  MakeTiles(sheets, true);
  for (size_t i = 0; i < sheets.size(); ++i) places.push_back({tilesets[i].firstGid, sheets[i].cells, sheets[i].base});
  return places;
}

void BuildTileSetFromSheet(const Sheet& sheet, const std::string& file) {
  Tileset t;
  t.name = file;
  t.file = file;
  t.columns = int(sheet.width / 8);
  t.tileCount = int(std::min<uint64_t>(uint64_t(sheet.width / 8) * (sheet.height / 8), INT32_MAX));
  if (t.columns == 0 || t.tileCount == 0)
    throw Refusal(file, "the sheet is " + std::to_string(sheet.width) + "x" + std::to_string(sheet.height) +
                            " pixels, smaller than one 8x8 tile");
  std::vector<CutSheet> sheets(1);
  CutSheet& c = sheets[0];
  c.tileset = &t;
  c.file = file;
  c.sheet = sheet;
  c.columns = uint32_t(t.columns);
  c.cells = uint32_t(t.tileCount);
  if (c.cells > kMaxTileCount)
    throw Refusal(file,
                  "the sheet holds " + std::to_string(c.cells) + " tiles, more than " + std::to_string(kMaxTileCount));
  // Cell k is tile k here, tile 0 included: a sheet alone says nothing of a map.
  MakeTiles(sheets, false);
}

}  // namespace tiled
