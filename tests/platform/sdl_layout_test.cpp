// sdl_layout_test.cpp: the SDL platform's pure parts: where the frame sits in
// the window, which window pixel the engine is told for a pointer and where a
// warped pointer goes, and the menu texts' mnemonics.
#include <gtest/gtest.h>

#include <vector>

#include "platform/sdl/sdl_layout.h"
#include "platform/sdl/sdl_menu.h"

using sdlplat::FitFrame;
using sdlplat::PointerAxis;

TEST(SdlLayout, FrameFitsWithAspectKeptAndBarsShared) {
  struct {
    int areaW, areaH, x, y, w, h;
  } cases[] = {
      {1024, 768, 0, 64, 1024, 640},  // 3.2x: 128 spare rows, 64 above and below
      {320, 200, 0, 0, 320, 200},    {640, 400, 0, 0, 640, 400},
      {1000, 400, 180, 0, 640, 400},  // wide: 360 spare columns split 180 / 180
      {400, 1000, 0, 375, 400, 250},  // tall: (1000 - 250) / 2 above
      {701, 500, 0, 31, 701, 438},    // 438.1 rounds down; the odd spare row goes below
      {0, 500, 0, 0, 0, 0},          {500, -3, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    sdlplat::FrameRect r = FitFrame(c.areaW, c.areaH, 320, 200);
    EXPECT_EQ((std::vector<int>{r.x, r.y, r.w, r.h}), (std::vector<int>{c.x, c.y, c.w, c.h}))
        << c.areaW << "x" << c.areaH;
  }
}

TEST(SdlLayout, WindowsScaleByWholeStepsBelowTheBar) {
  struct {
    int areaW, areaH, bar;
    bool whole;
    int x, y, w, h;
  } cases[] = {
      {701, 478, 21, true, 30, 49, 640, 400},      // 2x fits: centred below the bar
      {701, 478, 21, false, 0, 21 + 9, 701, 438},  // full screen fills instead
      {959, 621, 21, true, 159, 121, 640, 400},    // a pixel short of 3x: 2x, centred
      {960, 621, 21, true, 0, 21, 960, 600},      {319, 221, 21, true, 0, 21, 319, 199},  // below 1x: the aspect fit
      {320, 221, 21, true, 0, 21, 320, 200},      {320, 20, 21, true, 0, 21, 0, 0},       // no room under the bar
  };
  for (const auto& c : cases) {
    sdlplat::FrameRect r = sdlplat::LayoutFrame(c.areaW, c.areaH, c.bar, 320, 200, c.whole);
    EXPECT_EQ((std::vector<int>{r.x, r.y, r.w, r.h}), (std::vector<int>{c.x, c.y, c.w, c.h}))
        << c.areaW << "x" << c.areaH << (c.whole ? " whole" : "");
  }
}

TEST(SdlLayout, PointerLandsOnThePixelShown) {
  struct {
    int p, shown, frame, told;
  } cases[] = {
      // At 3.2x window pixel 3 shows frame pixel 1 (centre 3.5 / 3.2 = 1.09), yet
      // 3 * 320 / 1024 = 0.94: the engine is told 4, which it maps to 1.
      {3, 1024, 320, 4},
      {1023, 1024, 320, 1021},
      // A Double window: the engine's own arithmetic is already exact.
      {639, 640, 320, 638},
      {399, 400, 200, 398},
      // Outside the frame and shrunken frames pass through for the engine to clamp.
      {-5, 1024, 320, -5},
      {1024, 1024, 320, 1024},
      {100, 160, 320, 100},
  };
  for (const auto& c : cases) EXPECT_EQ(PointerAxis(c.p, c.shown, c.frame), c.told) << c.p << " of " << c.shown;
  // Every shown pixel maps back, by the engine's floor(p * frame / shown), to the pixel under its centre.
  for (int shown : {320, 333, 640, 700, 1024, 1366, 2560})
    for (int p = 0; p < shown; ++p) {
      int wanted = int((2L * p + 1) * 320 / (2L * shown));
      ASSERT_EQ(int(long(PointerAxis(p, shown, 320)) * 320 / shown), wanted) << "shown " << shown << " p " << p;
    }
}

// A pointer warped to a frame pixel is read back as that pixel at any size.
TEST(SdlLayout, AWarpedPointerMapsBackToItsPixel) {
  for (int shown : {320, 333, 640, 700, 1024, 1366})
    for (int i = 0; i < 320; ++i) {
      int p = sdlplat::ShownIndex(i, shown, 320);
      ASSERT_EQ(int(long(PointerAxis(p, shown, 320)) * 320 / shown), i) << "shown " << shown << " pixel " << i;
    }
}

TEST(SdlMenuText, MnemonicsAndShownTexts) {
  struct {
    const char* text;
    char mnemonic;
    const char* shown;
  } cases[] = {
      {"&File", 'F', "File"},
      {"E&xit         ESC", 'X', "Exit         ESC"},
      {"Toggle &2P Mode   F2", '2', "Toggle 2P Mode   F2"},
      {"None", 0, "None"},
      {"Fish && &Chips", 'C', "Fish & Chips"},
      {"Trailing&", 0, "Trailing"},
      {"&&", 0, "&"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(sdlplat::MenuMnemonic(c.text), c.mnemonic) << c.text;
    EXPECT_EQ(sdlplat::MenuShownText(c.text), c.shown) << c.text;
  }
}
