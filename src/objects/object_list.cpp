// object_list.cpp: the object list, its plane objects and the per-frame pass.
#include "objects/object_list.h"

#include "common/module_state.h"
#include "gfx/plane_render.h"
#include "model/planes.h"
#include "objects/card_object.h"

ObjectListState Objects;

void ResetObjectList() {
  ClearObjectList();
  Objects.CurrentObject = 0;
}
const ModuleReset kObjectListReset(ResetObjectList);

// The slots exist from the start; allocating them is emptying them.
void AllocObjectList() { ClearObjectList(); }

void ClearObjectList() {
  Objects.ObjectCount = 0;
  for (auto& o : Objects.ObjectList) o = GameObject{};
}

GameObject* AppendObject(uint16_t type) {
  if (Objects.ObjectCount >= kObjectSlots) return nullptr;
  GameObject& o = Objects.ObjectList[Objects.ObjectCount++];
  auto plane = std::move(o.plane);  // a slot's state block is reused, not remade
  o = GameObject{};
  o.plane = std::move(plane);
  o.type = type;
  return &o;
}

void CreatePlaneObjects() {
  const size_t count = std::min<size_t>(Level.planeCount, Level.planes.size());
  for (size_t i = 0; i < count; ++i) {
    GameObject* o = AppendObject(kObjectPlane);
    if (!o) break;
    o->priority = Level.planes[i].priority;
    if (!o->plane) o->plane = std::make_unique<PlaneObjectState>();
    o->plane->planeIndex = uint32_t(i);
    o->plane->visible = 1;
  }
  CardObjects.LevelName = "Test";
}

namespace {

bool ShowsPlane(const GameObject& o) {
  return o.type == kObjectPlane && o.plane && o.plane->visible && o.plane->planeIndex < Level.planes.size();
}

}  // namespace

uint32_t CoverPlaneRun(uint16_t slot, std::vector<FrameLines>& coveredAfter) {
  // Only planes (and empty slots) up to the first other object: nothing runs
  // between their draws, so what they would cover now they will cover then.
  uint32_t end = slot;
  while (end < Objects.ObjectCount &&
         (Objects.ObjectList[end].type == kObjectPlane || Objects.ObjectList[end].type == kObjectEmpty))
    ++end;
  coveredAfter.resize(end - slot);
  FrameLines covered;
  for (uint32_t k = end; k-- > slot;) {
    coveredAfter[k - slot] = covered;
    const GameObject& o = Objects.ObjectList[k];
    if (k > slot && ShowsPlane(o) && !covered.all()) covered |= OpaqueLines(Level.planes[o.plane->planeIndex]);
  }
  return end;
}

void CreateCardObject() {
  if (CardDefs.CardDefTable.empty()) return;  // no card file: the attract runs without a card
  GameObject* o = AppendObject(kObjectCard);
  if (!o) return;
  o->priority = 1;
  o->card = std::make_unique<CardState>();
  o->card->defIndex = 0;
  SetUpCardObject(*o->card);
  // The card's first script starts at once.
  if (!o->card->slotScripts.empty()) {
    o->card->slotScripts[0] = 0;
    o->card->slotCounters[0] = 0;
  }
}

void RunObjects() {
  uint32_t runFrom = 0, runTo = 0;  // the plane run whose cover is known
  // ObjectCount is read again each step: objects appended now run this pass.
  for (Objects.CurrentObject = 0; Objects.CurrentObject < Objects.ObjectCount; ++Objects.CurrentObject) {
    const uint16_t slot = Objects.CurrentObject;
    GameObject& o = Objects.ObjectList[slot];
    if (slot == runTo) EndPlaneRun();
    switch (o.type) {
      case kObjectPlane:
        if (!ShowsPlane(o)) break;
        // Lines that planes drawn next will cover are not drawn twice; the
        // run's tiles are looked up once for all its planes.
        if (slot >= runTo) {
          BeginPlaneRun();
          runFrom = slot, runTo = CoverPlaneRun(slot, Objects.coveredAfter);
        }
        DrawPlaneBehind(Level.planes[o.plane->planeIndex], Objects.coveredAfter[slot - runFrom]);
        break;
      case kObjectCard:
        if (!RunCardObject(o.card)) o.type = kObjectEmpty;
        break;
      default:
        break;
    }
  }
  EndPlaneRun();
}
