// edit_history.cpp: records what each editor step changed, undoes and redoes
// it, keeps the history within its memory bound, and tracks the point where
// the level was last loaded or saved.
#include "modes/edit_history.h"

#include <algorithm>
#include <cstdio>

#include "common/module_state.h"

EditHistoryState History;

void ResetEditHistory() { History = {}; }
const ModuleReset kEditHistoryReset(ResetEditHistory);

namespace {

uint64_t Position() { return History.dropped + History.done; }

size_t PlaneBytes(const Plane& p) {
  return sizeof(Plane) + p.tiles.capacity() * sizeof(uint16_t) + p.lineLoops.capacity() * sizeof(int32_t) +
         p.lineSpeeds.capacity();
}

size_t LevelBytes(const std::vector<Plane>& planes) {
  size_t n = 0;
  for (const Plane& p : planes) n += PlaneBytes(p);
  return n;
}

size_t StepBytes(const EditStep& s) {
  return sizeof(EditStep) + s.cells.capacity() * sizeof(CellChange) + s.values.capacity() * sizeof(ValueChange) +
         (s.aside ? sizeof(LevelPlanes) + LevelBytes(s.aside->planes) : 0);
}

bool Structural(EditKind kind) {
  return kind == EditKind::InsertPlane || kind == EditKind::DeletePlane || kind == EditKind::RetypePlane ||
         kind == EditKind::NewLevel;
}

bool Empty(const EditStep& s) { return !Structural(s.kind) && s.cells.empty() && s.values.empty(); }

void SayBound() {
  if (History.boundSaid) return;
  History.boundSaid = true;
  const size_t b = History.byteBound;
  std::fprintf(stderr, "editor: the undo history holds at most %zu %s; its oldest steps are dropped\n",
               b >= (size_t(1) << 20) ? b >> 20 : b >> 10, b >= (size_t(1) << 20) ? "MB" : "KB");
}

// A step too large for the history is not kept, nor the steps before it,
// which could no longer be undone in order; the level stays changed.
void GiveUp() {
  SayBound();
  std::fprintf(stderr, "editor: one step changed more than the undo history can hold; it cannot be undone\n");
  History.dropped += History.done + 1;
  History.steps.clear();
  History.done = 0;
  History.bytes = 0;
  History.cleanAt = -1;
}

void DropFront() {
  History.bytes -= History.steps.front().bytes;
  History.steps.pop_front();
  --History.done;
  ++History.dropped;
}

void DropBack() {
  History.bytes -= History.steps.back().bytes;
  History.steps.pop_back();
}

// Oldest steps go first; the undone ones only when nothing older is left.
// An open step that alone passes the bound is given up, and with it every
// step before it, which could no longer be undone in order.
void KeepWithinBound(size_t openBytes) {
  while (History.bytes + openBytes > History.byteBound && !History.steps.empty()) {
    SayBound();
    if (History.done > 0)
      DropFront();
    else
      DropBack();
  }
  if (openBytes <= History.byteBound || !History.open || History.lost) return;
  History.lost = true;
  History.recording = {};
}

// Each cell once, from its first value to its last; cells that came back
// to where they were are no change.
void Compact(EditStep& s) {
  std::stable_sort(s.cells.begin(), s.cells.end(),
                   [](const CellChange& a, const CellChange& b) { return a.cell < b.cell; });
  size_t out = 0;
  for (size_t i = 0; i < s.cells.size();) {
    CellChange c = s.cells[i];
    while (++i < s.cells.size() && s.cells[i].cell == c.cell) c.after = s.cells[i].after;
    if (c.before != c.after) s.cells[out++] = c;
  }
  s.cells.resize(out);
  s.cells.shrink_to_fit();
  auto key = [](const ValueChange& v) { return std::pair(v.value, v.index); };
  std::stable_sort(s.values.begin(), s.values.end(),
                   [&](const ValueChange& a, const ValueChange& b) { return key(a) < key(b); });
  out = 0;
  for (size_t i = 0; i < s.values.size();) {
    ValueChange v = s.values[i];
    while (++i < s.values.size() && key(s.values[i]) == key(v)) v.after = s.values[i].after;
    if (v.before != v.after) s.values[out++] = v;
  }
  s.values.resize(out);
  s.values.shrink_to_fit();
}

// A new step ends the undone ones; a save among them is out of reach.
void Push(EditStep step) {
  while (History.steps.size() > History.done) DropBack();
  if (History.cleanAt > int64_t(Position())) History.cleanAt = -1;
  step.bytes = StepBytes(step);
  History.bytes += step.bytes;
  History.steps.push_back(std::move(step));
  ++History.done;
  KeepWithinBound(0);
}

Plane* PlaneAt(size_t index) { return index < Level.planes.size() ? &Level.planes[index] : nullptr; }

// Records one change into the open step, checking the bound now and then.
template <class T>
void Note(std::vector<T>& changes, const T& change) {
  if (History.lost || !History.open) return;
  changes.push_back(change);
  if (changes.size() % 4096 == 0) KeepWithinBound(StepBytes(History.recording));
}

// Undo and redo of a step are the same moves, one way or the other.
void Apply(EditStep& s, bool undo) {
  Plane* p = PlaneAt(s.plane);
  switch (s.kind) {
    case EditKind::InsertPlane:
      if (undo)
        DeletePlane(s.plane);
      else
        InsertPlane(s.plane);
      break;
    case EditKind::DeletePlane:
      if (undo) {
        InsertPlane(s.plane, std::move(s.aside->planes.at(0)), s.aside->shown[0]);
      } else {
        s.aside->shown[0] = s.plane < kShownPlanes ? Level.planeShown[s.plane] : 0;
        s.aside->planes.at(0) = DeletePlane(s.plane);
      }
      break;
    case EditKind::RetypePlane:
      if (p) SwapPlaneLines(*p, s.aside->planes.at(0));
      break;
    case EditKind::NewLevel: SwapLevelPlanes(*s.aside); break;
    default:
      if (!p) break;
      for (const CellChange& c : s.cells)
        SetCell(*p, int32_t(c.cell % uint32_t(p->width)), int32_t(c.cell / uint32_t(p->width)),
                undo ? c.before : c.after);
      for (const ValueChange& v : s.values) SetPlaneValue(*p, v.value, v.index, undo ? v.before : v.after);
      break;
  }
  if (s.kind == EditKind::InsertPlane || s.kind == EditKind::DeletePlane)
    SelectPlane(undo ? s.currentBefore : s.currentAfter);
}

std::string Plural(size_t n, const char* one) { return std::to_string(n) + " " + one + (n == 1 ? "" : "s"); }

const char* Name(EditKind kind) {
  switch (kind) {
    case EditKind::Paint: return "paint";
    case EditKind::Stamp: return "stamp";
    case EditKind::Speed: return "speed";
    case EditKind::LoopValue: return "loop";
    case EditKind::InsertPlane: return "insert plane";
    case EditKind::DeletePlane: return "delete plane";
    case EditKind::RetypePlane: return "retype plane";
    case EditKind::NewLevel: return "new level";
  }
  return "";
}

// "paint 12 cells", "speed of 3 lines", "delete plane 2".
std::string Describe(const EditStep& s) {
  const std::string name = Name(s.kind);
  switch (s.kind) {
    case EditKind::Paint:
    case EditKind::Stamp: return name + " " + Plural(s.cells.size(), "cell");
    case EditKind::Speed:
    case EditKind::LoopValue: {
      const size_t lines = size_t(std::count_if(s.values.begin(), s.values.end(), [](const ValueChange& v) {
        return v.value == kLineSpeed || v.value == kLineLoop;
      }));
      return lines ? name + " of " + Plural(lines, "line") : name;
    }
    case EditKind::NewLevel: return name;
    default: return name + " " + std::to_string(s.plane);
  }
}

}  // namespace

