// level.h: what writes the level (model/planes.h): new planes, the level file
// reader and writer, and the edits the editor makes.
#pragma once

#include <cstdint>
#include <string>

#include "model/planes.h"

// Fills a fresh plane: default line tables (loop = the plane's extent along
// the line, speed 8), all cells 0, wrapCells = width x height, priority 3.
void InitPlane(Plane& plane, uint8_t type, int32_t width, int32_t height);
// Makes destination an independent copy of source.
void CopyPlane(const Plane& source, Plane& destination);
// New default line tables for the type; cells, size, rowSkip and priority stay.
void ChangePlaneType(Plane& plane, uint8_t type);
// The default level: a 500 x 250 V Tiled plane and two 1200 x 320 Flat
// planes, the view at (0, 0), nothing shown in the editor.
void NewLevel();
// Reads a level file of version 2, 1, 255 or 0 (or one without a header). A
// missing file, an unknown version or sizes no file could hold give NewLevel;
// a truncated file keeps what was read, the rest 0.
void LoadLevel(const std::string& name);

// Writes the level as a version-2 file, each plane trimmed to its used extent.
// False when the file could not be written: the old file survives untouched
// and "*** error creating NAME ***" goes to standard output.
bool SaveLevel(const std::string& name);
