// display.cpp: the display device: a palettised form whose frame is the
// platform's memory (full screen, or a browser's window), or a window form
// that receives the frame expanded to its pixel format.
#include "shell/display.h"

#include "common/module_state.h"
#include "gfx/frame_buffer.h"
#include "platform/platform.h"

std::unique_ptr<CDisplay> TheDisplay;
const ModuleReset kDisplayReset(ReleaseDisplay);

CDisplay::~CDisplay() {
  if (created) platform::DisplayRelease();
}

int SetUpDisplay(int width, int height, bool windowed) {
  TheDisplay.reset();
  TheDisplay = std::make_unique<CDisplay>();
  constexpr int kFail = int(0x80004005);
  if (!platform::DisplayCreate(windowed, width, height)) {
    platform::MessageBox("Failed initializing DirectDraw.", "Error!", platform::BoxIcon::Stop);
    return kFail;
  }
  TheDisplay->created = true;
  // A window that takes palette indices (the browser's, looked up on the GPU)
  // is drawn into as full screen is.
  platform::PixelFormat format;
  const bool converts = windowed && !(platform::DisplayPixelFormat(format) && format.palettised);
  TheDisplay->converts = converts;
  if (uint8_t* surface = platform::DisplayLock()) {
    if (converts) {
      Screen.ConvertCount = uint32_t(width * height);
      Screen.ConvertDest = surface;
      platform::DisplayUnlock();
      Screen.OwnFrame.resize(size_t(width) * height);
      Screen.FrameBuffer = Screen.OwnFrame.data();
    } else {
      Screen.FrameBuffer = surface;
      platform::DisplayUnlock();
    }
  }
  if (!converts) platform::DisplaySetPalette(Screen.PaletteTable.data());
  return 0;
}

int RestoreDisplay() {
  if (!platform::DisplayRestore()) return int(0x80004005);
  if (uint8_t* surface = platform::DisplayLock()) {
    if (TheDisplay && TheDisplay->converts)
      Screen.ConvertDest = surface;
    else
      Screen.FrameBuffer = surface;
    platform::DisplayUnlock();
  }
  platform::DisplaySetPalette(Screen.PaletteTable.data());
  return 0;
}

void CheckPixelFormat() {
  platform::PixelFormat f;
  if (!platform::DisplayPixelFormat(f)) {
    platform::MessageBox("GetPixelFormat Failed.", "DirectX Error.", platform::BoxIcon::None);
    platform::ExitProcess(1);
  }
  if (f.palettised) {
    Screen.PixelFormatCode = 8;
  } else if (f.rgb) {
    int code = f.bitsPerPixel;
    if (code == 16 && f.redMask != 0xF800) code = 15;
    if (code == 24 && f.redMask != 0xFF0000) code = 25;
    if (code == 32 && f.redMask != 0xFF0000) code = 33;
    Screen.PixelFormatCode = uint8_t(code);
  } else {
    platform::MessageBox("Please use 8 Bit color or Higher.", "Invalid Color mode.", platform::BoxIcon::None);
    platform::ExitProcess(1);
  }
}

void ReleaseDisplay() { TheDisplay.reset(); }

bool LockBackSurface() {
  uint8_t* surface = platform::DisplayLock();
  if (!surface) return false;
  if (TheDisplay && TheDisplay->converts)
    Screen.ConvertDest = surface;
  else
    Screen.FrameBuffer = surface;
  return true;
}

void UnlockBackSurface() { platform::DisplayUnlock(); }

void PresentDisplayFrame() {
  if (platform::DisplayPresent() == platform::PresentResult::SurfaceLost) {
    RestoreDisplay();
    platform::DisplayPresent();
  }
}
