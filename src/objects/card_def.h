// card_def.h: the card definition file.
#pragma once

// Reads stats/card.tdf and stats/zlabel.pcx from the data folder.
void LoadCardDefs();
