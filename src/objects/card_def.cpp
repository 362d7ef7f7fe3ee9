// card_def.cpp: reading the card definition file and its art, and measuring
// card parts.
#include "objects/card_def.h"

#include <cstdio>
#include <string>

#include "common/limits.h"
#include "common/module_state.h"
#include "common/regular_file.h"
#include "common/value_reader.h"
#include "gfx/draw.h"
#include "gfx/font.h"

CardDefState CardDefs;

void ResetCardDefs() { CardDefs = {}; }
const ModuleReset kCardDefReset(ResetCardDefs);

uint8_t ConvertPanelReference(uint8_t reference) { return uint8_t(reference + 2); }

int OperandCount(int32_t opcode, int32_t mode) {
  switch (opcode) {
    case 2:
    case 3:
    case 6:
    case 7: return mode >= 0 && mode <= 3 ? 4 : mode >= 4 && mode <= 7 ? 5 : 2;
    case 4:
    case 8: return 4;
    case 5: return mode == 0 || mode == 2 ? 3 : 2;
    case 9:
    case 10:
    case 11:
    case 12:
    case 13:
    case 14:
    case 15:
    case 16:
    case 20: return 2;
    case 17:
    case 18:
    case 19: return 1;
    default: return 0;  // 0, 1 and unknown opcodes
  }
}

namespace {

class CardReader {
 public:
  // Sprites are cut from image; without one they stay empty.
  CardReader(ValueReader& in, std::string file, const PcxImage* image)
      : in_(in), file_(std::move(file)), image_(image) {}

  uint8_t U8() { return uint8_t(in_.ReadNumber()); }
  int32_t I32() { return in_.ReadNumber(); }
  uint16_t U16() { return uint16_t(in_.ReadNumber()); }
  std::string Text() { return in_.ReadValue(); }
  bool Ended() const { return in_.Ended(); }

  // One line on stderr for the first problem of the file.
  void Note(const std::string& problem) {
    if (noted_) return;
    noted_ = true;
    std::fprintf(stderr, "%s: %s\n", file_.c_str(), problem.c_str());
  }

  std::vector<KeyTrigger> Triggers() {
    std::vector<KeyTrigger> triggers(U8());
    for (KeyTrigger& t : triggers) {
      t.combos.resize(U8());
      for (KeyCombo& c : t.combos) {
        c.keys.resize(U8());
        for (uint16_t& k : c.keys) {
          k = U16();
          if (k >= kKeyCodes) Note("trigger key " + std::to_string(k) + " is not a key (0..127)");
        }
      }
      t.script = U8();
    }
    return triggers;
  }

  // A sprite is cut only when its rectangle lies on the 320x200 image and the
  // card's pixel budget allows; otherwise it stays empty and draws nothing.
  void CutSprite(Sprite& s, int32_t x, int32_t y, uint16_t w, uint16_t h) {
    InitSprite(s, w, h);
    const size_t bytes = size_t(s.width) * h;
    if (x < 0 || y < 0 || int64_t(x) + w > 320 || int64_t(y) + h > 200) {
      Note("sprite at (" + std::to_string(x) + ", " + std::to_string(y) + ") size " + std::to_string(w) + "x" +
           std::to_string(h) + " lies outside the 320x200 image");
    } else if (pixels_ + bytes > kCardPixelBudget) {
      Note("sprites hold more pixels than a card may");
    } else if (image_) {
      CutSpriteFrame(*image_, s, 0, x, y);
      pixels_ += bytes;
    }
  }

 private:
  ValueReader& in_;
  std::string file_;
  const PcxImage* image_;
  bool noted_ = false;
  size_t pixels_ = 0;
};

void ReadInstruction(CardReader& in, Instruction& ins) {
  ins.opcode = in.I32();
  if (OperandCount(ins.opcode, 0) == 0) return;
  ins.operands[0] = in.I32();
  // Instructions 17 to 19 take a alone: the next entry is the next opcode.
  if (OperandCount(ins.opcode, 0) == 1) {
    ins.operandCount = 1;
    return;
  }
  ins.operands[1] = in.I32();
  ins.operandCount = uint8_t(OperandCount(ins.opcode, ins.operands[1]));
  for (int k = 2; k < ins.operandCount; ++k) ins.operands[k] = in.I32();
}

// Indices the running card uses without another look: reported once, and
// every use checks them again.
void CheckIndices(CardReader& in, const CardDef& def) {
  const size_t panels = def.panels.size() + 2;
  for (const PanelDef& p : def.panels)
    if (ConvertPanelReference(p.parent) >= panels) in.Note("a panel names a parent that does not exist");
  for (const PartDef& p : def.parts) {
    if (ConvertPanelReference(p.panel) >= panels) in.Note("a part names a panel that does not exist");
    if (p.defIndex != 0) in.Note("a part names a definition other than this one");
    if ((p.kind == kPartSprite || p.kind == kPartSpriteExtra) && p.index >= def.spriteGroups.size())
      in.Note("a part names a sprite group that does not exist");
    if (p.kind == kPartText && p.index >= def.texts.size()) in.Note("a part names a text that does not exist");
    if (p.kind >= kPartLevelName && p.kind <= kPartText && p.font >= Fonts.fonts.size())
      in.Note("a part names a font that is not loaded");
  }
  for (const MenuItem& item : def.items)
    if (item.ownerPanel >= panels) in.Note("a menu item names a panel that does not exist");
  if (def.startPanel >= panels) in.Note("the start panel does not exist");
  for (const auto& script : def.scripts)
    if (script.empty()) in.Note("a script has no instructions");
}

}  // namespace

