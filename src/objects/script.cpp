// script.cpp: the card script instructions (the table is filled with the card work).
#include "objects/script.h"

void InstallInstructions() {}
