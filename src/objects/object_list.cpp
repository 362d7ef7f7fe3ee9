// object_list.cpp: the object list, its plane objects and the per-frame pass.
#include "objects/object_list.h"

#include "gfx/plane_render.h"
#include "level/level.h"

ObjectListState Objects;

void ResetObjectList() {
  ClearObjectList();
  Objects.CurrentObject = 0;
  Objects.LevelName.clear();
}

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

void CreatePlaneObjects(const char*) {
  const size_t count = std::min<size_t>(Level.planeCount, Level.planes.size());
  for (size_t i = 0; i < count; ++i) {
    GameObject* o = AppendObject(kObjectPlane);
    if (!o) break;
    o->priority = Level.planes[i].priority;
    if (!o->plane) o->plane = std::make_unique<PlaneObjectState>();
    o->plane->planeIndex = uint32_t(i);
    o->plane->visible = 1;
  }
  Objects.LevelName = "Test";
}

void RunObjects() {
  // ObjectCount is read again each step: objects appended now run this pass.
  for (Objects.CurrentObject = 0; Objects.CurrentObject < Objects.ObjectCount; ++Objects.CurrentObject) {
    GameObject& o = Objects.ObjectList[Objects.CurrentObject];
    switch (o.type) {
      case kObjectPlane:
        if (o.plane && o.plane->visible && o.plane->planeIndex < Level.planes.size())
          DrawPlane(Level.planes[o.plane->planeIndex]);
        break;
      case kObjectCard:
        RunCardObject();
        break;
      default:
        break;
    }
  }
}