void MeasurePart(PartDef& part) {
  if (part.defIndex >= CardDefs.CardDefTable.size()) return;
  const CardDef& def = CardDefs.CardDefTable[part.defIndex];
  uint32_t width = 0, height = 0;
  if (part.kind == kPartSprite || part.kind == kPartSpriteExtra) {
    if (part.index >= def.spriteGroups.size() || def.spriteGroups[part.index].empty()) return;
    const Sprite& s = def.spriteGroups[part.index][0];
    width = s.width;
    height = s.height;
  } else if (part.kind == kPartText) {
    if (part.index >= def.texts.size()) return;
    width = TextWidth(def.texts[part.index].c_str(), FontAt(part.font));
    height = 16;
  } else {
    return;
  }
  // Sprites and glyphs store doubled widths in video mode 2.
  if (Video.VideoMode == 2) width >>= 1;
  part.width = uint16_t(width);
  part.halfWidth = uint16_t(uint16_t(width) >> 1);
  part.height = uint16_t(height);
  part.halfHeight = uint16_t(uint16_t(height) >> 1);
}

uint32_t TextWidth(const char* text, const Font* font) {
  if (!font || font->glyphs.empty() || !text) return 0;
  uint32_t width = 0;
  for (const char* p = text; *p; ++p) {
    const char c = *p;
    size_t g = c >= 'a' && c <= 'z'   ? c - 'a' + 11
               : c >= 'A' && c <= 'Z' ? c - 'A' + 11
               : c >= '0' && c <= '9' ? c - '0' + 1
                                      : 0;
    if (g >= font->glyphs.size()) g = 0;
    width += font->glyphs[g].width;
  }
  return width;
}

void LoadCardDefs(const std::string& dataDir, const std::string& defaultDataDir) {
  std::string stats = dataDir + "/stats";
  auto opened = ValueReader::Open(stats + "/card.tdf", kMaxCardFileBytes);
  // The same folder again would only refuse what it refused (a FIFO, ...) once more.
  if (!opened && defaultDataDir != dataDir) {
    stats = defaultDataDir + "/stats";
    opened = ValueReader::Open(stats + "/card.tdf", kMaxCardFileBytes);
  }
  if (!opened) return;  // no card: the attract sequence runs without one

  // Without its image the card keeps its layout but its sprites stay empty
  // and its colours black.
  const std::string imagePath = stats + "/zlabel.pcx";
  const std::optional<PcxImage> image = ReadPcx(imagePath, false);
  if (image) {
    for (int i = 0; i < 16; ++i)
      for (int k = 0; k < 3; ++k) CardDefs.CardColours[i][k] = image->palette[i * 3 + k];
  } else {
    CardDefs.CardColours = {};
    // One that is not a file was refused with its own line.
    if (!LastOpenRefused()) std::fprintf(stderr, "%s: cannot read the card image\n", imagePath.c_str());
  }
  CardReader in(*opened, stats + "/card.tdf", image ? &*image : nullptr);

  CardDefs.CardDefTable.assign(1, CardDef{});
  CardDef& def = CardDefs.CardDefTable[0];
  in.Text();  // a heading
  def.counterCount = in.U8();
  def.reservedCount = in.U8();
  def.slotCount = in.U8();
  def.startPanel = ConvertPanelReference(in.U8());

  def.panels.resize(in.U8());
  for (PanelDef& p : def.panels) {
    p.parent = in.U8();
    p.x = in.I32();
    p.y = in.I32();
    p.left = in.I32();
    p.top = in.I32();
    p.right = in.I32();
    p.bottom = in.I32();
    p.visible = in.U8();
    p.selectedItem = in.U8();
    p.reserved1 = in.U8();
    p.reserved2 = in.U8();
    p.triggers = in.Triggers();
  }
  if (def.panels.size() > kMaxCardPanels) {
    in.Note("more than 254 panels");
    CardDefs.CardDefTable.clear();
    return;
  }

  def.texts.resize(in.U8());
  for (std::string& t : def.texts) t = in.Text();

  def.spriteGroups.resize(in.U8());
  for (auto& group : def.spriteGroups) {
    group.resize(in.U8());
    for (Sprite& s : group) {
      const int32_t x = in.I32(), y = in.I32();
      const uint16_t w = in.U16(), h = in.U16();
      in.CutSprite(s, x, y, w, h);
    }
  }

  def.items.resize(in.U8());
  for (MenuItem& item : def.items) {
    item.selectScript = in.U8();
    item.deselectScript = in.U8();
    item.ownerPanel = ConvertPanelReference(in.U8());
    item.triggers = in.Triggers();
  }

  def.parts.resize(in.U8());
  for (PartDef& p : def.parts) {
    p.kind = in.U8();
    if (p.kind == kPartSprite || p.kind == kPartText || p.kind == kPartSpriteExtra) {
      p.defIndex = in.U8();
      if (p.defIndex == 255) p.defIndex = 0;  // "this definition"
    }
    p.index = in.U8();
    if (p.kind >= kPartLevelName && p.kind <= kPartText) p.font = in.U8();
    p.visible = in.U8();
    p.panel = in.U8();
    p.x = in.I32();
    p.y = in.I32();
    if (p.kind == kPartSpriteExtra) p.extra = uint32_t(in.I32());
    MeasurePart(p);
  }

  def.scripts.resize(in.U8());
  for (auto& script : def.scripts) {
    script.resize(in.U8());
    for (Instruction& ins : script) ReadInstruction(in, ins);
  }

  if (in.Ended()) in.Note("ends before its last entry; the rest reads as 0");
  CheckIndices(in, def);
}
