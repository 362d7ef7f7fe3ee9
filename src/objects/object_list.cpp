// object_list.cpp: the object list, its plane objects and the per-frame pass.
#include "objects/object_list.h"

#include "common/module_state.h"
#include "gfx/draw.h"
#include "gfx/frame_buffer.h"
#include "gfx/plane_render.h"
#include "gfx/scroll.h"
#include "gfx/tile_blocks.h"
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

uint32_t GatherPlaneRun(uint16_t slot, std::vector<const Plane*>& planes) {
  // Only planes (and empty slots) up to the first other object: nothing runs
  // between their draws, so what they would cover now they will cover then.
  planes.clear();
  uint32_t end = slot;
  for (; end < Objects.ObjectCount; ++end) {
    const GameObject& o = Objects.ObjectList[end];
    if (o.type != kObjectPlane && o.type != kObjectEmpty) break;
    planes.push_back(ShowsPlane(o) ? &Level.planes[o.plane->planeIndex] : nullptr);
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

void RunObjects(std::optional<uint8_t> clear) {
  // The clear waits for the first object that draws: when that is a plane
  // run, the lines its planes cover are not filled only to be drawn over.
  bool clearDue = clear.has_value();
  const uint8_t colour = clear.value_or(0);
  auto clearNow = [&](const FrameLines& kept) {
    if (clearDue) ClearFrameBufferBut(colour, kept);
    clearDue = false;
  };
  // ObjectCount is read again each step: objects appended now run this pass.
  for (Objects.CurrentObject = 0; Objects.CurrentObject < Objects.ObjectCount; ++Objects.CurrentObject) {
    GameObject& o = Objects.ObjectList[Objects.CurrentObject];
    switch (o.type) {
      case kObjectPlane: {
        if (!ShowsPlane(o)) break;
        // The run's planes are drawn together: lines that later planes cover
        // are not drawn twice, and the tiles are looked up once for all.
        const uint32_t end = GatherPlaneRun(Objects.CurrentObject, Objects.runPlanes);
        PlaneRun run(CurrentTileBlocks(), Scroll, FrameCanvas(Screen.FrameBuffer));
        if (clearDue) {
          const FrameLines covered = run.PlanInOrder(Objects.runPlanes);
          // The first plane writes the clear itself where its renderer can.
          if (Video.VideoMode == 0 && run.DrawPlannedClearing(Objects.runPlanes, colour)) {
            clearDue = false;
          } else {
            clearNow(covered);
            run.DrawPlanned(Objects.runPlanes);
          }
        } else {
          run.DrawInOrder(Objects.runPlanes);
        }
        Objects.CurrentObject = uint16_t(end - 1);
        break;
      }
      case kObjectCard:
        clearNow({});
        if (!RunCardObject(o.card)) o.type = kObjectEmpty;
        break;
      default: break;
    }
  }
  clearNow({});
}
