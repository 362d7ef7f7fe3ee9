// level.cpp: planes, the default level, and the level file reader for every
// version the engine accepts (2, the older 1/255 and 0, and headerless files).
#include "level/level.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>

#include "common/binary_reader.h"
#include "common/limits.h"
#include "gfx/draw.h"

namespace {

constexpr uint8_t kLevMagic[4] = {0x53, 0x4C, 0x45, 0x56};  // "SLEV"
// Version-2 planes are at least the 640x480 screen in tiles, older ones 320x200.
constexpr int32_t kMinWidth = 81, kMinHeight = 61;
constexpr int32_t kOldMinWidth = 41, kOldMinHeight = 26;

bool IsVertical(uint8_t type) { return type == kVTiled || type == kVLined; }

int32_t ClampToInt(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// Loops along the line run over the plane's extent that way; the other loop
// over the extent across.
void FillLineTables(Plane& p) {
  const bool vertical = IsVertical(p.type);
  const size_t n = LineCount(p.type, p.width, p.height);
  p.lineLoops.assign(n, vertical ? p.height : p.width);
  p.lineSpeeds.assign(n, 8);
  p.otherLoop = vertical ? p.width : p.height;
  p.otherSpeed = 8;
}

void AllocateCells(Plane& p) {
  const int64_t cells = int64_t(std::max(p.height, 0) + 1) * std::max(p.width, 0);
  p.tiles.assign(size_t(cells), 0);
}

// Renderers divide by loops and wrap at otherLoop x width: keep both in range.
void SetWrap(Plane& p, int32_t otherLoop) {
  otherLoop = std::max(otherLoop, 1);
  p.otherLoop = std::min(otherLoop, INT32_MAX / std::max(p.width, 1));
  p.wrapCells = p.otherLoop * p.width;
}

class LevelReader {
 public:
  LevelReader(BinaryReader& in, bool oldValues) : in_(in), old_(oldValues) {}

  bool Version2(std::vector<Plane>& planes, int32_t& parameter);
  bool Version1(std::vector<Plane>& planes, int32_t& parameter);
  bool Version0(std::vector<Plane>& planes, int32_t& parameter);
  const std::string& Problem() const { return problem_; }

 private:
  // Two-byte values: big-endian, or first x 254 + second in the older files.
  int32_t Value() {
    const int32_t hi = in_.U8(), lo = in_.U8();
    return old_ ? hi * 254 + lo : hi << 8 | lo;
  }
  int32_t Loop() { return std::max(Value(), 1); }
  bool Fail(const std::string& problem) {
    problem_ = problem;
    return false;
  }
  // Sizes a plane; false when the level would need more memory than any sane file.
  bool Claim(Plane& p, int32_t width, int32_t height);
  bool PlaneV2(Plane& p);
  bool OldTiledCells(Plane& p, uint16_t priority);
  void OldRowLines(Plane& p, int32_t storedHeight, bool version0);
  bool OldFlat(Plane& p, const Plane* sizedBy, uint16_t priority);

  BinaryReader& in_;
  bool old_;
  int64_t budget_ = kMaxLevelBytes;
  std::string problem_;
  int32_t oldTiledHeight_ = 0;  // stored H of the version-0 H Tiled plane, whose rows come last
};

bool LevelReader::Claim(Plane& p, int32_t width, int32_t height) {
  const int64_t lines = int64_t(LineCount(p.type, width, height)) + height;
  budget_ -= (int64_t(height) + 1) * width * 2 + lines * 5;
  if (budget_ < 0)
    return Fail("plane of " + std::to_string(width) + "x" + std::to_string(height) + " tiles is too large");
  p.width = width;
  p.height = height;
  p.rowSkip = width - Video.TileColumns;
  AllocateCells(p);
  return true;
}

bool LevelReader::PlaneV2(Plane& p) {
  p.type = in_.U8();
  const uint32_t storedW = in_.U32BE(), storedH = in_.U32BE();
  if (storedW > kMaxPlaneSide || storedH > kMaxPlaneSide)
    return Fail("plane size " + std::to_string(storedW) + "x" + std::to_string(storedH) + " is impossible");
  const int32_t W = int32_t(storedW), H = int32_t(storedH);
  if (!Claim(p, std::max(W, kMinWidth), std::max(H, kMinHeight))) return false;
  FillLineTables(p);

  // Lines beyond the stored extent (or the end of the file) keep the defaults.
  int64_t stored = 0;
  switch (p.type) {
    case kRelative: stored = 1; break;
    case kHTiled: stored = H; break;
    case kVTiled: stored = W; break;
    case kHLined: stored = int64_t(H) * 8; break;
    case kVLined: stored = int64_t(W) * 8; break;
    default:  // Flat and unknown types store no line tables
      p.lineSpeeds.assign(size_t(p.height), 8);
      p.otherLoop = p.height;
      p.wrapCells = p.width * p.height;
      break;
  }
  if (p.type >= kRelative && p.type <= kVLined) {
    const int64_t n = std::min<int64_t>(stored, int64_t(p.lineLoops.size()));
    for (int64_t k = 0; k < n && !in_.AtEnd(); ++k) {
      p.lineLoops[k] = Loop();
      p.lineSpeeds[k] = in_.U8();
    }
    const int32_t other = Loop();
    p.otherSpeed = in_.U8();
    SetWrap(p, other);
  }
  p.priority = in_.U16BE();
  for (int32_t y = 0; y < H && !in_.AtEnd(); ++y)
    for (int32_t x = 0; x < W; ++x) p.tiles[size_t(y) * p.width + x] = in_.U16BE();
  return true;
}

bool LevelReader::Version2(std::vector<Plane>& planes, int32_t& parameter) {
  const int count = in_.U8();
  for (int i = 0; i < count; ++i) {
    if (in_.AtEnd()) break;  // planes the file no longer holds are dropped
    planes.emplace_back();
    if (!PlaneV2(planes.back())) return false;
  }
  parameter = in_.U16BE();
  return true;
}

// Old line speeds: 24 was the camera's own speed, and 25 up added the drift.
uint8_t OldLineSpeed(uint8_t s) {
  if (s == 0) return 0;
  const float v = s <= 24 ? 64.0f * float(s) / 24.0f : 128.0f + 64.0f * float(s - 24) / 24.0f;
  return uint8_t(int32_t(v) & 0xFF);
}

// Old other speeds were divisors of the camera movement.
uint8_t OldOtherSpeed(uint8_t s) {
  if (s == 0) return 0;
  const float v = 64.0f * (1.0f / float(s));
  return uint8_t(int32_t(v) & 0xFF);
}

// Older files kept no priority: the default level's 3, 2, 1 by level order.
uint16_t OldPriority(int index) { return uint16_t(std::max(3 - index, 1)); }

bool LevelReader::OldTiledCells(Plane& p, uint16_t priority) {
  p.type = kHTiled;
  p.priority = priority;
  const int32_t W = Value(), H = Value();
  if (!Claim(p, std::max(W, kOldMinWidth), std::max(H, kOldMinHeight))) return false;
  FillLineTables(p);
  SetWrap(p, p.height);
  for (int32_t x = 0; x < W && !in_.AtEnd(); ++x)  // column by column
    for (int32_t y = 0; y < H; ++y) p.tiles[size_t(y) * p.width + x] = uint16_t(Value());
  oldTiledHeight_ = H;
  return true;
}

void LevelReader::OldRowLines(Plane& p, int32_t storedHeight, bool version0) {
  for (int32_t r = 0; r < p.height; ++r) {
    if (r < storedHeight && !in_.AtEnd()) {
      p.lineSpeeds[r] = OldLineSpeed(in_.U8());
      p.lineLoops[r] = Loop();
    } else {
      p.lineSpeeds[r] = 6;
      p.lineLoops[r] = p.width;
    }
  }
  p.otherSpeed = OldOtherSpeed(in_.U8());
  int32_t other = Value();
  if (other == 0) other = version0 ? p.height : p.height - 2;
  SetWrap(p, other);
}

bool LevelReader::OldFlat(Plane& p, const Plane* sizedBy, uint16_t priority) {
  p.type = kFlat;
  p.priority = priority;
  const int32_t W = Value(), H = Value();
  // A zero width would leave nothing to wrap over: one empty column instead.
  const int32_t width = sizedBy ? sizedBy->width : std::max(W, 1);
  const int32_t height = sizedBy ? sizedBy->height : H + 1;
  if (!Claim(p, width, height)) return false;
  FillLineTables(p);
  const int32_t readW = std::min(W, width), readH = std::min(H, height);
  for (int32_t x = 0; x < readW && !in_.AtEnd(); ++x)
    for (int32_t y = 0; y < readH; ++y) p.tiles[size_t(y) * p.width + x] = uint16_t(Value());
  // The last row is padding, so the wrap leaves it out.
  p.wrapCells = std::max((p.height - 1) * p.width, p.width);
  return true;
}

bool LevelReader::Version1(std::vector<Plane>& planes, int32_t& parameter) {
  planes.resize(4);
  for (int i = 0; i < 2; ++i) {
    if (!OldTiledCells(planes[i], OldPriority(i))) return false;
    OldRowLines(planes[i], oldTiledHeight_, false);
  }
  if (!OldFlat(planes[2], nullptr, OldPriority(2))) return false;
  if (!OldFlat(planes[3], &planes[2], OldPriority(3))) return false;
  parameter = Value();
  return true;
}

bool LevelReader::Version0(std::vector<Plane>& planes, int32_t& parameter) {
  planes.resize(3);
  if (!OldFlat(planes[1], nullptr, OldPriority(1))) return false;
  if (!OldTiledCells(planes[0], OldPriority(0))) return false;
  if (!OldFlat(planes[2], &planes[1], OldPriority(2))) return false;
  parameter = Value();
  OldRowLines(planes[0], oldTiledHeight_, true);
  return true;
}

// Why a level file that could not be opened must not be saved over; empty
// when nothing is there, so SAVE may make it.
std::string UnopenedProblem(const std::string& name) {
  std::error_code ec;
  const std::filesystem::file_type type = std::filesystem::status(name, ec).type();
  if (type == std::filesystem::file_type::not_found) return "";
  return type == std::filesystem::file_type::directory ? "is a folder" : "cannot be read";
}

}  // namespace

void InitPlane(Plane& plane, uint8_t type, int32_t width, int32_t height) {
  plane.type = type;
  plane.width = width;
  plane.height = height;
  plane.wrapCells = ClampToInt(int64_t(width) * height);
  plane.rowSkip = width - Video.TileColumns;
  FillLineTables(plane);
  AllocateCells(plane);
  plane.priority = 3;
}

void CopyPlane(const Plane& source, Plane& destination) {
  if (&source == &destination) return;
  destination.type = source.type;
  destination.width = source.width;
  destination.height = source.height;
  destination.wrapCells = source.wrapCells;
  destination.rowSkip = source.rowSkip;
  const size_t n = LineCount(source.type, source.width, source.height);
  destination.lineLoops.assign(n, 0);
  destination.lineSpeeds.assign(n, 0);
  std::copy_n(source.lineLoops.begin(), std::min(n, source.lineLoops.size()), destination.lineLoops.begin());
  std::copy_n(source.lineSpeeds.begin(), std::min(n, source.lineSpeeds.size()), destination.lineSpeeds.begin());
  destination.otherLoop = source.otherLoop;
  destination.otherSpeed = source.otherSpeed;
  AllocateCells(destination);
  const size_t cells = size_t(std::max(source.width, 0)) * size_t(std::max(source.height, 0));
  std::copy_n(source.tiles.begin(), std::min(cells, source.tiles.size()), destination.tiles.begin());
  destination.priority = source.priority;
}

void ChangePlaneType(Plane& plane, uint8_t type) {
  plane.type = type;
  plane.wrapCells = ClampToInt(int64_t(plane.width) * plane.height);
  FillLineTables(plane);
}

void NewLevel() {
  std::vector<Plane> planes(3);
  InitPlane(planes[0], kVTiled, 500, 250);
  planes[0].priority = 3;
  InitPlane(planes[1], kFlat, 1200, 320);
  planes[1].priority = 2;
  InitPlane(planes[2], kFlat, 1200, 320);
  planes[2].priority = 1;
  Level.planes = std::move(planes);
  Level.planeCount = 3;
  Level.levelParameter = 340;
  Level.currentPlane = 0;
  Level.viewX = Level.viewY = 0;
  Level.planeShown.fill(0);
}

void ReplaceLevel(std::vector<Plane> planes, int32_t parameter) {
  if (planes.size() > 255) planes.resize(255);
  for (Plane& p : planes) {
    // What a loader guarantees, whatever the importer filled in.
    const int32_t width = std::clamp<int32_t>(p.width, 1, int32_t(kMaxPlaneSide));
    const int32_t height = std::clamp<int32_t>(p.height, 1, int32_t(kMaxPlaneSide));
    std::vector<uint16_t> cells(size_t(height + 1) * size_t(width), 0);
    for (int32_t y = 0; y < std::min(height, p.height); ++y)
      for (int32_t x = 0; x < std::min(width, p.width); ++x)
        if (size_t(y) * size_t(p.width) + size_t(x) < p.tiles.size())
          cells[size_t(y) * size_t(width) + size_t(x)] = p.tiles[size_t(y) * size_t(p.width) + size_t(x)];
    p.tiles = std::move(cells);
    p.width = width;
    p.height = height;
    p.rowSkip = width - Video.TileColumns;
    const bool vertical = IsVertical(p.type);
    const size_t n = LineCount(p.type, width, height);
    p.lineLoops.resize(n, vertical ? height : width);
    p.lineSpeeds.resize(n, 8);
    for (int32_t& loop : p.lineLoops) loop = std::max(loop, 1);
    if (p.type >= kRelative && p.type <= kVLined) {
      SetWrap(p, p.otherLoop);
    } else {
      p.otherLoop = height;
      p.wrapCells = ClampToInt(int64_t(width) * height);
    }
  }
  Level.planes = std::move(planes);
  Level.planeCount = uint8_t(Level.planes.size());
  Level.levelParameter = parameter;
  Level.currentPlane = 0;
  Level.viewX = Level.viewY = 0;
  Level.planeShown.fill(0);
}

void LoadLevel(const std::string& name) {
  Level.currentPlane = 0;
  Level.viewX = Level.viewY = 0;
  Level.planeShown.fill(0);
  // Set before any fall-back, so SAVE never writes this level over the file
  // it replaced in memory.
  Level.levelFileName = name;
  Level.levelFileProblem.clear();
  auto file = BinaryReader::Open(name, kMaxLevelFileBytes);
  if (!file) {
    Level.levelFileProblem = UnopenedProblem(name);
    NewLevel();
    return;
  }
  BinaryReader& in = *file;

  const int version = ReadMagicVersion(in, kLevMagic);

  // The planes are built aside, so a broken file never leaves half a level.
  std::vector<Plane> planes;
  int32_t parameter = 340;
  LevelReader reader(in, version != 2);
  bool ok = false;
  std::string problem;
  switch (version) {
    case 2: ok = reader.Version2(planes, parameter); break;
    case 1:
    case 255: ok = reader.Version1(planes, parameter); break;
    case 0: ok = reader.Version0(planes, parameter); break;
    default: problem = version < 0 ? "no version byte" : "unknown version " + std::to_string(version); break;
  }
  if (!ok) {
    if (problem.empty()) problem = reader.Problem();
    std::fprintf(stderr, "%s: %s; starting a new level\n", name.c_str(), problem.c_str());
    Level.levelFileProblem = "is damaged";
    NewLevel();
    return;
  }
  // One line for the first thing wrong with a file that did load.
  if (in.Short())
    std::fprintf(stderr, "%s: file ends early; the missing cells are empty\n", name.c_str());
  else if (in.Trailing() > 0)  // counted, never read
    std::fprintf(stderr, "%s: %llu bytes after the end of the level are ignored\n", name.c_str(),
                 (unsigned long long)in.Trailing());
  else if (planes.empty())
    std::fprintf(stderr, "%s: holds no planes (Ctrl + A in the editor adds one)\n", name.c_str());
  Level.planes = std::move(planes);
  Level.planeCount = uint8_t(Level.planes.size());
  Level.levelParameter = parameter;
}
