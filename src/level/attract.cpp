// attract.cpp: the play/attract frame. The sequence's own steps come with the
// attract work; a stopped sequence (step 12 or more, as after a level key)
// still scrolls and draws the loaded level.
#include "level/attract.h"

#include "gfx/scroll.h"
#include "objects/object_list.h"

AttractState Attract;

void ResetAttract() { Attract = {}; }

void AttractFrame() {
  if (Attract.AttractStep >= 12) {
    BuildScrollTables();
    RunObjects();
  }
}
