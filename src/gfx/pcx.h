// pcx.h: the PCX reader and writer, the shared scratch image and sprites cut from it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The one decoded 320x200 image that sprites are cut from.
struct PcxImage {
  std::array<uint8_t, 128> header{};
  std::array<uint8_t, 768> palette{};  // 256 x (r, g, b), 6-bit
  std::vector<uint8_t> pixels;         // 64001 bytes once allocated, 320 a row
};
extern PcxImage ScratchImage;

struct Sprite {
  uint32_t width = 0;   // stored bytes per row (doubled in video mode 2)
  uint32_t height = 0;
  std::array<std::vector<uint8_t>, 25> frames;  // empty = absent
  uint8_t currentFrame = 0;
  uint8_t frameCount = 0;
  int16_t originX = 0, originY = 0;
  int16_t flippedOriginX = 0, flippedOriginY = 0;
};

// Decodes a PCX file into image; 1 on success, 0 (image unchanged) when it cannot be read.
int LoadPcx(const std::string& path, PcxImage& image, int installPalette);
void InitSprite(Sprite& sprite, uint32_t width, uint32_t height);
void CutSpriteFrame(const PcxImage& image, Sprite& sprite, int frameSlot, int x, int y);
void FreeSpriteFrames(Sprite& sprite);

// Encodes 320x200 palette indices with an 8-bit palette (768 bytes) as a PCX file image.
std::vector<uint8_t> EncodePcx(const uint8_t* pixels, const uint8_t* palette8);
