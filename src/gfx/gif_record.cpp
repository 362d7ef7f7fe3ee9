// gif_record.cpp: the recorder: every second frame handed from the game
// thread to the encoder, which runs on a worker thread or in slices.
#include "gfx/gif_record.h"

#include <array>
#include <climits>
#include <cstring>
#include <deque>
#include <vector>

#include "common/binary_reader.h"
#include "gfx/frame_buffer.h"
#include "gfx/gif_writer.h"

// A browser build without threads encodes in slices on the game thread.
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
#define TARN_GIF_THREADS 0
#else
#define TARN_GIF_THREADS 1
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#endif
#if defined(__x86_64__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace {

constexpr int kWidth = 320, kHeight = 200;
#if TARN_GIF_THREADS
// How often an idle worker looks for copies: a recording adds one every 33 ms.
constexpr std::chrono::milliseconds kWorkerPoll{4};
// Copies that may wait for the worker (64 KB each). A worker that falls
// further behind (frames run faster than it encodes, as in tarn-run) holds
// the game thread back rather than let the copies fill the memory.
constexpr size_t kMaxWaiting = 8;
#endif

struct Copy {
  GifPicture picture;
  uint16_t delay = 3;
  bool samePalette = false;  // picture.palette not filled: the last copy's colours hold
};

}  // namespace

struct GifRecorder {
  GifStream stream;
  bool begun = false;
  uint64_t offered = 0;  // game frames offered
  uint32_t kept = 0;     // frames copied
  bool writeFailed = false;
  std::deque<std::unique_ptr<Copy>> waiting;  // copied, not yet encoded
  std::vector<std::unique_ptr<Copy>> spare;   // encoded, their memory kept for the next copies
  std::unique_ptr<Copy> held;  // taken from the frame buffer, which still shows it
  // The colours of the last copy made, as the game thread saw them and as
  // the encoder took them: most frames keep their palette, and writing it
  // into a copy the encoder has read costs the game thread a line at a time.
  alignas(64) std::array<uint8_t, 1024> lastTable{};
  bool anyKept = false;
  alignas(64) std::array<uint8_t, 768> lastPalette{};
#if TARN_GIF_THREADS
  std::mutex lock;  // guards waiting, spare and stopping
  std::condition_variable wake;
  std::condition_variable drained;  // the worker has taken a copy
  bool stopping = false;
  bool encoding = false;  // the worker holds a copy
  std::thread worker;
#endif
};

namespace {

// Starts one copy's frame on the encoder, which takes its pixels and leaves
// it a buffer for a later copy.
void StartCopy(GifRecorder& r, Copy& c) {
  if (c.samePalette)
    c.picture.palette = r.lastPalette;
  else
    r.lastPalette = c.picture.palette;
  if (!r.begun) {
    r.begun = true;
    if (!GifBegin(r.stream, kWidth, kHeight, c.picture.palette)) r.writeFailed = true;
  }
  if (!r.writeFailed && !GifAddFrame(r.stream, std::move(c.picture), c.delay)) r.writeFailed = true;
}

// The frame buffer left on a taken frame gets its own memory back, with
// the frame copied into it, before the recording lets the frame go.
void GiveScreenBack(GifRecorder& r) {
  if (!r.held || Screen.FrameBuffer != r.held->picture.pixels.data()) return;
  Screen.OwnFrame = r.held->picture.pixels;
  Screen.FrameBuffer = Screen.OwnFrame.data();
}

std::unique_ptr<Copy> TakeWaiting(GifRecorder& r) {
  std::unique_ptr<Copy> c = std::move(r.waiting.front());
  r.waiting.pop_front();
  return c;
}

// Encodes up to rows rows: the frame being written first, then the waiting
// copies in order, on the caller's thread: no worker runs then.
void EncodeSlice(GifRecorder& r, int rows) {
  while (rows > 0 && !r.writeFailed) {
    if (GifFramePending(r.stream)) {
      const int before = r.stream.rowsWritten;
      if (!GifWriteRows(r.stream, rows)) r.writeFailed = true;
      rows -= r.stream.rowsWritten - before;
      continue;
    }
    if (r.waiting.empty()) return;
    std::unique_ptr<Copy> c = TakeWaiting(r);
    StartCopy(r, *c);
    r.spare.push_back(std::move(c));
  }
}

#if TARN_GIF_THREADS
// A buffer the worker has read stays in its core's cache, and the game
// thread's clear of it, when it comes back as a frame buffer, has to take
// every line from there, a few per cent of the game's frame. Evicted here,
// on the worker's time, the clear costs the game thread less.
void EvictFromCache(const std::vector<uint8_t>& bytes) {
#if defined(__x86_64__) || defined(_M_X64)
  for (size_t at = 0; at < bytes.size(); at += 64) _mm_clflush(bytes.data() + at);
  if (!bytes.empty()) _mm_clflush(&bytes.back());  // a line the steps passed over
#else
  (void)bytes;
#endif
}

void WorkerLoop(GifRecorder* r) {
  std::unique_lock<std::mutex> hold(r->lock);
  for (;;) {
    // The game thread does not wake it (a wake is a system call on its
    // frame): it looks for copies every few milliseconds.
    while (!r->stopping && r->waiting.empty()) r->wake.wait_for(hold, kWorkerPoll);
    if (r->waiting.empty()) return;
    std::unique_ptr<Copy> c = TakeWaiting(*r);
    r->encoding = true;
    // The game thread copies the next frames meanwhile.
    hold.unlock();
    StartCopy(*r, *c);
    if (!r->writeFailed && !GifWriteRows(r->stream, kHeight)) r->writeFailed = true;
    EvictFromCache(c->picture.pixels);
    hold.lock();
    r->spare.push_back(std::move(c));
    r->encoding = false;
    r->drained.notify_one();
  }
}

void StopWorker(GifRecorder& r) {
  if (!r.worker.joinable()) return;
  {
    std::lock_guard<std::mutex> hold(r.lock);
    r.stopping = true;
  }
  r.wake.notify_one();
  r.worker.join();
}
#else
void StopWorker(GifRecorder&) {}
#endif

}  // namespace

