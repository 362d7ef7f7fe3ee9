// script.cpp: the 21 card script instructions and the running of one script
// slot. Scripts have no jumps: a script runs until an instruction waits or it
// ends, and repeats only when something starts it again.
#include "objects/script.h"

#include <algorithm>

#include "common/module_state.h"
#include "objects/card_state.h"

ScriptState Script;

void ResetScripts() { Script = {}; }
const ModuleReset kScriptReset(ResetScripts);

namespace {

CardState& Card() { return *Script.card; }
int32_t Op(int k) { return Script.current->operands[size_t(k)]; }

// Operand a as a part or a defined panel of the current card, or null when it
// names none (the instruction then does nothing).
Part* PartAt(int32_t a) {
  CardState& c = Card();
  return a >= 0 && size_t(a) < c.parts.size() ? &c.parts[size_t(a)] : nullptr;
}
Panel* DefinedPanel(int32_t a) {
  CardState& c = Card();
  return a >= 0 && size_t(a) + 2 < c.panels.size() ? &c.panels[size_t(a) + 2] : nullptr;
}
uint32_t* CounterAt(int32_t a) {
  CardState& c = Card();
  return a >= 0 && size_t(a) < c.counters.size() ? &c.counters[size_t(a)] : nullptr;
}

// What placement needs of its subject, on one axis.
struct Subject {
  int32_t size, half;
  uint8_t container;  // the part's panel or the panel's parent
};

int32_t Wrap(int64_t v) { return int32_t(uint32_t(uint64_t(v))); }

// The position (or target) the placement rule gives on the axis of mode b;
// false when the mode or alignment computes nothing.
bool Placement(const Subject& s, bool aim, int32_t& out) {
  const int32_t b = Op(1), c = Op(2), d = Script.current->operandCount > 3 ? Op(3) : 0;
  const int32_t e = Script.current->operandCount > 4 ? Op(4) : 0;
  const bool y = b & 1;
  CardState& card = Card();
  int64_t v;
  switch (b) {
    case 0:
    case 1: {
      if (c == 0)
        v = int64_t(d) - s.half;
      else if (c == 1)
        v = d;
      else if (c == 2)
        v = int64_t(d) - s.size;
      else
        return false;
      break;
    }
    case 2:
    case 3: {
      if (s.container >= card.panels.size()) return false;
      const Panel& k = card.panels[s.container];
      const int64_t lo = y ? k.top : k.left, hi = y ? k.bottom : k.right, scroll = y ? k.scrollY : k.scrollX;
      switch (c) {
        case 0: v = lo + scroll + ((hi - lo) >> 1) - s.half + d; break;
        case 1: v = lo + scroll - s.size + d; break;
        case 2: v = hi + scroll + d; break;
        case 3: v = lo + scroll + d; break;
        case 4: v = hi + scroll - s.size + d; break;
        default: return false;
      }
      break;
    }
    case 4:
    case 5: {
      if (d < 0 || size_t(d) >= card.parts.size()) return false;
      const Part& p = card.parts[size_t(d)];
      const int64_t at = y ? (aim ? p.targetY : p.y) : (aim ? p.targetX : p.x);
      const int64_t size = y ? p.height : p.width, half = y ? p.halfHeight : p.halfWidth;
      switch (c) {
        case 0: v = at - s.size + e; break;
        case 1: v = at + size + e; break;
        case 2: v = at + half - s.half + e; break;
        case 3: v = at + e; break;
        case 4: v = at + size - s.size + e; break;
        default: return false;
      }
      break;
    }
    case 6:
    case 7: {
      if (d < 0 || size_t(d) >= card.panels.size()) return false;
      const Panel& n = card.panels[size_t(d)];
      const int64_t lo = y ? n.top : n.left, hi = y ? n.bottom : n.right;
      const int64_t base = y ? (aim ? n.targetY : n.y) : (aim ? n.targetX : n.x);
      switch (c) {
        case 0: v = lo + base + ((hi - lo) >> 1) - s.half + e; break;
        case 1: v = lo + base - s.size + e; break;
        case 2: v = hi + base + e; break;
        case 3: v = lo + base + e; break;
        case 4: v = hi + base - s.size + e; break;
        default: return false;
      }
      break;
    }
    default: return false;
  }
  out = Wrap(v);
  return true;
}

// Place (aim = false) or aim a subject whose position and target are given.
void PlaceOrAim(const Subject& s, int32_t& pos, int32_t& target, bool aim) {
  if (Op(1) < 0 || Op(1) > 7) return;  // modes of 8 or more do nothing
  int32_t v;
  const bool computed = Placement(s, aim, v);
  if (aim) {
    if (computed) target = v;
  } else {
    if (computed) pos = v;
    target = pos;  // placed subjects stand still on that axis
  }
}

void PlacePart(bool aim) {
  Part* p = PartAt(Op(0));
  if (!p) return;
  const bool y = Op(1) & 1;
  const Subject s{y ? p->height : p->width, y ? p->halfHeight : p->halfWidth, ConvertPanelReference(p->panel)};
  PlaceOrAim(s, y ? p->y : p->x, y ? p->targetY : p->targetX, aim);
}

void PlacePanel(bool aim) {
  Panel* n = DefinedPanel(Op(0));
  if (!n) return;
  const bool y = Op(1) & 1;
  const int32_t size = Wrap(y ? int64_t(n->bottom) - n->top : int64_t(n->right) - n->left);
  const Subject s{size, size >> 1, n->parent};
  PlaceOrAim(s, y ? n->y : n->x, y ? n->targetY : n->targetX, aim);
}

void DeleteCard() {
  Script.cardDeleted = 1;
  Script.CardPendingResult = 0;
  Script.CardResultLock = 0;
}

void Commit() {
  if (Script.CardResultLock) return;
  Script.CardResult = Script.CardPendingResult != 0 ? Script.CardPendingResult : Script.CardDefaultResult;
  Script.CardResultWait = 0;
}

void PlacePartOp() { PlacePart(false); }
void AimPartOp() { PlacePart(true); }
void PlacePanelOp() { PlacePanel(false); }
void AimPanelOp() { PlacePanel(true); }

void PartStep() {
  if (Part* p = PartAt(Op(0))) {
    (Op(1) == 0 ? p->stepX : p->stepY) = Op(2);
    p->counterIndex = uint8_t(Op(3));
  }
}

void PanelStep() {
  if (Panel* n = DefinedPanel(Op(0))) {
    (Op(1) == 0 ? n->stepX : n->stepY) = Op(2);
    n->counterIndex = uint8_t(Op(3));
  }
}

// Counts and waits on a counter; comparisons are unsigned.
void CountAndWait() {
  uint32_t* counter = CounterAt(Op(0));
  if (!counter) return;
  const uint32_t limit = Script.current->operandCount > 2 ? uint32_t(Op(2)) : 0;
  switch (Op(1)) {
    case 0:  // wait c frames
      if (*counter < limit) {
        ++*counter;
        Script.YieldFlag = 1;
      } else {
        *counter = 0;
      }
      break;
    case 1:  // count down
      if (*counter > 0) {
        --*counter;
        Script.YieldFlag = 1;
      }
      break;
    case 2:  // wait for c arrivals
      if (*counter < limit)
        Script.YieldFlag = 1;
      else
        *counter = 0;
      break;
    default: break;
  }
}

void PartVisible() {
  if (Part* p = PartAt(Op(0))) p->visible = uint8_t(Op(1));
}

void PanelVisible() {
  Panel* n = DefinedPanel(Op(0));
  if (n && Op(1) < 254) n->visible = uint8_t(Op(1));
}

void PartFont() {
  if (Part* p = PartAt(Op(0))) {
    p->font = uint8_t(Op(1));
    MeasurePart(*p);
  }
}
void SetPartKind() {
  if (Part* p = PartAt(Op(0))) p->kind = uint8_t(Op(1));
}
void PartDefIndex() {
  if (Part* p = PartAt(Op(0))) p->defIndex = uint8_t(Op(1));
}
void PartIndex() {
  if (Part* p = PartAt(Op(0))) {
    p->index = uint8_t(Op(1));
    MeasurePart(*p);
  }
}
void PartExtra() {
  if (Part* p = PartAt(Op(0))) {
    p->extra = uint32_t(Op(1));
    MeasurePart(*p);
  }
}

// Moves part a to the end of panel b's part list, keeping the order of the rest.
void MovePartToPanel() {
  Part* p = PartAt(Op(0));
  CardState& c = Card();
  const uint8_t to = ConvertPanelReference(uint8_t(Op(1)));
  if (!p || to >= c.panels.size()) return;
  const uint8_t from = ConvertPanelReference(p->panel);
  if (from < c.panels.size()) {
    auto& list = c.panels[from].partList;
    for (auto it = list.begin(); it != list.end(); ++it)
      if (*it == p->ownIndex) {
        list.erase(it);
        break;
      }
  }
  p->panel = uint8_t(Op(1));
  c.panels[to].partList.push_back(p->ownIndex);
}

void EnableInput() { Card().inputEnabled = uint8_t(Op(0)); }

// Steps the current panel's selection to the next (or previous) item it owns.
void StepSelection(bool next) {
  CardState& c = Card();
  const CardDef* def = CardDefOf(c);
  if (!def || c.currentPanel >= c.panels.size()) return;
  const uint8_t panel = c.currentPanel;
  const int n = int(def->items.size()), cur = c.panels[panel].selectedItem;
  const bool wrap = Op(0) != 0;
  auto owned = [&](int i) { return def->items[size_t(i)].ownerPanel == panel; };
  int found = -1;
  if (next) {
    for (int i = cur + 1; i < n && found < 0; ++i)
      if (owned(i)) found = i;
    for (int i = 0; wrap && i < cur && i < n && found < 0; ++i)
      if (owned(i)) found = i;
  } else {
    for (int i = std::min(cur, n) - 1; i >= 0 && found < 0; --i)
      if (owned(i)) found = i;
    for (int i = n - 1; wrap && i > cur && found < 0; --i)
      if (owned(i)) found = i;
  }
  if (found < 0) return;
  if (cur < n) StartScript(Card(), def->items[size_t(cur)].deselectScript);
  c.panels[panel].selectedItem = uint8_t(found);
  StartScript(Card(), def->items[size_t(found)].selectScript);
}
void SelectNext() { StepSelection(true); }
void SelectPrevious() { StepSelection(false); }

void SetCounter() {
  if (uint32_t* counter = CounterAt(Op(0))) *counter = uint32_t(Op(1));
}

}  // namespace

