// draw.cpp: video modes and the tile and sprite drawing routines.
#include "gfx/draw.h"

#include "gfx/plane_render.h"
#include "platform/platform.h"
#include "shell/display.h"

VideoState Video;

void ResetVideo() { Video = {}; }

void SelectVideoMode(uint8_t mode) {
  Video.VideoMode = mode;
  if (mode != 0 && mode != 2 && mode != 4) return;
  int w = mode == 0 ? 320 : 640, h = mode == 0 ? 200 : 480;
  if (SetUpDisplay(w, h) != 0) {
    platform::MessageBox("DirectDraw init failed.", "Error!", platform::BoxIcon::Stop);
    platform::ExitProcess(0);
  }
  Video.TileColumns = mode == 4 ? 81 : 41;
  Video.TileRows = mode == 4 ? 61 : 26;
  Video.ScreenWidth = uint16_t(mode == 4 ? 640 : 320);
  Video.ScreenHeight = uint16_t(mode == 4 ? 480 : 200);
  if (mode != 4) FillPlaneDrawTable(mode);
}
