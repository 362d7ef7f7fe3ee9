// limits.h: every bound the engine puts on a count, size or index that comes
// from a file or from input, in one place. A file that asks for more is
// damaged: its loader says so in one line on stderr and keeps within these.
#pragma once

#include <cstddef>
#include <cstdint>

// ---- Tile sets (.til, .dat) ---------------------------------------------------

// Frames and animation steps per tile; counts above it are read past.
constexpr int kMaxTileFrames = 25;
// Tiles of a default, version-0 or version-2 set, and the records of a .dat.
constexpr uint16_t kFixedTileCount = 2000;
// A version-1 set counts its tiles in two bytes, and needs at least four
// bytes a tile: a count the rest of the file cannot hold is cut to what fits.
constexpr size_t kMaxTileCount = 65535;
// Positions the palette animation visits (three ranges of 64). Every set
// holds at least this many cycles and rotation entries, whatever it counts.
constexpr int kPalettePositions = 192;

// ---- Levels (.lev) and the editor ---------------------------------------------

// No side of a plane can be longer than a two-byte size of the older files.
constexpr uint32_t kMaxPlaneSide = 65535;
// Memory all planes of one level file may claim (cells and line tables);
// beyond it the sizes are corrupt and the file gives the new level.
constexpr int64_t kMaxLevelBytes = int64_t(64) << 20;
// A version-2 file counts its planes in a byte (255 at most). The editor
// keeps a shown flag for the first 16 and inserts planes only up to 16.
constexpr size_t kShownPlanes = 16;
// Cells C may copy at once (16 MB of clipboard): larger selections are
// refused with a notice.
constexpr size_t kMaxClipboardCells = size_t(1) << 22;
// Memory the editor's undo history may hold: past it the oldest steps are
// dropped (said once on stderr); a single step larger than this is not kept.
constexpr size_t kMaxEditHistoryBytes = size_t(64) << 20;

// ---- Images, sprites, fonts and the card ----------------------------------------

// No video mode shows more than 640 x 480; a bigger sprite can only come
// from a broken file, and its frame is left out.
constexpr uint64_t kMaxSpriteBytes = 640 * 480;
// Characters a value of a text definition file keeps.
constexpr size_t kMaxValueLength = 255;
// Fonts a font list may name.
constexpr size_t kMaxFonts = 255;
// Pixel bytes all glyphs together may hold: a glyph entry is a few bytes of
// text, its pixels up to a whole sheet.
constexpr size_t kFontPixelBudget = size_t(16) << 20;
// Panels a card may define: panel indices are bytes and two are the roots.
// Every other count of the card file is a byte.
constexpr size_t kMaxCardPanels = 254;
// Pixel bytes the sprites of one card may hold.
constexpr size_t kCardPixelBudget = size_t(8) << 20;
// Trigger keys are scan codes below this; others can never be pressed.
constexpr uint16_t kKeyCodes = 128;

// ---- Sound (.wav) ------------------------------------------------------------

// Nothing the engine plays is near this long; it bounds what a broken rate
// (a 1 Hz header on a big file) can make a sound claim: about 100 MB. The
// sound is converted as it is read, so that is all a load holds.
constexpr uint32_t kMaxSoundSeconds = 600;

// ---- Objects and tarn-run ------------------------------------------------------

// Slots of the object list; appends past them are ignored.
constexpr int kObjectSlots = 4096;
// Frames tarn-run counts to, in its arguments and its input script.
constexpr uint64_t kMaxRunFrames = 1000000000000ull;

// ---- How much of a file is read ------------------------------------------------
// Only regular files are read (a FIFO or a device is refused before any read).
// Binary files are read as their loader walks them, a window at a time, so
// their bounds are the most a loader can take, not memory it claims; text
// files are read whole, up to their bound.

// A level reader takes no more than its planes' memory budget (each byte it
// reads claims at least one) and a few header bytes; bytes after the level
// are only counted.
constexpr uint64_t kMaxLevelFileBytes = uint64_t(kMaxLevelBytes) + 4096;
// Every count of a tile set is a byte, but a version-1 tile count: 65,535
// tiles of 255 frames and steps with their collision cells, then 255 palette
// sets of 255 cycles of 255 steps is the most its reader can walk (1.2 GB).
constexpr uint64_t kMaxTileSetBytes =
    7 + uint64_t(kMaxTileCount) * (4 + 255 + 255 * 64 + 64) + 1 + 255 * (2 + 255 * (1 + 255 * 4 + 2) + 3);
// A .dat holds a 66-byte record for each of the 2,000 tiles of a fixed set.
constexpr uint64_t kMaxDatBytes = uint64_t(kFixedTileCount) * 66;
// A 320x200 image encodes in at most two bytes a pixel (a run of one each);
// the palette marker and the 768 palette bytes follow.
constexpr uint64_t kMaxPcxBytes = 128 + 2 * 320 * 200 + 1 + 768;
// A RIFF file counts the bytes after its first eight in four bytes.
constexpr uint64_t kMaxWaveFileBytes = 8 + uint64_t(UINT32_MAX);
// A font list is a count and at most 255 names: at 255 characters a value
// and as many for its label that is 128 KB, and 1 MB leaves room for notes.
constexpr size_t kMaxFontListBytes = size_t(1) << 20;
// A font description is three entries and five for each of at most 255
// glyphs: 1,278 entries are 650 KB at 255 characters a value and a label.
constexpr size_t kMaxFontFileBytes = size_t(4) << 20;
// A card's byte counts allow more entries than anyone writes (the demo's
// card is 31 KB): 16 MB is hundreds of cards; entries past it read as 0.
constexpr size_t kMaxCardFileBytes = size_t(16) << 20;
// A tarn-run script line is one event of a few words: 64 MB holds millions,
// more than any run can use; a longer script is refused.
constexpr size_t kMaxScriptBytes = size_t(64) << 20;

// ---- Tiled maps and tile sheets (tarn-tiled) -------------------------------------

// A map or tileset file (TMX, TSX, JSON) is read whole up to this: a level's
// cells written as text with all their properties stay far below it.
constexpr size_t kMaxTiledFileBytes = size_t(256) << 20;
// Cells of all tile layers of one map together: what the level's memory
// budget holds at two bytes a cell.
constexpr uint64_t kMaxMapCells = uint64_t(kMaxLevelBytes) / 2;
// Group layers inside group layers, and tilesets a map may name.
constexpr int kMaxGroupDepth = 64;
constexpr size_t kMaxTilesets = 255;
// A tile sheet (PNG): its file, its sides and its pixels. The demo's
// largest sheet is 320 x 400; a sheet of 65,535 tiles at 40 a row is
// 320 x 13,112.
constexpr size_t kMaxSheetFileBytes = size_t(256) << 20;
constexpr uint32_t kMaxSheetSide = 65535;
constexpr uint64_t kMaxSheetPixels = uint64_t(1) << 26;

// ---- Saves ----------------------------------------------------------------------

// Links a save follows to the file it replaces; a longer chain is a loop.
constexpr int kMaxLinkHops = 40;
