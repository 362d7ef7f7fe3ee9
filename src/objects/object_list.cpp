// object_list.cpp: the object list.
#include "objects/object_list.h"

ObjectListState Objects;
void ResetObjectList() {
  for (auto& o : Objects.ObjectList) o = GameObject{};
  Objects.ObjectCount = 0;
  Objects.CurrentObject = 0;
  Objects.LevelName.clear();
}
void AllocObjectList() {}
void ClearObjectList() {}
void CreatePlaneObjects(const char*) {}
void RunObjects() {}
