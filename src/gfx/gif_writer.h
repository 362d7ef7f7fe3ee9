// gif_writer.h: an animated GIF built in memory from whole frames of palette
// indices, through giflib: only the rectangle that changed is stored.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// One frame as the screen shows it: width x height indices, row by row, and
// 256 colours of 8-bit (red, green, blue).
struct GifPicture {
  std::vector<uint8_t> pixels;
  std::array<uint8_t, 768> palette{};
};

struct GifFileType;  // giflib's encoder

// Frees giflib's encoder; only GifEnd writes the file's end.
struct GifFileCloser {
  void operator()(GifFileType* gif) const;
};

// An animated GIF being written. The first frame's colours are the global
// table; a frame whose colours differ carries its own. Each later frame
// stores the rectangle of pixels whose colour changed, the unchanged pixels
// in it transparent when an index is free; a frame that changes nothing adds
// its delay to the frame before. A frame's rows may be written in slices.
struct GifStream {
  GifStream() = default;
  GifStream(const GifStream&) = delete;  // giflib holds the address of bytes
  GifStream& operator=(const GifStream&) = delete;
  int width = 0, height = 0;
  std::vector<uint8_t> bytes;  // the file so far
  std::unique_ptr<GifFileType, GifFileCloser> gif;
  std::array<uint8_t, 768> globalPalette{};
  GifPicture shown;        // what a reader shows after the last frame written whole
  GifPicture now;          // the frame being written
  size_t lastDelayAt = 0;  // where in bytes the last frame's delay is
  uint32_t frames = 0;     // frames stored (an unchanged frame is not)
  // The frame being written: its rectangle, its transparent index (or -1),
  // each index's colour before and now, and one row of it for giflib. Rows
  // are made as they are written, so a frame costs no more memory than its
  // two pictures: a recording's encoder runs beside the game's caches.
  int rectLeft = 0, rectTop = 0, rectWidth = 0, rectRows = 0, rowsWritten = 0;
  int transparent = -1;
  std::array<uint32_t, 256> keysBefore{}, keysNow{};
  std::vector<uint8_t> row;
  bool failed = false;
};
// Starts the file in a new stream: header, screen, the global colours of
// the first frame to come, and the loop-for-ever extension. False when the
// size is out of range or giflib cannot start.
bool GifBegin(GifStream& s, int width, int height, const std::array<uint8_t, 768>& firstPalette);

// Adds a frame shown for delay hundredths of a second and starts its
// rectangle; its rows follow with GifWriteRows. False on a failure. The
// stream takes the frame's pixels without copying them and leaves in frame
// a buffer of the same size (contents unspecified) for the caller's next one.
bool GifAddFrame(GifStream& s, GifPicture&& frame, uint16_t delay);

// Writes up to rows rows of the frame being written; true once it is all written.
bool GifWriteRows(GifStream& s, int rows);

// True while a frame's rows are still to be written.
bool GifFramePending(const GifStream& s);

// Writes what is left and the trailer; the whole file, or nothing on a failure.
std::vector<uint8_t> GifEnd(GifStream& s);
