// script.h: the card script instructions.
#pragma once

// Fills the instruction table.
void InstallInstructions();