void GifRecorderDiscard::operator()(GifRecorder* r) const {
  GiveScreenBack(*r);
  StopWorker(*r);
  delete r;
}

uint16_t RecordedFrameDelay(uint32_t index) { return index % 3 == 1 ? 4 : 3; }

GifRecording StartRecording(bool worker) {
  GifRecording r(new GifRecorder);
#if TARN_GIF_THREADS
  if (worker) r->worker = std::thread(WorkerLoop, r.get());
#endif
  return r;
}

namespace {

// The copy the frame just offered goes into, or none for a frame not kept.
std::unique_ptr<Copy> KeepFrame(GifRecorder& r, const uint8_t* paletteTable) {
  if (r.offered++ % 2 != 0) return nullptr;
  std::unique_ptr<Copy> c;
  {
#if TARN_GIF_THREADS
    std::lock_guard<std::mutex> hold(r.lock);
#endif
    if (!r.spare.empty()) {
      c = std::move(r.spare.back());
      r.spare.pop_back();
    }
  }
  if (!c) c = std::make_unique<Copy>();
  c->samePalette = r.anyKept && std::memcmp(r.lastTable.data(), paletteTable, r.lastTable.size()) == 0;
  if (!c->samePalette) {
    std::memcpy(r.lastTable.data(), paletteTable, r.lastTable.size());
    r.anyKept = true;
    for (int slot = 0; slot < 256; ++slot) std::memcpy(&c->picture.palette[slot * 3], &paletteTable[slot * 4], 3);
  }
  c->delay = RecordedFrameDelay(r.kept++);
  return c;
}

void HandToEncoder(GifRecorder& r, std::unique_ptr<Copy> c) {
#if TARN_GIF_THREADS
  std::unique_lock<std::mutex> hold(r.lock);
  if (r.worker.joinable() && r.waiting.size() >= kMaxWaiting) {
    r.wake.notify_one();
    r.drained.wait(hold, [&r] { return r.waiting.size() < kMaxWaiting; });
  }
#endif
  r.waiting.push_back(std::move(c));
}

}  // namespace

void RecordFrame(GifRecorder& r, const uint8_t* pixels, const uint8_t* paletteTable) {
  std::unique_ptr<Copy> c = KeepFrame(r, paletteTable);
  if (!c) return;
  c->picture.pixels.assign(pixels, pixels + kWidth * kHeight);
  HandToEncoder(r, std::move(c));
}

void RecordScreenFrame(GifRecorder& r) {
  if (Screen.FrameBuffer) RecordFrame(r, Screen.FrameBuffer, Screen.PaletteTable.data());
}

void TakeScreenFrame(GifRecorder& r) {
  ReleaseScreenFrame(r);  // a frame not released yet goes first
  const bool own = Screen.FrameBuffer && Screen.FrameBuffer == Screen.OwnFrame.data() &&
                   Screen.OwnFrame.size() == size_t(kWidth) * kHeight;
  if (!own) return RecordScreenFrame(r);
  std::unique_ptr<Copy> c = KeepFrame(r, Screen.PaletteTable.data());
  if (!c) return;
  // The frame's memory changes owner; the frame buffer still points at it.
  c->picture.pixels.resize(size_t(kWidth) * kHeight);
  c->picture.pixels.swap(Screen.OwnFrame);
  r.held = std::move(c);
}

void ReleaseScreenFrame(GifRecorder& r) {
  if (!r.held) return;
  // Every frame starts with a clear, so the buffer's old contents never show.
  if (Screen.FrameBuffer == r.held->picture.pixels.data()) Screen.FrameBuffer = Screen.OwnFrame.data();
  HandToEncoder(r, std::move(r.held));
}

void RecordingSlice(GifRecorder& r, int rows) {
#if TARN_GIF_THREADS
  if (r.worker.joinable()) return;
#endif
  EncodeSlice(r, rows);
}

void WaitForEncoder(GifRecorder& r) {
#if TARN_GIF_THREADS
  // Spins rather than sleeps: a thread put to sleep comes back to a slower
  // clock and colder caches, a cost of the wait and not of the recording.
  r.wake.notify_one();
  for (;;) {
    std::lock_guard<std::mutex> hold(r.lock);
    if (r.waiting.empty() && !r.encoding) return;
  }
#endif
}

uint64_t OfferedFrames(const GifRecorder& r) { return r.offered; }

bool FinishRecording(GifRecording r, const std::string& path, std::string& problem) {
  GiveScreenBack(*r);
  ReleaseScreenFrame(*r);
  StopWorker(*r);
  EncodeSlice(*r, INT_MAX);
  std::vector<uint8_t> bytes = r->writeFailed ? std::vector<uint8_t>{} : GifEnd(r->stream);
  if (bytes.empty()) {
    problem = path + ": the GIF could not be made";
    return false;
  }
  if (!WriteFileAtomic(path, bytes)) {
    problem = path + ": cannot write: " + LastWriteError();
    return false;
  }
  return true;
}
