// frame_dump_test.cpp: the game's own recording: its file name, the title
// that shows it, F12 once per press, and the file it leaves.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "gfx/frame_buffer.h"
#include "input/input.h"
#include "shell/frame_dump.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

class FrameDumpTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    dir_ = fs::temp_directory_path() / ("tarn-dump-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    old_ = fs::current_path();
    fs::current_path(dir_);
  }
  void TearDown() override {
    ResetFrameDump();
    fs::current_path(old_);
    fs::remove_all(dir_);
    EngineTest::TearDown();
  }
  void PressF12() {
    Input.KeyHeld[kKeyF12] = 1;
    CheckFrameDumpKey();
    CheckFrameDumpKey();  // held: no second toggle
    Input.KeyHeld[kKeyF12] = 0;
    CheckFrameDumpKey();
  }
  fs::path dir_, old_;
};

TEST_F(FrameDumpTest, F12StartsIntoTheNextFreeNameAndStopsWithTheTitleBack) {
  std::ofstream("REC00000.GIF") << "kept";
  PressF12();
  ASSERT_TRUE(Dump.recording);
  EXPECT_EQ(nullplat::WindowTitle(), "Tarn - recording REC00001.GIF");
  for (int f = 0; f < 7; ++f) {
    Screen.FrameBuffer[f] = uint8_t(f + 1);
    FrameDumpFrame();
  }
  EXPECT_FALSE(fs::exists("REC00001.GIF")) << "nothing under the name until it stops";
  PressF12();
  EXPECT_FALSE(Dump.recording);
  EXPECT_EQ(nullplat::WindowTitle(), "Tarn");
  EXPECT_GT(fs::file_size("REC00001.GIF"), 100u);
  std::ifstream kept("REC00000.GIF");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "kept");
}

TEST_F(FrameDumpTest, AFolderThatCannotBeWrittenIsSaidInABox) {
  ToggleFrameDump();
  FrameDumpFrame();
  fs::create_directory("REC00000.GIF");  // taken by a folder meanwhile
  testing::internal::CaptureStderr();
  ToggleFrameDump();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("[box] Frame Dump: REC00000.GIF: cannot write"), std::string::npos) << err;
  EXPECT_FALSE(Dump.recording);
  EXPECT_TRUE(fs::is_directory("REC00000.GIF"));
}

}  // namespace
