// title_card.h: the card shown over the attract level: its definition file
// (stats/card.tdf, with the script written out in title_card.cpp) and the
// image its sprites and colours come from (stats/zlabel.pcx).
#pragma once

#include "demo_file.h"

// stats/card.tdf and stats/zlabel.pcx, paths under default/.
DemoFiles BuildTitleCard();
