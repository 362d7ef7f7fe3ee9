// gif_record.h: a run recorded as an animated GIF. The game thread hands
// over every second frame; a worker thread encodes them, or, where there
// are no threads, the game thread encodes them in slices of rows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct GifRecorder;  // the recording's state, in gif_record.cpp

// Ends a recording that was not finished: nothing is written.
struct GifRecorderDiscard {
  void operator()(GifRecorder* r) const;
};
using GifRecording = std::unique_ptr<GifRecorder, GifRecorderDiscard>;

// A GIF cannot hold 1/30 s: the recorded frames last 3, 4, 3, 3, 4, 3...
// hundredths, so every three of them (six game frames) last exactly 1/10 s.
uint16_t RecordedFrameDelay(uint32_t index);

// A new recording. With worker (and where there are threads) a thread of its
// own encodes; otherwise RecordingSlice does, on the caller's thread.
GifRecording StartRecording(bool worker);

// Offers the frame just drawn (the 320x200 frame buffer and its palette as
// the screen shows them); every second offer, from the first, is kept.
void RecordScreenFrame(GifRecorder& r);
// The same with the frame's indices and palette given: 320x200 indices and
// 256 entries of (red, green, blue, flags).
void RecordFrame(GifRecorder& r, const uint8_t* pixels, const uint8_t* paletteTable);

// The game's own recording: as RecordScreenFrame, but a frame drawn in the
// engine's own frame buffer is taken, not copied. The frame buffer stays on
// the taken frame (for a screen shot) until ReleaseScreenFrame, which must
// come before the next frame draws: it points the frame buffer at a buffer
// of the recorder's and hands the frame to the encoder. A frame buffer that
// is the display's memory is copied. Finishing or dropping the recording
// gives the frame buffer back its own memory, with the frame in it.
void TakeScreenFrame(GifRecorder& r);
void ReleaseScreenFrame(GifRecorder& r);

// Encodes up to rows rows of the frames waiting; nothing with a worker.
void RecordingSlice(GifRecorder& r, int rows);

// Waits until the worker has encoded every copy handed to it, as it has
// between two frames at 60 a second (the benchmark's recorded frame).
void WaitForEncoder(GifRecorder& r);

// Frames offered since the start.
uint64_t OfferedFrames(const GifRecorder& r);

// Encodes what is left and writes the GIF at path, whole or not at all
// (through a temporary file). False with the reason in problem when it cannot.
bool FinishRecording(GifRecording r, const std::string& path, std::string& problem);
