// web_hooks.cpp: what the browser page's test and speed figure ask of the
// engine; part of tarn's browser build only (web/web.cmake). The platform's
// own hook, tarn_hold, is in sdl_web.cpp.
#ifdef __EMSCRIPTEN__
#include <emscripten.h>

#include "modes/attract.h"
#include "shell/display.h"
#include "shell/main_loop.h"

namespace {

// The frame's work as the native benchmark times it: lock, run, unlock.
void FrameWork() {
  LockBackSurface();
  RunFrame();
  UnlockBackSurface();
}

}  // namespace

extern "C" {

// Frames whose work ran since the start.
EMSCRIPTEN_KEEPALIVE double tarn_frames() { return double(Loop.FramesRun); }

// Mean time in microseconds of the frame's work over the given number of
// frames, run now. In the attract sequence it first runs on into the endless
// diagonal pan, where the native benchmark measures.
EMSCRIPTEN_KEEPALIVE double tarn_bench(int frames) {
  for (int k = 0; k < 20000 && Loop.GameMode == kModePlay && Attract.AttractStep < 11; ++k) FrameWork();
  if (frames <= 0) return 0;
  double start = emscripten_get_now();
  for (int k = 0; k < frames; ++k) FrameWork();
  return (emscripten_get_now() - start) * 1000.0 / frames;
}

}  // extern "C"
#endif
