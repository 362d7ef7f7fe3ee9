// layer_data.cpp: a tile layer's data from CSV or base64 text, inflated with
// zlib or zstd when compressed, never past the bytes the layer needs.
#include <zlib.h>
#include <zstd.h>

#include <array>
#include <cctype>

#include "tiled_files.h"

namespace tiled {

namespace {

[[noreturn]] void Refuse(const std::string& file, const std::string& layer, const std::string& problem) {
  throw Refusal(file, "layer \"" + layer + "\": " + problem);
}

std::vector<uint8_t> Base64(const std::string& text, const std::string& file, const std::string& layer) {
  static const std::array<int8_t, 256> table = [] {
    std::array<int8_t, 256> t;
    t.fill(-1);
    const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int i = 0; i < 64; ++i) t[uint8_t(alphabet[i])] = int8_t(i);
    return t;
  }();
  std::vector<uint8_t> out;
  out.reserve(text.size() / 4 * 3);
  uint32_t bits = 0;
  int count = 0;
  bool padded = false;
  for (char ch : text) {
    if (std::isspace(uint8_t(ch))) continue;
    if (ch == '=') {
      padded = true;
      continue;
    }
    const int v = table[uint8_t(ch)];
    if (v < 0 || padded) Refuse(file, layer, "base64 data holds the character '" + std::string(1, ch) + "'");
    bits = bits << 6 | uint32_t(v);
    if (++count == 4) {
      out.push_back(uint8_t(bits >> 16));
      out.push_back(uint8_t(bits >> 8));
      out.push_back(uint8_t(bits));
      bits = 0;
      count = 0;
    }
  }
  if (count == 1) Refuse(file, layer, "base64 data ends in the middle of a byte");
  if (count == 2) out.push_back(uint8_t(bits >> 4));
  if (count == 3) {
    out.push_back(uint8_t(bits >> 10));
    out.push_back(uint8_t(bits >> 2));
  }
  return out;
}

// zlib or gzip (windowBits 15 + 32 tells them apart by their header): at most
// `need` bytes come out, and a stream holding more is refused without
// inflating the rest.
std::vector<uint8_t> Inflate(const std::vector<uint8_t>& in, size_t need, const std::string& kind,
                             const std::string& file, const std::string& layer) {
  z_stream z{};
  if (inflateInit2(&z, kind == "gzip" ? 15 + 16 : 15) != Z_OK) Refuse(file, layer, "cannot start zlib");
  std::vector<uint8_t> out(need + 1);
  z.next_in = const_cast<Bytef*>(in.data());
  z.avail_in = uInt(in.size());
  z.next_out = out.data();
  z.avail_out = uInt(out.size());
  const int rc = inflate(&z, Z_FINISH);
  const size_t got = out.size() - z.avail_out;
  inflateEnd(&z);
  if (got > need)
    Refuse(file, layer, kind + " data holds more than the layer's " + std::to_string(need / 4) + " cells");
  if (rc != Z_STREAM_END)
    Refuse(file, layer, kind + " data is damaged or cut short" + (z.msg ? std::string(" (") + z.msg + ")" : ""));
  out.resize(got);
  return out;
}

std::vector<uint8_t> Unzstd(const std::vector<uint8_t>& in, size_t need, const std::string& file,
                            const std::string& layer) {
  ZSTD_DStream* z = ZSTD_createDStream();
  if (!z) Refuse(file, layer, "cannot start zstd");
  std::vector<uint8_t> out(need + 1);
  ZSTD_inBuffer src{in.data(), in.size(), 0};
  ZSTD_outBuffer dst{out.data(), out.size(), 0};
  size_t rc = 0;
  // A window bigger than the layer could need only claims memory.
  ZSTD_DCtx_setParameter(z, ZSTD_d_windowLogMax, 27);
  while (src.pos < src.size && dst.pos < dst.size) {
    rc = ZSTD_decompressStream(z, &dst, &src);
    if (ZSTD_isError(rc)) {
      const std::string why = ZSTD_getErrorName(rc);
      ZSTD_freeDStream(z);
      Refuse(file, layer, "zstd data is damaged (" + why + ")");
    }
    if (rc == 0) break;
  }
  ZSTD_freeDStream(z);
  if (dst.pos > need)
    Refuse(file, layer, "zstd data holds more than the layer's " + std::to_string(need / 4) + " cells");
  if (rc != 0) Refuse(file, layer, "zstd data is cut short");
  out.resize(dst.pos);
  return out;
}

std::vector<uint32_t> Csv(const std::string& text, size_t cells, const std::string& file, const std::string& layer) {
  std::vector<uint32_t> gids;
  gids.reserve(cells);
  size_t i = 0;
  const size_t n = text.size();
  while (true) {
    while (i < n && std::isspace(uint8_t(text[i]))) ++i;
    if (i == n) break;
    if (!std::isdigit(uint8_t(text[i])))
      Refuse(file, layer, "CSV data holds \"" + text.substr(i, 12) + "\" where a tile number belongs");
    uint64_t v = 0;
    while (i < n && std::isdigit(uint8_t(text[i]))) {
      v = v * 10 + uint64_t(text[i++] - '0');
      if (v > UINT32_MAX) Refuse(file, layer, "CSV data holds a number above 4294967295");
    }
    if (gids.size() == cells)
      Refuse(file, layer, "CSV data holds more than the layer's " + std::to_string(cells) + " cells");
    gids.push_back(uint32_t(v));
    while (i < n && std::isspace(uint8_t(text[i]))) ++i;
    if (i < n && text[i] == ',') ++i;
  }
  if (gids.size() != cells)
    Refuse(file, layer, "CSV data holds " + std::to_string(gids.size()) + " cells, the layer " + std::to_string(cells));
  return gids;
}

}  // namespace

std::vector<uint32_t> DecodeLayerData(const std::string& text, const std::string& encoding,
                                      const std::string& compression, size_t cells, const std::string& file,
                                      const std::string& layer) {
  if (encoding == "csv") {
    if (!compression.empty()) Refuse(file, layer, "CSV data cannot be compressed");
    return Csv(text, cells, file, layer);
  }
  if (encoding != "base64") Refuse(file, layer, "unknown data encoding \"" + encoding + "\"");
  const size_t need = cells * 4;
  std::vector<uint8_t> bytes = Base64(text, file, layer);
  if (compression == "zlib" || compression == "gzip") {
    bytes = Inflate(bytes, need, compression, file, layer);
  } else if (compression == "zstd") {
    bytes = Unzstd(bytes, need, file, layer);
  } else if (!compression.empty()) {
    Refuse(file, layer, "unknown compression \"" + compression + "\"");
  }
  if (bytes.size() != need)
    Refuse(file, layer,
           "data holds " + std::to_string(bytes.size() / 4) + " cells, the layer " + std::to_string(cells));
  std::vector<uint32_t> gids(cells);
  for (size_t c = 0; c < cells; ++c)
    gids[c] = uint32_t(bytes[4 * c]) | uint32_t(bytes[4 * c + 1]) << 8 | uint32_t(bytes[4 * c + 2]) << 16 |
              uint32_t(bytes[4 * c + 3]) << 24;
  return gids;
}

}  // namespace tiled
