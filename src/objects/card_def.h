// card_def.h: the card definition file (stats/card.tdf) and the art its
// sprites are cut from (stats/zlabel.pcx).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/limits.h"
#include "gfx/pcx.h"

struct Font;

// Keys that must all go down in the same frame; scan codes, as the key
// tables index them (codes of 128 or more can never be pressed).
struct KeyCombo {
  std::vector<uint16_t> keys;
};

// Starts its script when any one of its combinations is pressed.
struct KeyTrigger {
  std::vector<KeyCombo> combos;
  uint8_t script = 0;
};

struct PanelDef {
  uint8_t parent = 0;  // raw panel reference: 254 world, 255 screen, n the n-th PanelDef
  uint8_t visible = 0;
  int32_t x = 0, y = 0;                              // inside the parent
  int32_t left = 0, top = 0, right = 0, bottom = 0;  // the window, relative to x, y
  uint8_t reserved1 = 0, reserved2 = 0;
  std::vector<KeyTrigger> triggers;  // live while this panel is current
  uint8_t selectedItem = 0;
};

struct MenuItem {
  uint8_t selectScript = 0, deselectScript = 0;
  uint8_t ownerPanel = 0;            // converted panel index
  std::vector<KeyTrigger> triggers;  // live while this item is selected in the current panel
};

enum PartKind : uint8_t { kPartSprite = 0, kPartLevelName = 1, kPartNumber = 2, kPartText = 3, kPartSpriteExtra = 4 };

// A card part as the file gives it; the running card's parts begin with these fields.
struct PartDef {
  uint8_t panel = 0;    // raw panel reference
  uint8_t visible = 0;  // only 1 draws
  int32_t x = 0, y = 0;
  uint8_t kind = 0;
  uint8_t defIndex = 0;  // definition whose sprites or texts are used
  uint8_t index = 0;     // sprite group or text number
  uint8_t font = 0;
  uint16_t width = 0, halfWidth = 0, height = 0, halfHeight = 0;
  uint32_t extra = 0;
};

// An opcode and the operands its form takes (a, b, c, d, e).
struct Instruction {
  int32_t opcode = 0;
  std::array<int32_t, 5> operands{};
  uint8_t operandCount = 0;
};

struct CardDef {
  std::vector<PartDef> parts;
  std::vector<PanelDef> panels;
  std::vector<MenuItem> items;
  std::vector<std::string> texts;
  std::vector<std::vector<Sprite>> spriteGroups;
  uint8_t slotCount = 0;  // scripts that can run at once
  std::vector<std::vector<Instruction>> scripts;
  uint8_t startPanel = 0;  // converted panel index
  uint8_t counterCount = 0;
  uint8_t reservedCount = 0;
};

struct CardDefState {
  std::vector<CardDef> CardDefTable;                     // empty until a card file loads; then one definition
  std::array<std::array<uint8_t, 3>, 16> CardColours{};  // zlabel.pcx colours 0..15, 6-bit
};
extern CardDefState CardDefs;

void ResetCardDefs();

// 255 -> 1 (screen), 254 -> 0 (world), n -> n + 2, in 8 bits.
uint8_t ConvertPanelReference(uint8_t reference);

// Reads card.tdf from the data folder's "stats" (the default folder's when it
// is missing there) and zlabel.pcx beside it; without the image the sprites
// are left empty. Without a file no definition is
// loaded. A file that ends early reads its missing numbers as 0 and texts as
// empty; indices beyond their counts are reported (one line) and are ignored
// where they are used.
void LoadCardDefs(const std::string& dataDir, const std::string& defaultDataDir);

// Operands an instruction with this opcode and mode (its second operand) has.
int OperandCount(int32_t opcode, int32_t mode);

// Sets width, halfWidth, height and halfHeight of a sprite or text part from
// its sprite group or text; other kinds, and indices that name nothing, keep
// their size.
void MeasurePart(PartDef& part);

// Width in pixels of text in a font: glyphs 1..10 for digits, 11..36 for
// letters of either case, 0 for the rest; a number past the font's glyphs
// measures as glyph 0, as it draws.
uint32_t TextWidth(const char* text, const Font* font);
