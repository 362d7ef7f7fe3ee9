// pcx.h: the PCX reader and writer, the shared scratch image and sprites cut from it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/sprite.h"

// The one decoded 320x200 image that sprites are cut from.
struct PcxImage {
  std::array<uint8_t, 128> header{};
  std::array<uint8_t, 768> palette{};  // 256 x (r, g, b), 6-bit
  std::vector<uint8_t> pixels;         // 64001 bytes once allocated, 320 a row
};
extern PcxImage ScratchImage;

void ResetScratchImage();

// Allocates the ScratchImage pixel block (64001 bytes).
void AllocateScratchPixels();

// Decodes a PCX file, or gives nothing when it cannot be opened. Exactly 64001 bytes
// are decoded; data missing from a short file decodes as 0. The palette is the last
// 768 bytes >> 2; installPalette also sets slots 0..255.
std::optional<PcxImage> ReadPcx(const std::string& path, bool installPalette);
// ReadPcx into image; 1 on success, 0 (image unchanged) when it cannot be read.
int LoadPcx(const std::string& path, PcxImage& image, int installPalette);
// Sets the size (width doubled in video mode 2) and clears frames, counters and origins.
void InitSprite(Sprite& sprite, uint32_t width, uint32_t height);
// Copies the rectangle at (x, y) of the image into frames[frameSlot] (width x height + 1
// bytes) and counts the frame. Pixels outside the image's block read as 0; a bad slot or a
// sprite larger than any screen leaves the frame out.
void CutSpriteFrame(const PcxImage& image, Sprite& sprite, int frameSlot, int x, int y);
// Releases every frame block; sizes and counters stay.
void FreeSpriteFrames(Sprite& sprite);

// Encodes 320x200 palette indices with an 8-bit palette (768 bytes) as a PCX file image.
std::vector<uint8_t> EncodePcx(const uint8_t* pixels, const uint8_t* palette8);
