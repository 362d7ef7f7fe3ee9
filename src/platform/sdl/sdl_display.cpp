// sdl_display.cpp: the display forms on an SDL renderer. Full screen keeps an
// 8-bit frame and expands it through its own palette at present; a window
// takes the frame already expanded to XRGB8888. Both show it scaled with the
// aspect kept, nearest neighbour, black bars around. In a browser with WebGL
// both forms keep the 8-bit frame and the GPU expands it (sdl_web_gl.cpp).
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/sdl/sdl_menu.h"
#include "platform/sdl/sdl_state.h"
#ifdef __EMSCRIPTEN__
#include "platform/sdl/sdl_web_gl.h"
#endif

namespace sdlplat {

namespace {

// True while the browser's WebGL shows the frame: its palette is looked up on
// the GPU, for the window form as for full screen, and SDL has no renderer.
bool OnGpu() {
#ifdef __EMSCRIPTEN__
  return WebGlRunning();
#else
  return false;
#endif
}

// The size of what the frame and the bar are drawn on.
bool OutputSize(int& w, int& h) {
  if (OnGpu()) {
    SDL_GetWindowSize(Sdl.window, &w, &h);
    return true;
  }
  return Sdl.renderer && SDL_GetRendererOutputSize(Sdl.renderer, &w, &h) == 0;
}

// True for a GL renderer whose driver rasterises on the CPU (llvmpipe under
// a headless X server): it would scale the frame and then copy every screen
// pixel back to the server, where the software renderer does far less work.
bool RasterisesOnCpu(SDL_Renderer* renderer) {
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(renderer, &info) != 0 || std::strncmp(info.name, "opengl", 6) != 0) return false;
  using GetStringFn = const unsigned char* (*)(unsigned int);
  auto getString = reinterpret_cast<GetStringFn>(SDL_GL_GetProcAddress("glGetString"));
  if (!getString) return false;
  const char* name = reinterpret_cast<const char*>(getString(0x1F01));  // GL_RENDERER
  if (!name) return false;
  for (const char* cpu : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast"})
    if (std::strstr(name, cpu)) return true;
  return false;
}

// True on a Linux machine with no GPU device (no render node or card under
// /dev/dri, no NVIDIA device): GL there can only rasterise on the CPU, and
// finding that out by making a GL renderer loads the software driver, about
// half a second of start-up, only to throw it away.
bool NoGpuDevice() {
#if defined(__linux__) && !defined(__EMSCRIPTEN__)
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", ec)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("renderD", 0) == 0 || name.rfind("card", 0) == 0) return false;
  }
  return !std::filesystem::exists("/dev/nvidia0", ec);
#else
  return false;
#endif
}

// The best renderer SDL offers unless it runs on the CPU anyway; then, or
// when nothing else works, the software one. A renderer the user names in
// SDL_RENDER_DRIVER is taken as it is.
bool EnsureRenderer() {
  if (Sdl.renderer || OnGpu()) return true;
#ifdef __EMSCRIPTEN__
  if (WebGlStart()) {
    MenuAttach(Sdl.window, nullptr);
    return true;
  }
#endif
  const bool named = SDL_GetHint(SDL_HINT_RENDER_DRIVER) != nullptr;
  if (named || !NoGpuDevice()) Sdl.renderer = SDL_CreateRenderer(Sdl.window, -1, 0);
  if (Sdl.renderer && !named && RasterisesOnCpu(Sdl.renderer)) {
    SDL_DestroyRenderer(Sdl.renderer);
    Sdl.renderer = nullptr;
  }
  if (!Sdl.renderer) Sdl.renderer = SDL_CreateRenderer(Sdl.window, -1, SDL_RENDERER_SOFTWARE);
  if (!Sdl.renderer) {
    std::fprintf(stderr, "tarn: no renderer: %s\n", SDL_GetError());
    return false;
  }
  SDL_RendererInfo info;
  Sdl.scaleOnCpu = SDL_GetRendererInfo(Sdl.renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE);
  MenuAttach(Sdl.window, Sdl.renderer);
  return true;
}

void DestroyTexture() {
  if (Sdl.texture) SDL_DestroyTexture(Sdl.texture);
  Sdl.texture = nullptr;
  Sdl.textureW = Sdl.textureH = 0;
}

// A streaming XRGB8888 texture of the size given, replacing the old one.
bool MakeTexture(int width, int height) {
  DestroyTexture();
  Sdl.texture = SDL_CreateTexture(Sdl.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width, height);
  if (!Sdl.texture) {
    std::fprintf(stderr, "tarn: no frame texture: %s\n", SDL_GetError());
    return false;
  }
  SDL_SetTextureBlendMode(Sdl.texture, SDL_BLENDMODE_NONE);
  Sdl.textureW = width;
  Sdl.textureH = height;
  return true;
}

// Covers the display first by hand: with no window manager to honour the
// full-screen request (a bare X server) the window would keep its old size.
bool EnterFullScreen() {
  if (SDL_GetWindowFlags(Sdl.window) & SDL_WINDOW_FULLSCREEN) return true;
  SDL_Rect bounds;
  if (SDL_GetDisplayBounds(std::max(SDL_GetWindowDisplayIndex(Sdl.window), 0), &bounds) == 0) {
    // The window limits would clamp the size.
    SDL_SetWindowMinimumSize(Sdl.window, 1, 1);
    SDL_SetWindowMaximumSize(Sdl.window, std::max(bounds.w, 1), std::max(bounds.h, 1));
    SDL_SetWindowPosition(Sdl.window, bounds.x, bounds.y);
    SDL_SetWindowSize(Sdl.window, bounds.w, bounds.h);
  }
  return SDL_SetWindowFullscreen(Sdl.window, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
}

// One row of the frame as XRGB pixels: the window form's own row, or the
// full-screen row expanded through the palette into scratch.
const uint32_t* FrameRow(int row, uint32_t* scratch) {
  if (Sdl.windowed) return Sdl.frame32.data() + size_t(row) * Sdl.frameW;
  const uint8_t* src = Sdl.frame8.data() + size_t(row) * Sdl.frameW;
  for (int col = 0; col < Sdl.frameW; ++col) scratch[col] = Sdl.palette[src[col]];
  return scratch;
}

// Fills the texture with the frame. On the software renderer the texture has
// the shown size and the frame is scaled here: one pass of nearest-neighbour
// rows, each repeated row a copy, is much cheaper than SDL's general stretch.
bool UploadFrame() {
  void* pixels;
  int pitch;
  if (SDL_LockTexture(Sdl.texture, nullptr, &pixels, &pitch) != 0) return false;
  auto rowAt = [&](int y) { return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(pixels) + size_t(y) * pitch); };
  Sdl.rowScratch.resize(size_t(Sdl.frameW));
  if (Sdl.textureW == Sdl.frameW && Sdl.textureH == Sdl.frameH) {
    for (int y = 0; y < Sdl.frameH; ++y) {
      const uint32_t* src = FrameRow(y, Sdl.rowScratch.data());
      std::memcpy(rowAt(y), src, size_t(Sdl.frameW) * 4);
    }
  } else {
    int w = Sdl.textureW, h = Sdl.textureH;
    Sdl.columnMap.resize(size_t(w));
    for (int x = 0; x < w; ++x) Sdl.columnMap[x] = SourceIndex(x, w, Sdl.frameW);
    int lastRow = -1;
    for (int y = 0; y < h; ++y) {
      int row = SourceIndex(y, h, Sdl.frameH);
      uint32_t* dst = rowAt(y);
      if (row == lastRow) {
        std::memcpy(dst, rowAt(y - 1), size_t(w) * 4);
        continue;
      }
      const uint32_t* src = FrameRow(row, Sdl.rowScratch.data());
      for (int x = 0; x < w; ++x) dst[x] = src[Sdl.columnMap[x]];
      lastRow = row;
    }
  }
  SDL_UnlockTexture(Sdl.texture);
  return true;
}

// Blackens only the bars around the frame: the software renderer keeps its
// pixels between presents, and a full clear costs as much as the frame's copy.
void FillBars(const FrameRect& r) {
  int w, h;
  if (!OutputSize(w, h)) return;
  const SDL_Rect bars[4] = {
      {0, 0, w, r.y}, {0, r.y + r.h, w, h - r.y - r.h}, {0, r.y, r.x, r.h}, {r.x + r.w, r.y, w - r.x - r.w, r.h}};
  for (const SDL_Rect& bar : bars)
    if (bar.w > 0 && bar.h > 0) SDL_RenderFillRect(Sdl.renderer, &bar);
}

}  // namespace

