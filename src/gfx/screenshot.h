// screenshot.h: the frame and palette written out as a PCX file.
#pragma once

#include <string>

// Writes the frame and palette as "SH%06d.PCX" with the number into the current
// directory, replacing an earlier file; when it cannot be written nothing changes.
void SaveScreenshot(int number);

// Writes the frame and palette as a PCX file at path; false when it cannot.
bool WriteScreenshot(const std::string& path);
