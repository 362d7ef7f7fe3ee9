// scroll.cpp: the per-frame scroll tables.
#include "gfx/scroll.h"

ScrollState Scroll;
void ResetScroll() { Scroll = {}; }
void BuildScrollTables() { ++Scroll.AutoScrollCounter; }
