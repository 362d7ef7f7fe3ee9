// object_list.h: the 4096-slot list of game objects run once per frame.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

enum ObjectType : uint16_t { kObjectEmpty = 0, kObjectCard = 9998, kObjectPlane = 9999 };

struct PlaneObjectState {
  uint32_t planeIndex = 0;
  uint32_t visible = 0;
};

struct GameObject {
  uint16_t type = kObjectEmpty;
  uint32_t reservedA = 0, reservedB = 0;
  uint8_t reservedC = 0;
  uint16_t priority = 0;
  uint32_t reservedD = 0;
  std::unique_ptr<PlaneObjectState> plane;  // plane objects' state block
};

constexpr int kObjectSlots = 4096;

struct ObjectListState {
  std::array<GameObject, kObjectSlots> ObjectList;
  uint16_t ObjectCount = 0;
  uint16_t CurrentObject = 0;
  std::string LevelName;
};
extern ObjectListState Objects;

void ResetObjectList();

void AllocObjectList();
void ClearObjectList();
void CreatePlaneObjects(const char* unused);
void RunObjects();
