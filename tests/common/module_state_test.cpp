// module_state_test.cpp: one reset reaches every module's state, including
// the state that used to sit in file-level variables outside any module struct.
#include <gtest/gtest.h>

#include "common/binary_reader.h"
#include "gfx/pcx.h"
#include "gfx/scroll.h"
#include "level/tile_set.h"
#include "modes/editor.h"
#include "shell/startup.h"

namespace {

TEST(ModuleStateTest, ResetAllStateReachesEveryModule) {
  Scroll.AutoScrollCounter = 7;
  ScratchImage.pixels.assign(10, 1);
  TileLoad = {"old.til", true};
  FailNextWrite(3);
  Editor.warpZone = 4;
  Startup.Marker.reset(std::tmpfile());
  ResetAllState();
  EXPECT_EQ(Scroll.AutoScrollCounter, 0u);
  EXPECT_TRUE(ScratchImage.pixels.empty());
  EXPECT_TRUE(TileLoad.noteFile.empty());
  EXPECT_FALSE(TileLoad.noted);
  EXPECT_FALSE(FileWrites.failAt.has_value()) << "an armed write fault outlived the reset";
  EXPECT_EQ(Editor.warpZone, 0);
  EXPECT_FALSE(Startup.Marker);
}

}  // namespace
