// card_fuzz.cpp: a card definition file and its image (two parts), then a
// card object run for a while with keys pressed, as the attract sequence
// runs it.
#include "fuzz_support.h"
#include "input/input.h"
#include "level/level.h"
#include "objects/card_def.h"
#include "objects/object_list.h"
#include "objects/script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::ResetEngine();
  const auto parts = fuzz::Split(data, size, 2);
  fuzz::WriteFile("stats/card.tdf", parts[0]);
  fuzz::WriteFile("stats/zlabel.pcx", parts[1]);
  Startup.DataDir = Startup.DefaultDataDir = fuzz::WorkDir();
  InstallInstructions();
  AllocObjectList();
  LoadCardDefs(Startup.DataDir, Startup.DefaultDataDir);
  CreateCardObject();
  static constexpr uint8_t kKeys[] = {0x48, 0x50, 0x4B, 0x4D, 0x1C, 0x39, 0x01, 0x1E};
  for (int frame = 0; frame < 120; ++frame) {
    Input.KeyPressed = {};
    Input.KeyPressed[kKeys[frame % 8]] = frame % 3 == 0;
    Level.viewX = frame * 4;
    Level.viewY = -frame;
    RunObjects();
  }
  fuzz::ResetEngine();
  return 0;
}
