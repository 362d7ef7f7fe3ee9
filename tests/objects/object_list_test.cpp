// object_list_test.cpp: plane objects, their order and visibility, and the
// full list.
#include <gtest/gtest.h>

#include <vector>

#include "gfx/plane_render.h"
#include "level/level.h"
#include "level/tile_set.h"
#include "objects/object_list.h"
#include "test_support.h"

namespace {

std::vector<const Plane*> drawn;

class ObjectListTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    saved_ = PlaneDrawTable;
    PlaneDrawTable.fill([](const Plane& plane) { drawn.push_back(&plane); });
    drawn.clear();
    AllocObjectList();
  }
  void TearDown() override {
    PlaneDrawTable = saved_;
    EngineTest::TearDown();
  }
  std::array<PlaneDrawFn, kPlaneDrawSlots> saved_{};
};

// Priorities fall with the plane index; the list ignores them.
TEST_F(ObjectListTest, PlaneObjectsDrawInOrderAndTheListHoldsAt4096) {
  Level.planes.assign(5, Plane{});
  Level.planeCount = 5;
  for (int i = 0; i < 5; ++i) {
    InitPlane(Level.planes[i], uint8_t(i), 41, 26);
    Level.planes[i].priority = uint16_t(5 - i);
  }
  Level.planes[1].type = 6;
  CreatePlaneObjects("thisisonlytemporary");
  ASSERT_EQ(Objects.ObjectCount, 5);
  EXPECT_EQ(Objects.LevelName, "Test");
  for (uint32_t k = 0; k < 5; ++k) {
    EXPECT_EQ(Objects.ObjectList[k].type, kObjectPlane);
    EXPECT_EQ(Objects.ObjectList[k].plane->planeIndex, k);
  }
  Objects.ObjectList[3].plane->visible = 0;
  RunObjects();
  EXPECT_EQ(drawn, (std::vector<const Plane*>{&Level.planes[0], &Level.planes[2], &Level.planes[4]}));

  ClearObjectList();
  drawn.clear();
  RunObjects();
  EXPECT_TRUE(drawn.empty());
  EXPECT_FALSE(Objects.ObjectList[0].plane);

  // Appends beyond the last slot are ignored.
  for (int i = 0; i < kObjectSlots / 5; ++i) CreatePlaneObjects(nullptr);
  ASSERT_EQ(Objects.ObjectCount, 4095);
  CreatePlaneObjects(nullptr);
  EXPECT_EQ(Objects.ObjectCount, 4096);
  EXPECT_EQ(AppendObject(kObjectCard), nullptr);
  EXPECT_EQ(Objects.ObjectList[4095].type, kObjectPlane);
}

// The planes after a plane in a run cover what they fill; a card ends the run,
// since its script may change what follows before it is drawn.
TEST_F(ObjectListTest, APlaneRunKnowsTheLinesItsLaterPlanesCover) {
  Tiles.tileTable.assign(2, Tile{});
  Tiles.tileCount = 2;
  Tiles.tileTable[1].frames[0].assign(65, 9);
  Tiles.tileTable[1].opaque = 1;
  Level.planes.assign(3, Plane{});
  Level.planeCount = 3;
  for (Plane& p : Level.planes) InitPlane(p, kRelative, 41, 26);
  std::fill(Level.planes[1].tiles.begin(), Level.planes[1].tiles.end(), uint16_t(1));
  Level.planes[2] = Level.planes[1];
  CreatePlaneObjects(nullptr);
  std::vector<FrameLines> after;
  EXPECT_EQ(CoverPlaneRun(0, after), 3u);
  ASSERT_EQ(after.size(), 3u);
  EXPECT_TRUE(after[0].all() && after[1].all() && after[2].none());
  Objects.ObjectList[1].plane->visible = 0;
  Objects.ObjectList[2].type = kObjectCard;
  EXPECT_EQ(CoverPlaneRun(0, after), 2u);
  EXPECT_TRUE(after[0].none() && after[1].none());
  // Every visible plane is still drawn, the covered one too.
  Objects.ObjectList[1].plane->visible = 1;
  Objects.ObjectList[2].type = kObjectPlane;
  RunObjects();
  EXPECT_EQ(drawn.size(), 3u);
}

}  // namespace
