// card_def.cpp: the card definition (read with the card work).
#include "objects/card_def.h"

void LoadCardDefs() {}
