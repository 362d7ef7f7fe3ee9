// sdl_peer.h: the planes drawn the way most programmers would: one
// SDL_RenderCopy per tile (per tile slice for the Lined planes) from a tile
// atlas, with SDL's software renderer into a 320x200 target. The yardstick
// for the engine's renderers.
#pragma once

struct Plane;

// Builds the renderer, target and atlas from the loaded tile set and palette.
bool PeerInit();
void PeerShutdown();
// Clears the target, draws every plane of the level, and waits for the renderer.
void PeerDrawLevel();
