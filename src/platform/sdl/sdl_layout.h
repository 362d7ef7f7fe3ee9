// sdl_layout.h: where the frame sits inside the window and which window pixel
// the engine is told for a pointer. Pure arithmetic, free of SDL, so it is
// tested, and the null platform models its window with it too.
#pragma once

#include <algorithm>

namespace sdlplat {

struct FrameRect {
  int x = 0, y = 0, w = 0, h = 0;
};

// The largest rectangle of the frame's aspect that fits an areaW x areaH area,
// centred in it; black bars fill the rest. Empty for an empty area or frame.
inline FrameRect FitFrame(int areaW, int areaH, int frameW, int frameH) {
  FrameRect r;
  if (areaW <= 0 || areaH <= 0 || frameW <= 0 || frameH <= 0) return r;
  // Compare the aspects in integers: areaW / areaH against frameW / frameH.
  if (long(areaW) * frameH <= long(areaH) * frameW) {
    r.w = areaW;
    r.h = int(long(areaW) * frameH / frameW);
  } else {
    r.h = areaH;
    r.w = int(long(areaH) * frameW / frameH);
  }
  r.x = (areaW - r.w) / 2;
  r.y = (areaH - r.h) / 2;
  return r;
}

// Where the frame shows in an area of areaW x areaH whose top barH rows hold
// the menu bar. By whole steps, when at least one fits, every frame pixel shows
// the same size; otherwise the frame fills what it can.
inline FrameRect LayoutFrame(int areaW, int areaH, int barH, int frameW, int frameH, bool wholeSteps) {
  const int h = areaH - barH;
  FrameRect r = FitFrame(areaW, h, frameW, frameH);
  if (wholeSteps && r.w >= frameW) {
    const int k = std::min(areaW / frameW, h / frameH);
    r = {(areaW - k * frameW) / 2, (h - k * frameH) / 2, k * frameW, k * frameH};
  }
  r.y += barH;
  return r;
}

// The frame pixel a nearest-neighbour scaler shows at shown pixel d of one axis:
// the one under the shown pixel's centre, floor((d + 0.5) * frameSize / shownSize).
inline int SourceIndex(int d, int shownSize, int frameSize) { return int((2L * d + 1) * frameSize / (2L * shownSize)); }

// One axis of the pointer: p is relative to the shown frame's first pixel, in
// window pixels. The engine computes floor(p * frameSize / shownSize), which
// can be one off the pixel SourceIndex shows there; the answer is the smallest
// window pixel that the engine maps to the pixel actually shown. Positions outside the
// frame and shrunken frames (which no window pixel can fully resolve) pass through.
inline int PointerAxis(int p, int shownSize, int frameSize) {
  if (shownSize < frameSize || frameSize <= 0 || p < 0 || p >= shownSize) return p;
  long shown = SourceIndex(p, shownSize, frameSize);
  return int((shown * shownSize + frameSize - 1) / frameSize);
}

// The shown pixel at the middle of frame pixel i of one axis: where a warped
// pointer goes so that it maps back to i.
inline int ShownIndex(int i, int shownSize, int frameSize) {
  if (frameSize <= 0) return 0;
  return int((2L * i + 1) * shownSize / (2L * frameSize));
}

}  // namespace sdlplat
