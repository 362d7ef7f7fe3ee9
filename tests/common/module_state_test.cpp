// module_state_test.cpp: one reset reaches every module's state, including
// the state that used to sit in file-level variables outside any module struct.
#include <gtest/gtest.h>

#include "common/binary_reader.h"
#include "common/regular_file.h"
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
  FileOpens.lastRefused = true;
  Editor.warpZone = 4;
  ResetAllState();
  EXPECT_EQ(Scroll.AutoScrollCounter, 0u);
  EXPECT_TRUE(ScratchImage.pixels.empty());
  EXPECT_TRUE(TileLoad.noteFile.empty());
  EXPECT_FALSE(TileLoad.noted);
  EXPECT_FALSE(FileWrites.failAt.has_value()) << "an armed write fault outlived the reset";
  EXPECT_FALSE(LastOpenRefused());
  EXPECT_EQ(Editor.warpZone, 0);
}

}  // namespace
