// attract.cpp: the play/attract frame. The sequence's own states (the opening
// wait, the demo level, the pans) come with the attract work; whatever the
// state, every frame scrolls and draws what the object list holds, so a level
// loaded by a level key shows now.
#include "level/attract.h"

#include "gfx/scroll.h"
#include "objects/object_list.h"

AttractState Attract;

void ResetAttract() { Attract = {}; }

void AttractFrame() {
  BuildScrollTables();
  RunObjects();
}
