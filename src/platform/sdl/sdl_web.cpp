// sdl_web.cpp: what a browser forces on the SDL platform, compiled only for
// Emscripten: the loop runs in the browser's frame callback instead of
// sleeping, the clock reads the browser frame's time, the page starts in a
// Double window, and the end of the process shows on the page.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "platform/sdl/sdl_state.h"
#include "platform/sdl/sdl_tick_grid.h"

namespace sdlplat {

namespace {

// The clock counts the ticks of its 60 Hz grid, a thousand counts a tick, so
// the frame timer's interval is exactly one tick.
constexpr uint64_t kCountsPerTick = 1000;

// Passes one browser frame may run: one frame and the messages after it;
// the cap keeps a flood of messages from stalling the page.
constexpr int kMaxPasses = 64;

struct WebState {
  bool browserOwnsLoop = false;  // the first wait handed the loop over
  bool waiting = false;          // a pass found nothing to do this browser frame
  TickGrid grid;
  uint64_t frameCount = 0;            // the clock as this browser frame reads it
  uint64_t holdAtFrame = UINT64_MAX;  // the page test stops the frames here
  bool browserFullScreen = false;     // as the browser had it last frame
  bool fullScreenAsked = true;        // the engine's full-screen form asked (none at the start)
  platform::LoopHooks loop;           // the shell's pass, run from the browser's frames
};
WebState Web;

// Full screen is the browser's to grant and to end. SDL asks for it at the
// next key or click, but a quick F4 has come and gone by the frame that sees
// it, so the engine's full-screen form asks once more at once, while the
// browser still counts the key as the player's. When the browser ends full
// screen (its own Esc), the engine goes back to its window as after F4.
// Leaving full screen, the browser restores an old canvas and SDL takes the
// canvas's page size for the window's: a window keeps its size limits, as a
// window manager would make it, and the canvas the window's size.
void FollowBrowserFullScreen() {
  EmscriptenFullscreenChangeEvent status;
  bool full = emscripten_get_fullscreen_status(&status) == EMSCRIPTEN_RESULT_SUCCESS && status.isFullscreen;
  if (Web.browserFullScreen && !full && Sdl.displayExists && !Sdl.windowed)
    Sdl.messages.push_back({platform::MessageKind::Command, 2000});
  Web.browserFullScreen = full;
  if (Sdl.displayExists && !Sdl.windowed && !full && !Web.fullScreenAsked) {
    EM_ASM({
      var canvas = Module['canvas'];
      if (canvas && canvas.requestFullscreen) canvas.requestFullscreen().catch(function(){});
    });
  }
  Web.fullScreenAsked = !Sdl.windowed;
  if (full || !Sdl.window || !Sdl.windowed) return;
  // A request SDL left waiting for a key would otherwise fire at some later
  // key or click, long after the player chose the window.
  emscripten_exit_fullscreen();
  int w, h, canvasW, canvasH;
  SDL_GetWindowSize(Sdl.window, &w, &h);
  int bar = ShownBarHeight();
  int keptW = std::clamp(w, Sdl.minW, Sdl.maxW), keptH = std::clamp(h - bar, Sdl.minH, Sdl.maxH) + bar;
  if (keptW != w || keptH != h)
    SDL_SetWindowSize(Sdl.window, keptW, keptH);
  else if (emscripten_get_canvas_element_size("#canvas", &canvasW, &canvasH) == EMSCRIPTEN_RESULT_SUCCESS &&
           (canvasW != w || canvasH != h))
    emscripten_set_canvas_element_size("#canvas", w, h);
}

// One browser frame: the engine's passes, until one finds nothing due and no
// message waiting. The frame timer still decides which passes run a frame.
void BrowserFrame() {
  FollowBrowserFullScreen();
  Web.frameCount = Web.grid.Follow(emscripten_get_now()) * kCountsPerTick;
  Web.waiting = false;
  int code = 0;
  for (int pass = 0; pass < kMaxPasses && !Web.waiting; ++pass) {
    if (Web.loop.framesRun() >= Web.holdAtFrame) return;
    if (!Web.loop.pass(code)) platform::ExitProcess(code);
  }
}

// The page starts as a Double window, as if the player chose the window
// form and its size from the menu: the browser grants full screen only in
// answer to a key or click.
void QueueStartWindow() {
  if (Sdl.displayExists && !Sdl.windowed) Sdl.messages.push_back({platform::MessageKind::Command, 2000});
  Sdl.messages.push_back({platform::MessageKind::Command, 2002});
}

// Hints that must stand before SDL creates its renderer: the software one
// draws into the page's 2D canvas, scaled by our own nearest-neighbour rows.
const bool kHintsSet = [] {
  SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
  return true;
}();

}  // namespace

void ShowBoxInPage(const std::string& caption, const std::string& text) {
  EM_ASM(
      {
        if (Module['showBox']) Module['showBox'](UTF8ToString($0), UTF8ToString($1));
      },
      caption.c_str(), text.c_str());
}

void EndInBrowser(int code) {
  emscripten_exit_fullscreen();  // and no waiting request names the canvas SDL let go of
  emscripten_cancel_main_loop();
  // The page's onExit handler shows that Tarn has ended.
  emscripten_force_exit(code);
}

}  // namespace sdlplat

using sdlplat::Web;

namespace platform {

// Within a browser frame the clock stands still at the frame's tick.
uint64_t Counter() {
  if (Web.browserOwnsLoop) return Web.frameCount;
  return Web.grid.Nearest(emscripten_get_now()) * sdlplat::kCountsPerTick;
}

uint64_t CounterFrequency() { return 60 * sdlplat::kCountsPerTick; }

uint32_t Milliseconds() { return uint32_t(uint64_t(emscripten_get_now())); }

void SetLoopHooks(const LoopHooks& hooks) { Web.loop = hooks; }

// Waiting means giving the thread back to the browser. The first wait hands
// the loop to the browser's frame callback and never returns: the engine's
// own loop is left behind, and its state lives on in the modules. Later
// waits end the current browser frame.
void WaitUntil(uint64_t) {
  if (Web.browserOwnsLoop) {
    Web.waiting = true;
    return;
  }
  Web.browserOwnsLoop = true;
  Web.frameCount = Web.grid.Follow(emscripten_get_now()) * sdlplat::kCountsPerTick;
  sdlplat::QueueStartWindow();
  emscripten_set_main_loop(sdlplat::BrowserFrame, 0, 1);
}

}  // namespace platform

// ---- For the page test (the rest of its hooks: shell/web_hooks.cpp) --------

extern "C" {

// Runs no frame after the given one, so the page keeps showing it.
EMSCRIPTEN_KEEPALIVE void tarn_hold(double frame) { Web.holdAtFrame = frame < 0 ? UINT64_MAX : uint64_t(frame); }

}  // extern "C"
