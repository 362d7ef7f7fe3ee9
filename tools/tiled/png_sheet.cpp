// png_sheet.cpp: PNG reading and writing with libpng, its errors turned into
// refusals, sizes bounded before any pixel is decoded.
#include "png_sheet.h"

#include <png.h>

#include <cstring>

#include "common/binary_reader.h"
#include "common/limits.h"
#include "tiled_map.h"

namespace tiled {

namespace {

struct Source {
  const std::vector<uint8_t>* bytes;
  size_t at = 0;
};

// libpng reports errors by longjmp: the message is kept here and the caller
// turns it into a refusal once back in frames of its own.
struct ErrorContext {
  std::string message;
};

void OnError(png_structp png, png_const_charp message) {
  static_cast<ErrorContext*>(png_get_error_ptr(png))->message = message;
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void ReadBytes(png_structp png, png_bytep out, png_size_t n) {
  auto* src = static_cast<Source*>(png_get_io_ptr(png));
  if (src->bytes->size() - src->at < n) png_error(png, "the file ends early");
  std::memcpy(out, src->bytes->data() + src->at, n);
  src->at += n;
}

struct ReadGuard {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~ReadGuard() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

// Everything the decoder fills, owned outside the frame that calls setjmp,
// so a longjmp out of libpng skips no destructor.
struct Decoding {
  Sheet sheet;
  std::vector<png_bytep> rows;
  std::string tooLarge;  // set instead of decoding when the size is out of bounds
};

void PointRows(Decoding& d, uint8_t* base, size_t stride) {
  d.rows.resize(d.sheet.height);
  for (uint32_t y = 0; y < d.sheet.height; ++y) d.rows[y] = base + size_t(y) * stride;
}

// False when libpng gave up (the message is in its error context).
bool Decode(png_structp png, png_infop info, Decoding& d) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  png_uint_32 w = 0, h = 0;
  int depth = 0, type = 0;
  png_get_IHDR(png, info, &w, &h, &depth, &type, nullptr, nullptr, nullptr);
  if (uint64_t(w) * h > kMaxSheetPixels) {
    d.tooLarge = std::to_string(w) + "x" + std::to_string(h);
    return true;
  }
  Sheet& s = d.sheet;
  s.width = w;
  s.height = h;
  png_set_interlace_handling(png);
  if (type == PNG_COLOR_TYPE_PALETTE) {
    s.indexed = true;
    if (depth < 8) png_set_packing(png);
    png_read_update_info(png, info);
    s.indices.assign(size_t(w) * h, 0);
    PointRows(d, s.indices.data(), w);
  } else {
    png_set_expand(png);  // grey below 8 bits, tRNS to alpha
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t(w) * 4) png_error(png, "an unexpected pixel layout");
    s.rgba.assign(size_t(w) * h * 4, 0);
    PointRows(d, s.rgba.data(), size_t(w) * 4);
  }
  png_read_image(png, d.rows.data());
  png_read_end(png, nullptr);
  return true;
}

// An indexed sheet's colours through its palette and transparency.
void ExpandIndexed(png_structp png, png_infop info, Sheet& s, const std::string& file) {
  png_colorp plte = nullptr;
  int entries = 0;
  png_get_PLTE(png, info, &plte, &entries);
  png_bytep alpha = nullptr;
  int alphas = 0;
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_get_tRNS(png, info, &alpha, &alphas, nullptr);
  s.rgba.assign(s.indices.size() * 4, 0);
  for (size_t p = 0; p < s.indices.size(); ++p) {
    const int i = s.indices[p];
    if (i >= entries)
      throw Refusal(file, "a pixel names palette entry " + std::to_string(i) + " of " + std::to_string(entries));
    s.rgba[4 * p] = plte[i].red;
    s.rgba[4 * p + 1] = plte[i].green;
    s.rgba[4 * p + 2] = plte[i].blue;
    s.rgba[4 * p + 3] = i < alphas ? alpha[i] : 255;
  }
}

void WriteBytes(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}

void Flush(png_structp) {}

struct Encoding {
  uint32_t width = 0, height = 0;
  int colourType = 0, channels = 0;
  const uint8_t* pixels = nullptr;
  const std::array<uint8_t, 768>* palette = nullptr;  // indexed: PLTE and index 0 transparent
  std::vector<uint8_t> out;
};

bool EncodeRows(png_structp png, png_infop info, Encoding& e) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, &e.out, WriteBytes, Flush);
  png_set_IHDR(png, info, e.width, e.height, 8, e.colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (e.palette) {
    png_color colours[256];
    for (int i = 0; i < 256; ++i) colours[i] = {(*e.palette)[3 * i], (*e.palette)[3 * i + 1], (*e.palette)[3 * i + 2]};
    png_set_PLTE(png, info, colours, 256);
    png_byte alpha[1] = {0};
    png_set_tRNS(png, info, alpha, 1, nullptr);
  }
  png_write_info(png, info);
  for (uint32_t y = 0; y < e.height; ++y)
    png_write_row(png, const_cast<png_bytep>(e.pixels + size_t(y) * e.width * e.channels));
  png_write_end(png, info);
  return true;
}

std::vector<uint8_t> Encode(Encoding& e) {
  ErrorContext ctx;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &ctx, OnError, OnWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  const bool ok = info && EncodeRows(png, info, e);
  png_destroy_write_struct(&png, &info);
  if (!ok) throw Refusal("PNG writer", ctx.message.empty() ? "cannot start libpng" : ctx.message);
  return std::move(e.out);
}

}  // namespace