FrameRect ShownFrame() {
  int w, h;
  if (!OutputSize(w, h)) return {};
  return LayoutFrame(w, h, ShownBarHeight(), Sdl.frameW, Sdl.frameH, !Sdl.fill);
}

void DestroyRenderer() {
  platform::DisplayRelease();
  MenuDetach();
#ifdef __EMSCRIPTEN__
  WebGlStop();
#endif
  if (Sdl.renderer) SDL_DestroyRenderer(Sdl.renderer);
  Sdl.renderer = nullptr;
}

}  // namespace sdlplat

using sdlplat::Sdl;

namespace platform {

bool DisplayCreate(bool windowed, int width, int height) {
  DisplayRelease();
  if (!Sdl.window || width <= 0 || height <= 0 || !sdlplat::EnsureRenderer()) return false;
  Sdl.frameW = width;
  Sdl.frameH = height;
  if (windowed) {
    if (SDL_SetWindowFullscreen(Sdl.window, 0) != 0) return false;
    SDL_SetWindowBordered(Sdl.window, SDL_TRUE);
    // The limits and size the window had; the engine's size mode follows.
    SetClientLimits(Sdl.minW, Sdl.minH, Sdl.maxW, Sdl.maxH);
    SetClientSize(Sdl.windowedW, Sdl.windowedH);
    SDL_SetWindowPosition(Sdl.window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  } else if (!sdlplat::EnterFullScreen()) {
    return false;
  }
  const bool onGpu = sdlplat::OnGpu();
  if (!onGpu && !sdlplat::MakeTexture(width, height)) return false;
  if (windowed && !onGpu)
    Sdl.frame32.assign(size_t(width) * height, 0);
  else
    Sdl.frame8.assign(size_t(width) * height, 0);
  Sdl.windowed = windowed;
  Sdl.deviceLost = false;
  Sdl.displayExists = true;
  return true;
}

void DisplayRelease() {
  sdlplat::DestroyTexture();
  Sdl.frame8.clear();
  Sdl.frame32.clear();
  Sdl.displayExists = false;
}

bool DisplayExists() { return Sdl.displayExists; }

bool DisplayPixelFormat(PixelFormat& out) {
  if (!Sdl.displayExists) return false;
  if (!Sdl.windowed || sdlplat::OnGpu()) {
    out = PixelFormat{true, false, 8, 0};
    return true;
  }
  Uint32 format;
  if (SDL_QueryTexture(Sdl.texture, &format, nullptr, nullptr, nullptr) != 0) return false;
  int bits;
  Uint32 r, g, b, a;
  if (!SDL_PixelFormatEnumToMasks(format, &bits, &r, &g, &b, &a)) return false;
  out = PixelFormat{false, !SDL_ISPIXELFORMAT_INDEXED(format), bits, r};
  return true;
}

uint8_t* DisplayLock() {
  if (!Sdl.displayExists) return nullptr;
  if (Sdl.windowed && !sdlplat::OnGpu()) return reinterpret_cast<uint8_t*>(Sdl.frame32.data());
  return Sdl.frame8.data();
}

// The memory is ours, so there is nothing to hand back.
void DisplayUnlock() {}

void DisplaySetPalette(const uint8_t* entries) {
  for (int i = 0; i < 256; ++i) {
    const uint8_t* e = entries + 4 * i;
    Sdl.palette[i] = 0xFF000000u | uint32_t(e[0]) << 16 | uint32_t(e[1]) << 8 | e[2];
  }
}

PresentResult DisplayPresent() {
  const bool onGpu = sdlplat::OnGpu();
  if (!Sdl.displayExists || (!Sdl.texture && !onGpu)) return PresentResult::NoSurfaces;
  if (Sdl.deviceLost) return PresentResult::SurfaceLost;
  sdlplat::FrameRect r = sdlplat::ShownFrame();
#ifdef __EMSCRIPTEN__
  // The browser shows the canvas when the frame callback returns.
  if (onGpu) {
    sdlplat::WebGlDraw(r, Sdl.frame8.data(), Sdl.frameW, Sdl.frameH, Sdl.palette.data());
    sdlplat::MenuDraw();
    return PresentResult::Ok;
  }
#endif
  SDL_SetRenderDrawColor(Sdl.renderer, 0, 0, 0, 255);
  if (Sdl.scaleOnCpu && r.w > 0 && r.h > 0)
    sdlplat::FillBars(r);
  else
    SDL_RenderClear(Sdl.renderer);
  if (r.w > 0 && r.h > 0) {
    int texW = Sdl.scaleOnCpu ? r.w : Sdl.frameW, texH = Sdl.scaleOnCpu ? r.h : Sdl.frameH;
    if ((texW != Sdl.textureW || texH != Sdl.textureH) && !sdlplat::MakeTexture(texW, texH))
      return PresentResult::SurfaceLost;
    if (!sdlplat::UploadFrame()) return PresentResult::SurfaceLost;
    SDL_Rect dst{r.x, r.y, r.w, r.h};
    SDL_RenderCopy(Sdl.renderer, Sdl.texture, nullptr, &dst);
  }
  sdlplat::MenuDraw();
  SDL_RenderPresent(Sdl.renderer);
  return PresentResult::Ok;
}

// A new renderer and texture; the frame memory, ours, stays where it was.
bool DisplayRestore() {
  if (!Sdl.displayExists) return false;
  if (sdlplat::OnGpu()) return true;
  sdlplat::DestroyTexture();
  sdlplat::MenuDetach();
  if (Sdl.renderer) SDL_DestroyRenderer(Sdl.renderer);
  Sdl.renderer = nullptr;
  if (!sdlplat::EnsureRenderer() || !sdlplat::MakeTexture(Sdl.frameW, Sdl.frameH)) return false;
  Sdl.deviceLost = false;
  return true;
}

}  // namespace platform
