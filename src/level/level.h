// level.h: what writes the level (model/planes.h): new planes, the level file
// reader and writer, and the edits the editor makes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

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
// a truncated file keeps what was read, the rest 0. Whatever happens the level
// now belongs to name (levelFileName); levelFileProblem says when something
// there did not load and must not be saved over.
void LoadLevel(const std::string& name);
// Puts planes built elsewhere (an importer) in place of the level, each made
// whole as a loader leaves a plane: sides of 1 to 65535, cells for its size,
// line tables of its type's length with loops of at least 1, its wrap. The
// view goes to (0, 0), plane 0 is current and none is shown; the file the
// level belongs to stays.
void ReplaceLevel(std::vector<Plane> planes, int32_t parameter);

// The edits the editor and the modes make; with the loaders above, the only
// writers of the level.
// The view's world position (the top-left corner of the screen).
void SetView(int32_t x, int32_t y);
// Makes plane `index` the current one.
void SelectPlane(uint8_t index);
// The current plane, or null when the level has none: what the editor's
// cell and line edits write to.
Plane* CurrentPlane();
// A new empty 1200 x 320 Flat plane at position `at`, made current; the
// planes from there, with their shown flags, move up one.
void InsertPlane(size_t at);
// The same with a given plane and shown flag (an undone delete).
void InsertPlane(size_t at, Plane plane, uint8_t shown);
// Removes plane `at` and hands it back; the shown flags move down with their
// planes and the current plane stays within the level.
Plane DeletePlane(size_t at);
// Shows or hides plane `index` in the editor (the first 16 only).
void TogglePlaneShown(size_t index);
// Cell (x, y) of the plane; a cell off the plane is left alone.
void SetCell(Plane& plane, int32_t x, int32_t y, uint16_t tile);

// The per-line and whole-plane values the line keys change.
enum PlaneValue : uint8_t { kLineSpeed, kLineLoop, kOtherSpeed, kOtherLoop, kWrapCells };
// A value of the plane (index picks the line of the per-line tables); 0 for
// a line the plane does not have.
int32_t GetPlaneValue(const Plane& plane, PlaneValue value, size_t index);
// Sets it; a line the plane does not have is left alone. Speeds are bytes,
// loops at least 1.
void SetPlaneValue(Plane& plane, PlaneValue value, size_t index, int32_t to);
// Exchanges the plane's type and line tables (speeds, loops, wrapCells) with
// those held in lines; cells, size and priority stay (an undone retype).
void SwapPlaneLines(Plane& plane, Plane& lines);

// What NEW replaces: the planes with their shown flags, the current plane and
// the level's parameter.
struct LevelPlanes {
  std::vector<Plane> planes;
  std::array<uint8_t, kShownPlanes> shown{};
  uint8_t current = 0;
  int32_t parameter = 340;
};
// Exchanges them with the level's; planeCount follows, the view stays.
void SwapLevelPlanes(LevelPlanes& other);

// The bytes SaveLevel writes.
std::vector<uint8_t> LevelFileBytes();
// Writes the level as a version-2 file, each plane trimmed to its used extent.
// False when the file could not be written: the old file survives untouched
// and "*** error creating NAME ***" goes to standard output.
bool SaveLevel(const std::string& name);
