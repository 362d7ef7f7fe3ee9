// card_def.h: the card definition file.
#pragma once

// Reads card.tdf and its art.
void LoadObjectDefinitions();
