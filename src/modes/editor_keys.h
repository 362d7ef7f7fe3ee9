// editor_keys.h: what editor_frame.cpp takes from editor.cpp: keys and
// latches, the selection, the notice line, and the parts of a frame's input
// that edit the planes. Not for other modules.
#pragma once

#include <cstdint>
#include <string>

struct Plane;

namespace editor {

bool Held(uint8_t key);
// A latched action: runs once when its condition holds and the latch is clear.
bool Take(uint8_t& latch, bool condition);
bool TakeKey(uint8_t key);

bool SelectionEmpty();
void ClearSelection();
// Shows text on the notice line for frames frames (four seconds by default).
void ShowNotice(std::string text, int32_t frames = 240);

// Right drag selects; the left button paints the cell under the pointer.
void PlaneMouse(Plane* p);
// Bar mode: the pointer works the plane and type bars instead of the plane.
void BarMouse();
// Tab, 0, G, C and P: the keys that work in bar mode as well as on the plane.
void AlwaysKeys(Plane* p);
// Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z, in the editor and the tile viewer.
void UndoKeys();

}  // namespace editor
