// object_list_test.cpp: plane objects, their order and visibility, and the
// full list.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "gfx/frame_buffer.h"
#include "gfx/plane_render.h"
#include "gfx/scroll.h"
#include "gfx/tile_blocks.h"
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
    PlaneDrawTable.fill([](const Plane& plane, PlaneRun&) { drawn.push_back(&plane); });
    drawn.clear();
    AllocObjectList();
  }
  void TearDown() override {
    PlaneDrawTable = saved_;
    EngineTest::TearDown();
  }
  // The real renderers, and tiles 1 to 3 of colours 10, 20 and 30, opaque
  // but for tile 3, which has a hole.
  void UseRealRenderersAndThreeTiles() {
    PlaneDrawTable = saved_;
    Tiles.tileTable.assign(4, Tile{});
    Tiles.tileCount = 4;
    for (int n = 1; n < 4; ++n) {
      Tiles.tileTable[size_t(n)].frames[0].assign(65, uint8_t(10 * n));
      Tiles.tileTable[size_t(n)].opaque = 1;
    }
    Tiles.tileTable[3].frames[0][9] = 0;
    Tiles.tileTable[3].opaque = 0;
    TileSetChanged();
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
  CreatePlaneObjects();
  ASSERT_EQ(Objects.ObjectCount, 5);
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
  for (int i = 0; i < kObjectSlots / 5; ++i) CreatePlaneObjects();
  ASSERT_EQ(Objects.ObjectCount, 4095);
  CreatePlaneObjects();
  EXPECT_EQ(Objects.ObjectCount, 4096);
  EXPECT_EQ(AppendObject(kObjectCard), nullptr);
  EXPECT_EQ(Objects.ObjectList[4095].type, kObjectPlane);
}

// A run of planes takes the planes and empty slots up to the first other
// object: a card ends it, since its script may change what follows before
// it is drawn. Hidden planes and empty slots draw nothing.
TEST_F(ObjectListTest, APlaneRunGoesUpToTheFirstOtherObject) {
  Level.planes.assign(4, Plane{});
  Level.planeCount = 4;
  for (Plane& p : Level.planes) InitPlane(p, kRelative, 41, 26);
  CreatePlaneObjects();
  std::vector<const Plane*> planes;
  EXPECT_EQ(GatherPlaneRun(1, planes), 4u);
  EXPECT_EQ(planes, (std::vector<const Plane*>{&Level.planes[1], &Level.planes[2], &Level.planes[3]}));
  Objects.ObjectList[1].plane->visible = 0;
  Objects.ObjectList[2].type = kObjectEmpty;
  Objects.ObjectList[3].type = kObjectCard;
  EXPECT_EQ(GatherPlaneRun(0, planes), 3u);
  EXPECT_EQ(planes, (std::vector<const Plane*>{&Level.planes[0], nullptr, nullptr}));
  // Every visible plane is drawn once, the covered ones too.
  Objects.ObjectList[1].plane->visible = 1;
  Objects.ObjectList[2].type = kObjectPlane;
  Objects.ObjectList[3].type = kObjectPlane;
  RunObjects();
  EXPECT_EQ(drawn.size(), 4u);
}

// With the real renderers: a run of planes, each behind the ones after it,
// gives the frame that drawing each in full gives.
TEST_F(ObjectListTest, ARunOfPlanesDrawsTheFrameThatFullDrawsGive) {
  UseRealRenderersAndThreeTiles();
  Level.planes.assign(3, Plane{});
  Level.planeCount = 3;
  const uint8_t types[3] = {kRelative, kHLined, kRelative};
  for (int i = 0; i < 3; ++i) {
    Plane& p = Level.planes[size_t(i)];
    InitPlane(p, types[i], 45, 30);
    // The middle plane fills every third map row; the last one puts holed tiles there.
    for (size_t c = 0; c < p.tiles.size(); ++c) p.tiles[c] = uint16_t(i == 0 ? 1 : (c / 45) % 3 == 0 ? 1 + i : 0);
  }
  BuildScrollTables(13, 21);
  std::vector<uint8_t> full(64000);
  std::fill(Screen.FrameBuffer, Screen.FrameBuffer + 64000, 0);
  for (const Plane& p : Level.planes) DrawPlane(p, CurrentTileBlocks(), Scroll, FrameCanvas(Screen.FrameBuffer));
  std::copy(Screen.FrameBuffer, Screen.FrameBuffer + 64000, full.begin());
  CreatePlaneObjects();
  std::fill(Screen.FrameBuffer, Screen.FrameBuffer + 64000, 0);
  RunObjects();
  EXPECT_TRUE(std::equal(full.begin(), full.end(), Screen.FrameBuffer));
  PlaneRun run(CurrentTileBlocks(), Scroll, FrameCanvas(Screen.FrameBuffer));
  EXPECT_GT(run.OpaqueLines(Level.planes[1]).count(), 50u) << "the middle plane hides lines of the first";
}

// A pass that clears the frame leaves alone only the lines its first run of
// planes covers, whichever planes are shown, and fills every other line, as
// a clear before the pass would: each frame starts from a stale picture. A
// first plane of tile rows writes the clear itself (its kept rows over
// colour 0 as copies); other planes are drawn onto a frame cleared first.
TEST_F(ObjectListTest, AClearingPassFillsEveryLineThePlanesLeave) {
  UseRealRenderersAndThreeTiles();
  for (uint8_t first : {kRelative, kHTiled, kFlat}) {
    SCOPED_TRACE("first plane type " + std::to_string(first));
    ClearObjectList();
    Level.planes.assign(2, Plane{});
    Level.planeCount = 2;
    const uint8_t types[2] = {first, kHLined};
    for (int i = 0; i < 2; ++i) {
      Plane& p = Level.planes[size_t(i)];
      InitPlane(p, types[i], 45, 30);
      // The first plane fills every fourth map row (one of them with holed
      // tiles), the second every third.
      for (size_t c = 0; c < p.tiles.size(); ++c) {
        const size_t row = c / 45;
        p.tiles[c] = uint16_t(i == 0 ? (row % 4 == 0 ? (row == 8 ? 3 : 1) : 0) : row % 3 == 0 ? 2 : 0);
      }
    }
    CreatePlaneObjects();
    auto check = [&](const char* what) {
      for (uint8_t colour : {7, 0}) {
        std::vector<uint8_t> want(64000, colour);
        for (uint32_t k = 0; k < 2; ++k)
          if (Objects.ObjectList[k].type == kObjectPlane && Objects.ObjectList[k].plane->visible)
            DrawPlane(Level.planes[k], CurrentTileBlocks(), Scroll, FrameCanvas(want.data()));
        std::fill(Screen.FrameBuffer, Screen.FrameBuffer + 64000, 0xEE);
        RunObjects(colour);
        EXPECT_TRUE(std::equal(want.begin(), want.end(), Screen.FrameBuffer)) << what << ", colour " << int(colour);
      }
    };
    for (int view : {0, 13, 77}) {
      BuildScrollTables(view, 2 * view + 3);
      check("both planes");
      Objects.ObjectList[0].plane->visible = 0;
      check("the second alone");
      Objects.ObjectList[0].plane->visible = 1;
      Objects.ObjectList[1].plane->visible = 0;
      check("the first alone, its holed row too");
      Objects.ObjectList[1].plane->visible = 1;
    }
    // An object that is not a plane comes first: the whole frame is filled.
    Objects.ObjectList[0].type = kObjectCard;
    Objects.ObjectList[1].plane->visible = 0;
    check("a card without state, the plane hidden");
    Objects.ObjectCount = 0;
    check("no objects");
  }
}

}  // namespace
