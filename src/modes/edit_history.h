// edit_history.h: the editor's undo and redo: each step keeps only what it
// changed, the history belongs to the level in memory, and it knows whether
// that level differs from what was last loaded or saved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "common/limits.h"
#include "level/level.h"

enum class EditKind : uint8_t { Paint, Stamp, Speed, LoopValue, InsertPlane, DeletePlane, RetypePlane, NewLevel };

struct CellChange {
  uint32_t cell;  // y x width + x
  uint16_t before, after;
};

struct ValueChange {
  uint32_t index;  // the line, for the per-line tables
  PlaneValue value;
  int32_t before, after;
};

// One step: what it changed, as little as restores it both ways.
struct EditStep {
  EditKind kind = EditKind::Paint;
  uint8_t plane = 0;  // the plane its cells and values are on, or where one went in or out
  uint8_t currentBefore = 0, currentAfter = 0;
  uint64_t mergeKey = 0;  // line keys: the key and line, so a run of presses is one step
  std::vector<CellChange> cells;
  std::vector<ValueChange> values;
  // What the step took out of the level and undo or redo puts back: a
  // deleted plane (and its shown flag), the line tables a retype replaced,
  // or the whole level NEW replaced.
  std::unique_ptr<LevelPlanes> aside;
  size_t bytes = 0;
};

struct EditHistoryState {
  std::deque<EditStep> steps;  // the done steps, then the undone ones
  size_t done = 0;
  // The step being recorded (a stroke, a sweep), kept out of steps until it
  // closes with a change, so an empty stroke leaves the undone steps alone.
  EditStep recording;
  bool open = false;
  bool mergeable = false;  // the last step may take the next press of its line key
  bool lost = false;       // the open step outgrew the bound and is not kept
  uint64_t dropped = 0;    // steps dropped from the front for the bound
  int64_t cleanAt = 0;     // dropped + done when last loaded or saved; -1 when out of reach
  size_t bytes = 0;        // of the closed steps
  size_t byteBound = kMaxEditHistoryBytes;
  bool boundSaid = false;
};
extern EditHistoryState History;

// A new, empty history: a level was loaded.
void ResetEditHistory();

// ---- Recording -------------------------------------------------------------

// Opens a step, or goes on with the open one (or the last line step) of the
// same kind, plane and key. Any other open step is closed first.
void BeginEdit(EditKind kind, size_t plane, uint64_t mergeKey = 0);
// Closes the open step; one that changed nothing is dropped.
void EndEdit();
// Closes the open step when it is of this kind (a stroke at the button's
// release, a sweep at P's).
void EndEdit(EditKind kind);
// Edits recorded into the open step.
void EditCell(size_t plane, int32_t x, int32_t y, uint16_t tile);
void EditValue(size_t plane, PlaneValue value, size_t index, int32_t to);
// Whole steps of their own.
void EditInsertPlane(size_t at);
void EditDeletePlane(size_t at);
void EditRetypePlane(size_t plane, uint8_t type);
void EditNewLevel();

// ---- Undo and redo -------------------------------------------------------------

// Undoes (redoes) one step, closing an open one first; false when there is
// none. what is the step's description ("paint 12 cells").
bool UndoEdit(std::string& what);
bool RedoEdit(std::string& what);
// What the next undo or redo would act on ("paint"), or empty.
std::string UndoName();
std::string RedoName();

// Whether the level in memory differs from what was last loaded or saved.
bool LevelEdited();
// SAVE wrote the level: what is in memory is what was saved.
void MarkLevelSaved();
