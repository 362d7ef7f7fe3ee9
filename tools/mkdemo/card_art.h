// card_art.h: the title card's pixel art, drawn by code into zlabel.pcx:
// the TARN logo, the ship, the panels' backdrops, the help strip and the
// menu's highlight bar, in the card's sixteen colours.
#pragma once

#include <array>
#include <string_view>

#include "art.h"
#include "palette.h"

// The word in chrome capitals, outlined and shadowed.
Canvas CardLogo(std::string_view word);
// The ship of the world panel, 24x12, nose to the right.
Canvas CardShip();
// A panel's backdrop: a veil of navy in a light frame with cyan corners.
Canvas CardBackdrop(int w, int h);
// The help strip along the bottom: the veil under a cyan edge.
Canvas CardStrip(int w, int h);
// The menu's highlight: a magenta bar with rounded ends and a gold marker.
Canvas CardBar(int w, int h);
// zlabel.pcx's palette: the card's colours first, then the global ones.
std::array<Rgb, 256> CardSheetPalette();
