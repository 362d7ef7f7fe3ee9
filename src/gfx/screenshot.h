// screenshot.h: the frame and palette written out as a PCX file.
#pragma once

// Writes "SH%06d.PCX" with the number into the current directory.
void SaveScreenshot(int number);
