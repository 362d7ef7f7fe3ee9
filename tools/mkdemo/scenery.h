// scenery.h: landscape generators shared by the demo levels: sky bands,
// cloud banks, mountain ridges, rock textures, trees and star fields.
#pragma once

#include <cstdint>
#include <vector>

#include "art.h"

// Fills rows y0..y1-1 with a vertical gradient through the ramp (dithered).
void SkyGradient(Canvas& c, int y0, int y1, const Ramp& ramp);

// A bank of flat clouds inside rows y0..y1-1 of a wrapping canvas. shade runs
// from the cloud's dark top to its lit underside; rim lines the underside.
void CloudBank(Canvas& c, int y0, int y1, int count, const Ramp& shade, uint8_t rim, uint32_t seed);

// Height in pixels (0..1) of a ridge at x, periodic over `period` pixels.
float RidgeHeight(int x, int period, int bumps, uint32_t seed);

// A mountain ridge standing on baseY, up to `height` pixels tall, periodic
// over the canvas width; body runs from the ridge line (first entry) down to
// the foot (last), and slopes facing the light get a rim of `light`.
void Ridge(Canvas& c, int baseY, int height, int bumps, const Ramp& body, uint8_t light, uint32_t seed,
           bool lightFromRight = true);

// Rock texture for a pixel: a ramp entry from fractal noise, darker with
// `shade` (0 = as is, 1 = darkest).
uint8_t RockAt(const Ramp& ramp, int x, int y, float shade, int period, uint32_t seed);

// Fills the canvas pixels that are `mask` with rock, lit on the side facing
// the light (+1 right, -1 left) and along its top edge.
void RockFill(Canvas& c, uint8_t mask, const Ramp& ramp, int lightDir, uint32_t seed);

// A conifer: stacked triangles of foliage on a short trunk, rooted at (x, baseY).
void Conifer(Canvas& c, int x, int baseY, int height, const Ramp& leaves, uint8_t trunk);
// A broad-leaved tree: a clump of discs on a trunk.
void LeafyTree(Canvas& c, int x, int baseY, int height, const Ramp& leaves, uint8_t trunk, uint32_t seed);

// Brickwork in a rectangle: staggered bricks of bw x bh pixels with mortar
// lines, each brick a little lighter or darker, lit along its top edge.
void Bricks(Canvas& c, int x, int y, int w, int h, int bw, int bh, const Ramp& brick, uint8_t mortar, uint32_t seed);

// Scatters stars over the canvas (wrapping): mostly single pixels from dim,
// a few brighter with a cross.
void StarField(Canvas& c, int count, const Ramp& dimToBright, uint32_t seed);
