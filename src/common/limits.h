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
// (a 1 Hz header on a big file) can make a sound claim: about 100 MB.
constexpr uint32_t kMaxSoundSeconds = 600;

// ---- Objects and tarn-run ------------------------------------------------------

// Slots of the object list; appends past them are ignored.
constexpr int kObjectSlots = 4096;
// Frames tarn-run counts to, in its arguments and its input script.
constexpr uint64_t kMaxRunFrames = 1000000000000ull;

// ---- Saves ----------------------------------------------------------------------

// Links a save follows to the file it replaces; a longer chain is a loop.
constexpr int kMaxLinkHops = 40;
