// test_support.h: a clean engine for each test: every module at its start
// values, the null platform reset, video mode 0 with its display and frame.
#pragma once

#include <gtest/gtest.h>

#include "gfx/draw.h"
#include "platform/null/null_platform.h"
#include "shell/startup.h"
#include "shell/window.h"

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    nullplat::Reset();
    nullplat::SetThrowOnExit(true);
    ResetAllState();
    StartVideoMode(0);
  }
  void TearDown() override { nullplat::SetThrowOnExit(false); }
};