// ---- Recording -------------------------------------------------------------

void BeginEdit(EditKind kind, size_t plane, uint64_t mergeKey) {
  auto same = [&](const EditStep& s) { return s.kind == kind && s.plane == plane && s.mergeKey == mergeKey; };
  if (History.open) {
    if (same(History.recording)) return;
    EndEdit();
  }
  History.open = true;
  // The last line step takes the next press of its key on its line.
  if (History.mergeable && mergeKey != 0 && History.done == History.steps.size() && History.done > 0 &&
      same(History.steps.back())) {
    History.recording = std::move(History.steps.back());
    History.bytes -= History.recording.bytes;
    History.steps.pop_back();
    --History.done;
    return;
  }
  History.mergeable = false;
  History.recording = {};
  History.recording.kind = kind;
  History.recording.plane = uint8_t(plane);
  History.recording.mergeKey = mergeKey;
  History.recording.currentBefore = Level.currentPlane;
}

void EndEdit() {
  if (!History.open) return;
  History.open = false;
  EditStep step = std::move(History.recording);
  History.recording = {};
  if (History.lost) {
    History.lost = false;
    GiveUp();
    return;
  }
  Compact(step);
  if (Empty(step)) return;
  if (StepBytes(step) > History.byteBound) {
    GiveUp();
    return;
  }
  step.currentAfter = Level.currentPlane;
  History.mergeable = step.mergeKey != 0;
  Push(std::move(step));
}

