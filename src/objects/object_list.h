// object_list.h: the 4096-slot list of game objects run once per frame.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "common/limits.h"
#include "objects/card_state.h"

struct Plane;

enum ObjectType : uint16_t { kObjectEmpty = 0, kObjectCard = 9998, kObjectPlane = 9999 };

struct PlaneObjectState {
  uint32_t planeIndex = 0;
  uint32_t visible = 0;  // 0 hides the plane; the slot stays
};

struct GameObject {
  uint16_t type = kObjectEmpty;
  uint16_t priority = 0;  // kept for the record; the list is never sorted by it
  // State blocks, owned by the slot and released when the list is cleared.
  std::unique_ptr<PlaneObjectState> plane;
  std::unique_ptr<CardState> card;
};

struct ObjectListState {
  std::array<GameObject, kObjectSlots> ObjectList;
  uint16_t ObjectCount = 0;             // slots 0 .. ObjectCount - 1 are in use
  uint16_t CurrentObject = 0;           // the slot RunObjects is running
  std::vector<const Plane*> runPlanes;  // RunObjects' scratch: see GatherPlaneRun
};
extern ObjectListState Objects;

void ResetObjectList();

// Every slot empty with all fields 0 and no state block.
void AllocObjectList();
// ObjectCount := 0 and every slot emptied, its state block released.
void ClearObjectList();
// Takes slot ObjectCount for an object of the type with every other field 0
// (its old state block kept for reuse) and counts it; null when all 4096
// slots are taken, and the request is ignored.
GameObject* AppendObject(uint16_t type);
// Appends one visible plane object per plane of the level, in plane order,
// then sets the card's LevelName to "Test".
void CreatePlaneObjects();
// Appends a card object with script 0 running in slot 0. Without a loaded
// definition, or with the object list full, nothing is appended.
void CreateCardObject();
// Runs or draws every object in slot order; objects appended during the pass
// run in the same pass. A plane leaves alone the lines that the shown planes
// drawn straight after it cover. With `clear`, the frame is first filled with
// that colour, but for lines the first run of planes surely draws over.
void RunObjects(std::optional<uint8_t> clear = std::nullopt);
// The run of plane objects and empty slots from `slot` up to the first other
// object: the plane each shows, or null, into `planes` in slot order. Returns
// the slot after the run.
uint32_t GatherPlaneRun(uint16_t slot, std::vector<const Plane*>& planes);
