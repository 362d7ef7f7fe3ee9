// sdl_layout_test.cpp: the SDL platform's pure parts: where the frame sits in
// the window, which window pixel the engine is told for a pointer, and the key map.
#include <gtest/gtest.h>

#include <set>

#include "platform/sdl/sdl_keymap.h"
#include "platform/sdl/sdl_layout.h"
#include "shell/input.h"

using sdlplat::FitFrame;
using sdlplat::FrameRect;
using sdlplat::PointerAxis;

static void ExpectRect(const FrameRect& r, int x, int y, int w, int h) {
  EXPECT_EQ(r.x, x);
  EXPECT_EQ(r.y, y);
  EXPECT_EQ(r.w, w);
  EXPECT_EQ(r.h, h);
}

TEST(SdlLayout, FrameFitsWithAspectKeptAndBarsShared) {
  // 1024 / 320 = 3.2 limits; 200 * 3.2 = 640 leaves 128 rows, 64 above and below.
  ExpectRect(FitFrame(1024, 768, 320, 200), 0, 64, 1024, 640);
  ExpectRect(FitFrame(320, 200, 320, 200), 0, 0, 320, 200);
  ExpectRect(FitFrame(640, 400, 320, 200), 0, 0, 640, 400);
  // Wide area: 400 rows limit, 640 columns, 360 spare split 180 / 180.
  ExpectRect(FitFrame(1000, 400, 320, 200), 180, 0, 640, 400);
  // Tall area: 400 columns give 250 rows, (1000 - 250) / 2 = 375 above.
  ExpectRect(FitFrame(400, 1000, 320, 200), 0, 375, 400, 250);
  // 701 * 200 / 320 = 438.1 rounds down; the odd spare row goes below.
  ExpectRect(FitFrame(701, 500, 320, 200), 0, 31, 701, 438);
  ExpectRect(FitFrame(0, 500, 320, 200), 0, 0, 0, 0);
  ExpectRect(FitFrame(500, -3, 320, 200), 0, 0, 0, 0);
}

TEST(SdlLayout, PointerLandsOnThePixelShown) {
  // At 3.2x, window pixel 3 shows frame pixel 1 (its centre 3.5 / 3.2 = 1.09)
  // but 3 * 320 / 1024 = 0.94; the engine is told 4, which it maps to 1.
  EXPECT_EQ(PointerAxis(3, 1024, 320), 4);
  EXPECT_EQ(PointerAxis(0, 1024, 320), 0);
  EXPECT_EQ(PointerAxis(1023, 1024, 320), 1021);  // pixel 319 starts at 1020.8
  // Normal and Double windows: the engine's own arithmetic is already exact.
  EXPECT_EQ(PointerAxis(217, 320, 320), 217);
  EXPECT_EQ(PointerAxis(639, 640, 320), 638);
  EXPECT_EQ(PointerAxis(399, 400, 200), 398);
  // Outside the frame and shrunken frames pass through for the engine to clamp.
  EXPECT_EQ(PointerAxis(-5, 1024, 320), -5);
  EXPECT_EQ(PointerAxis(1024, 1024, 320), 1024);
  EXPECT_EQ(PointerAxis(100, 160, 320), 100);
}

TEST(SdlLayout, EveryShownPixelMapsBackToItsFramePixel) {
  // The engine's scaling, written out here: floor(p * frame / shown).
  for (int shown : {320, 333, 640, 700, 1024, 1366, 2560}) {
    for (int p = 0; p < shown; ++p) {
      int wanted = int((2L * p + 1) * 320 / (2L * shown));  // pixel under p's centre
      int told = PointerAxis(p, shown, 320);
      ASSERT_EQ(int(long(told) * 320 / shown), wanted) << "shown " << shown << " p " << p;
    }
  }
}

TEST(SdlKeyMap, CoversTheKeyTableAndNothingElse) {
  std::set<uint8_t> table;
  for (const KeyInfo& k : KeyTable) table.insert(k.scanCode);
  std::set<uint8_t> mapped;
  for (const sdlplat::SdlKey& k : sdlplat::kSdlKeys) {
    EXPECT_TRUE(table.count(k.scan)) << "SDL key " << int(k.sdl) << " maps to 0x" << std::hex << int(k.scan);
    mapped.insert(k.scan);
  }
  EXPECT_EQ(mapped, table);
}

TEST(SdlKeyMap, SidesAndFunctionKeys) {
  using sdlplat::EngineScanCode;
  EXPECT_EQ(EngineScanCode(SDL_SCANCODE_LCTRL), 0x1D);
  EXPECT_EQ(EngineScanCode(SDL_SCANCODE_RCTRL), 0x1D);
  EXPECT_EQ(EngineScanCode(SDL_SCANCODE_RSHIFT), 0x2A);
  EXPECT_EQ(EngineScanCode(SDL_SCANCODE_RALT), 0x38);
  EXPECT_EQ(EngineScanCode(SDL_SCANCODE_KP_ENTER), 0x1C);
  EXPECT_EQ(EngineScanCode(SDL_SCANCODE_F10), 0x44);
  EXPECT_EQ(EngineScanCode(SDL_SCANCODE_F11), 0x45);
  EXPECT_EQ(EngineScanCode(SDL_SCANCODE_F12), 0x46);
  EXPECT_EQ(EngineScanCode(SDL_SCANCODE_E), 0x12);
  EXPECT_EQ(EngineScanCode(SDL_SCANCODE_DOWN), 0x50);
  EXPECT_EQ(EngineScanCode(SDL_SCANCODE_MINUS), 0);
  EXPECT_EQ(EngineScanCode(SDL_SCANCODE_KP_6), 0);
}
