// pcx.cpp: PCX images and sprites.
#include "gfx/pcx.h"

PcxImage ScratchImage;
int LoadPcx(const std::string&, PcxImage&, int) { return 0; }
std::vector<uint8_t> EncodePcx(const uint8_t*, const uint8_t*) { return {}; }
void InitSprite(Sprite&, uint32_t, uint32_t) {}
void CutSpriteFrame(const PcxImage&, Sprite&, int, int, int) {}
void FreeSpriteFrames(Sprite&) {}