void InstallInstructions() {
  Script.InstructionTable = {
      DeleteCard,       // 0
      Commit,           // 1
      PlacePartOp,      // 2: a part's position on one axis
      AimPartOp,        // 3: a part's target
      PartStep,         // 4
      CountAndWait,     // 5
      PlacePanelOp,     // 6
      AimPanelOp,       // 7
      PanelStep,        // 8
      PartVisible,      // 9
      PanelVisible,     // 10
      PartFont,         // 11
      SetPartKind,      // 12
      PartDefIndex,     // 13
      PartIndex,        // 14
      PartExtra,        // 15
      MovePartToPanel,  // 16
      EnableInput,      // 17
      SelectNext,       // 18
      SelectPrevious,   // 19
      SetCounter,       // 20
  };
}

void StartScript(CardState& card, uint8_t s) {
  for (uint8_t running : card.slotScripts)
    if (running == s) return;
  for (size_t t = card.slotScripts.size(); t-- > 0;)
    if (card.slotScripts[t] >= kFirstFreeScript) {
      card.slotScripts[t] = s;
      return;
    }
}

bool RunScriptSlot(CardState& c, uint8_t t) {
  Script.card = &c;
  Script.cardDeleted = 0;
  const CardDef* def = CardDefOf(c);
  if (!def || t >= c.slotScripts.size()) return true;
  auto empty = [&] {
    c.slotScripts[t] = kSlotEmpty;
    c.slotCounters[t] = 0;
  };
  for (;;) {
    Script.YieldFlag = 0;
    const uint8_t s = c.slotScripts[t];
    if (s >= def->scripts.size() || c.slotCounters[t] >= def->scripts[s].size()) {
      empty();  // a script with no instruction left to run
      return true;
    }
    const Instruction& ins = def->scripts[s][c.slotCounters[t]];
    if (ins.opcode < 0 || ins.opcode >= kInstructionCount || !Script.InstructionTable[size_t(ins.opcode)]) {
      empty();
      return true;
    }
    Script.current = &ins;
    Script.InstructionTable[size_t(ins.opcode)]();
    if (Script.cardDeleted) return false;
    // The last instruction of a script never waits.
    const uint8_t now = c.slotScripts[t];
    if (now >= def->scripts.size() || size_t(c.slotCounters[t]) + 1 >= def->scripts[now].size()) {
      empty();
      return true;
    }
    if (Script.YieldFlag) return true;
    ++c.slotCounters[t];
  }
}
