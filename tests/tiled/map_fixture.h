// map_fixture.h: Tiled files built in code for the import tests: an RGB
// sheet with margin and spacing, layer data in every encoding, TMX text.
#pragma once

#include <zlib.h>
#include <zstd.h>

#include <array>
#include <string>
#include <vector>

#include "png_sheet.h"

namespace tiledtest {

using Bytes = std::vector<uint8_t>;

// The sheet's colours, each exact in 6 bits (x 4), none in the demo palette's lower half.
constexpr std::array<std::array<uint8_t, 3>, 5> kColours = {
    {{252, 0, 0}, {0, 252, 0}, {0, 0, 252}, {252, 252, 0}, {128, 0, 252}}};
constexpr int kMargin = 1, kSpacing = 2, kColumns = 3, kRows = 2;
constexpr int kSheetW = 2 * kMargin + kColumns * 8 + (kColumns - 1) * kSpacing;
constexpr int kSheetH = 2 * kMargin + kRows * 8 + (kRows - 1) * kSpacing;

// Colour of pixel (x, y) of sheet tile id.
inline const std::array<uint8_t, 3>& TileColour(int id, int x, int y) { return kColours[(id + x / 4 + y / 4) % 5]; }

// The six tiles on a grey ground (the margin and spacing must never be read).
inline Bytes RgbSheet() {
  std::vector<uint8_t> rgba(size_t(kSheetW) * kSheetH * 4, 77);
  for (int id = 0; id < kColumns * kRows; ++id)
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        const int px = kMargin + (id % kColumns) * (8 + kSpacing) + x,
                  py = kMargin + (id / kColumns) * (8 + kSpacing) + y;
        const auto& c = TileColour(id, x, y);
        uint8_t* p = &rgba[(size_t(py) * kSheetW + px) * 4];
        p[0] = c[0], p[1] = c[1], p[2] = c[2], p[3] = 255;
      }
  return tiled::EncodeRgbSheet(kSheetW, kSheetH, rgba, false);
}

inline std::string Tsx(const std::string& image) {
  return "<?xml version=\"1.0\"?>\n<tileset name=\"rgb\" tilewidth=\"8\" tileheight=\"8\" margin=\"" +
         std::to_string(kMargin) + "\" spacing=\"" + std::to_string(kSpacing) + "\" tilecount=\"6\" columns=\"3\">\n" +
         " <image source=\"" + image + "\" width=\"" + std::to_string(kSheetW) + "\" height=\"" +
         std::to_string(kSheetH) + "\"/>\n</tileset>\n";
}

inline std::string Base64(const Bytes& in) {
  static const char* a = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < in.size(); i += 3) {
    const uint32_t n = uint32_t(in[i]) << 16 | (i + 1 < in.size() ? uint32_t(in[i + 1]) << 8 : 0) |
                       (i + 2 < in.size() ? in[i + 2] : 0);
    out += a[n >> 18 & 63];
    out += a[n >> 12 & 63];
    out += i + 1 < in.size() ? a[n >> 6 & 63] : '=';
    out += i + 2 < in.size() ? a[n & 63] : '=';
  }
  return out;
}

inline Bytes LittleEndian(const std::vector<uint32_t>& gids) {
  Bytes out;
  for (uint32_t g : gids)
    for (int k = 0; k < 4; ++k) out.push_back(uint8_t(g >> (8 * k)));
  return out;
}

// zlib (window 15) or gzip (15 + 16) at the best level.
inline Bytes Deflate(const Bytes& in, bool gzip) {
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, gzip ? 31 : 15, 8, Z_DEFAULT_STRATEGY);
  Bytes out(deflateBound(&z, uLong(in.size())) + 32);
  z.next_in = const_cast<Bytef*>(in.data());
  z.avail_in = uInt(in.size());
  z.next_out = out.data();
  z.avail_out = uInt(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

inline Bytes Zstd(const Bytes& in) {
  Bytes out(ZSTD_compressBound(in.size()));
  out.resize(ZSTD_compress(out.data(), out.size(), in.data(), in.size(), 3));
  return out;
}

// Layer data in a form: "csv", "base64", "zlib", "gzip" or "zstd".
inline std::string Encode(const std::vector<uint32_t>& gids, const std::string& form) {
  if (form == "csv") {
    std::string s;
    for (size_t i = 0; i < gids.size(); ++i) {
      if (i) s += ',';
      s += std::to_string(gids[i]);
    }
    return s;
  }
  const Bytes raw = LittleEndian(gids);
  if (form == "zlib" || form == "gzip") return Base64(Deflate(raw, form == "gzip"));
  if (form == "zstd") return Base64(Zstd(raw));
  return Base64(raw);
}

// A TMX <layer> whose data is in the given form.
inline std::string TmxLayer(const std::string& name, int w, int h, const std::vector<uint32_t>& gids,
                            const std::string& form, const std::string& extra = "") {
  const std::string enc = form == "csv" ? "csv" : "base64";
  const std::string comp = form == "csv" || form == "base64" ? "" : " compression=\"" + form + "\"";
  return " <layer name=\"" + name + "\" width=\"" + std::to_string(w) + "\" height=\"" + std::to_string(h) + "\"" +
         extra + ">\n  <data encoding=\"" + enc + "\"" + comp + ">" + Encode(gids, form) + "</data>\n </layer>\n";
}

inline std::string TmxMap(int w, int h, const std::string& body, const std::string& head = "") {
  return "<?xml version=\"1.0\"?>\n<map version=\"1.8\" orientation=\"orthogonal\" renderorder=\"right-down\" "
         "width=\"" +
         std::to_string(w) + "\" height=\"" + std::to_string(h) + "\" tilewidth=\"8\" tileheight=\"8\" infinite=\"0\"" +
         head + ">\n" + body + "</map>\n";
}

}  // namespace tiledtest
