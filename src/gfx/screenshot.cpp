// screenshot.cpp: screenshots.
#include "gfx/screenshot.h"

void SaveScreenshot(int) {}
