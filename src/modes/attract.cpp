// attract.cpp: the play/attract frame. After a two-second wait the sequence
// loads the deep-space level, starts the theme and the title card, then pans
// the view across the level showing its planes one at a time, and finally
// pans diagonally with every plane shown, for ever. The level keys stop it by
// putting the step out of range; every frame still scrolls and runs the
// objects, so a loaded level is drawn whatever the step.
#include "modes/attract.h"

#include "audio/sound.h"
#include "common/module_state.h"
#include "gfx/scroll.h"
#include "level/level.h"
#include "modes/level_load.h"
#include "objects/card_object.h"
#include "objects/object_list.h"

AttractState Attract;

void ResetAttract() { Attract = {}; }
const ModuleReset kAttractReset(ResetAttract);

namespace {

// The plane object of plane k is object slot k after the level's objects are
// made; a level with fewer planes touches only the objects it has.
void ShowPlane(uint32_t k, uint32_t visible) {
  if (k >= Objects.ObjectCount) return;
  GameObject& o = Objects.ObjectList[k];
  if (o.type == kObjectPlane && o.plane) o.plane->visible = visible;
}

void Advance() {
  ++Attract.AttractStep;
  Attract.AttractCounter = 0;
}

// A pan passes when a moved coordinate reaches 512: it wraps to 0 and the pass counts.
void Pan(int32_t& coordinate, int32_t step) {
  coordinate += step;
  if (coordinate >= 512) {
    coordinate = 0;
    ++Attract.AttractCounter;
  }
}

struct PanState {
  int32_t dx, dy;  // pixels a frame
  uint16_t passes;
  uint32_t hide, show;  // planes to hide and show when the passes are done
};

// States 3..10: after the passes one plane makes way for the next; state 10
// shows planes 0..3 together (its hide/show are handled in place).
constexpr PanState kPans[8] = {
    {4, 0, 4, 0, 2}, {0, 4, 4, 2, 1}, {2, 0, 2, 1, 3}, {0, 2, 2, 3, 0},
    {4, 0, 1, 0, 2}, {0, 4, 1, 2, 1}, {2, 0, 1, 1, 3}, {0, 2, 1, 1, 1},
};

// The list is emptied first, so that after a restart (key 5) object k is again
// plane k and only one card runs.
void SetUpDemoLevel() {
  ClearObjectList();
  LoadLevelPair("5.til", "5.lev");
  ShowPlane(0, 1);
  for (uint32_t k = 1; k <= 4; ++k) ShowPlane(k, 0);
  Audio.MusicLoops = 1;
  StartMusic(&Audio.ThemeMusic);
  CreateCardObject();
}

}  // namespace

void AttractFrame(std::optional<uint8_t> clear) {
  uint16_t& step = Attract.AttractStep;
  uint16_t& counter = Attract.AttractCounter;
  switch (step) {
    case 0:
      if (++counter >= 120) Advance();
      break;
    case 1:
      SetUpDemoLevel();
      Advance();
      break;
    case 2:
      if (++counter >= 960) Advance();
      break;
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
    case 9:
    case 10: {
      const PanState& pan = kPans[step - 3];
      int32_t x = Level.viewX, y = Level.viewY;
      if (pan.dx) Pan(x, pan.dx);
      if (pan.dy) Pan(y, pan.dy);
      SetView(x, y);
      if (counter < pan.passes) break;
      if (step == 10) {
        for (uint32_t k = 0; k <= 3; ++k) ShowPlane(k, 1);
      } else {
        ShowPlane(pan.hide, 0);
        ShowPlane(pan.show, 1);
      }
      Advance();
      break;
    }
    case 11:
      // The diagonal pan ends its pass when viewX reaches 512; both restart at 0.
      SetView(Level.viewX + 4, Level.viewY + 4);
      if (Level.viewX >= 512) {
        SetView(0, 0);
        counter = 0;
      }
      break;
    default: break;  // stopped (a level key set 99)
  }
  BuildScrollTables(Level.viewX, Level.viewY);
  RunObjects(clear);
}