void EndEdit(EditKind kind) {
  if (History.open && History.recording.kind == kind) EndEdit();
}

void EditCell(size_t plane, int32_t x, int32_t y, uint16_t tile) {
  Plane* p = PlaneAt(plane);
  if (!p || x < 0 || y < 0 || x >= p->width || y >= p->height) return;
  const size_t cell = size_t(y) * size_t(p->width) + size_t(x);
  if (cell >= p->tiles.size() || p->tiles[cell] == tile) return;
  Note(History.recording.cells, CellChange{uint32_t(cell), p->tiles[cell], tile});
  SetCell(*p, x, y, tile);
}

void EditValue(size_t plane, PlaneValue value, size_t index, int32_t to) {
  Plane* p = PlaneAt(plane);
  if (!p) return;
  const int32_t before = GetPlaneValue(*p, value, index);
  SetPlaneValue(*p, value, index, to);
  const int32_t after = GetPlaneValue(*p, value, index);
  if (before != after) Note(History.recording.values, ValueChange{uint32_t(index), value, before, after});
}

void EditInsertPlane(size_t at) {
  BeginEdit(EditKind::InsertPlane, at);
  InsertPlane(at);
  EndEdit();
}

void EditDeletePlane(size_t at) {
  if (at >= Level.planes.size()) return;
  BeginEdit(EditKind::DeletePlane, at);
  auto aside = std::make_unique<LevelPlanes>();
  aside->shown[0] = at < kShownPlanes ? Level.planeShown[at] : 0;
  aside->planes.push_back(DeletePlane(at));
  History.recording.aside = std::move(aside);
  EndEdit();
}

void EditRetypePlane(size_t plane, uint8_t type) {
  Plane* p = PlaneAt(plane);
  if (!p) return;
  BeginEdit(EditKind::RetypePlane, plane);
  auto aside = std::make_unique<LevelPlanes>();
  aside->planes.resize(1);
  Plane& old = aside->planes[0];
  SwapPlaneLines(*p, old);  // the old tables aside, then the new type's made
  ChangePlaneType(*p, type);
  History.recording.aside = std::move(aside);
  EndEdit();
}

void EditNewLevel() {
  BeginEdit(EditKind::NewLevel, 0);
  auto aside = std::make_unique<LevelPlanes>();
  SwapLevelPlanes(*aside);
  NewLevel();
  History.recording.aside = std::move(aside);
  EndEdit();
}

// ---- Undo and redo -------------------------------------------------------------

bool UndoEdit(std::string& what) {
  EndEdit();
  History.mergeable = false;
  if (History.done == 0) return false;
  EditStep& s = History.steps[--History.done];
  Apply(s, true);
  what = Describe(s);
  return true;
}

bool RedoEdit(std::string& what) {
  EndEdit();
  History.mergeable = false;
  if (History.done == History.steps.size()) return false;
  EditStep& s = History.steps[History.done++];
  Apply(s, false);
  what = Describe(s);
  return true;
}

std::string UndoName() {
  if (History.open && !Empty(History.recording) && !History.lost) return Name(History.recording.kind);
  return History.done > 0 ? Name(History.steps[History.done - 1].kind) : "";
}

std::string RedoName() {
  if (History.open && !Empty(History.recording)) return "";  // closing it ends the undone steps
  return History.done < History.steps.size() ? Name(History.steps[History.done].kind) : "";
}

bool LevelEdited() {
  return (History.open && (History.lost || !Empty(History.recording))) || History.cleanAt != int64_t(Position());
}

void MarkLevelSaved() {
  EndEdit();
  History.mergeable = false;
  History.cleanAt = int64_t(Position());
}
