// screenshot.h: the frame and palette written out as a PCX file.
#pragma once

#include <string>

// Writes the frame and palette as "SH%06d.PCX" into the current directory,
// with the first number from number on whose file does not exist yet. False
// when it cannot be written: nothing changes, and problem says which file
// and why in one line.
bool SaveScreenshot(int number, std::string& problem);

// Writes the frame and palette as a PCX file at path; false when it cannot.
bool WriteScreenshot(const std::string& path);