Sheet DecodeSheet(const std::vector<uint8_t>& bytes, const std::string& file) {
  if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) throw Refusal(file, "not a PNG file");
  ErrorContext ctx;
  ReadGuard g;
  g.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &ctx, OnError, OnWarning);
  if (g.png) g.info = png_create_info_struct(g.png);
  if (!g.info) throw Refusal(file, "cannot start libpng");
  Source src{&bytes, 0};
  png_set_read_fn(g.png, &src, ReadBytes);
  png_set_user_limits(g.png, kMaxSheetSide, kMaxSheetSide);
  // Text and other side chunks cannot claim more than this.
  png_set_chunk_malloc_max(g.png, 8 << 20);
  Decoding d;
  if (!Decode(g.png, g.info, d)) throw Refusal(file, "not a readable PNG: " + ctx.message);
  if (!d.tooLarge.empty())
    throw Refusal(file,
                  "the sheet is " + d.tooLarge + " pixels, more than " + std::to_string(kMaxSheetPixels) + " in all");
  if (d.sheet.indexed) ExpandIndexed(g.png, g.info, d.sheet, file);
  return std::move(d.sheet);
}

Sheet ReadSheet(const std::string& path) {
  bool cut = false;
  auto bytes = ReadWholeFile(path, kMaxSheetFileBytes, &cut);
  if (!bytes) throw Refusal(path, "cannot read the tile sheet");
  if (cut) throw Refusal(path, "larger than " + std::to_string(kMaxSheetFileBytes >> 20) + " MB");
  return DecodeSheet(*bytes, path);
}

std::vector<uint8_t> EncodeIndexedSheet(uint32_t width, uint32_t height, const std::vector<uint8_t>& indices,
                                        const std::array<uint8_t, 768>& palette) {
  Encoding e{width, height, PNG_COLOR_TYPE_PALETTE, 1, indices.data(), &palette, {}};
  return Encode(e);
}

std::vector<uint8_t> EncodeRgbSheet(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgba, bool alpha) {
  if (alpha) {
    Encoding e{width, height, PNG_COLOR_TYPE_RGBA, 4, rgba.data(), nullptr, {}};
    return Encode(e);
  }
  std::vector<uint8_t> rgb(size_t(width) * height * 3);
  for (size_t p = 0; p < size_t(width) * height; ++p) std::memcpy(&rgb[3 * p], &rgba[4 * p], 3);
  Encoding e{width, height, PNG_COLOR_TYPE_RGB, 3, rgb.data(), nullptr, {}};
  return Encode(e);
}

}  // namespace tiled
