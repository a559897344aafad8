#include "sim/PngEncoder.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace quorvane::sim {

namespace {

std::uint32_t Crc32(const std::string& bytes, std::size_t from) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = from; i < bytes.size(); ++i) {
    crc = table[(crc ^ static_cast<std::uint8_t>(bytes[i])) & 0xFF] ^ (crc >> 8);
  }
  return crc ^ 0xFFFFFFFFu;
}

void PutBigEndian32(std::string& out, std::uint32_t value) {
  out += static_cast<char>(value >> 24);
  out += static_cast<char>((value >> 16) & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
  out += static_cast<char>(value & 0xFF);
}

void PutChunk(std::string& png, const char* type, const std::string& data) {
  PutBigEndian32(png, static_cast<std::uint32_t>(data.size()));
  const std::size_t crcFrom = png.size();
  png += type;
  png += data;
  PutBigEndian32(png, Crc32(png, crcFrom));
}

// A zlib stream of stored blocks around `raw`.
std::string StoredZlib(const std::string& raw) {
  std::string out = "\x78\x01";
  std::size_t offset = 0;
  do {
    const std::size_t len = std::min<std::size_t>(65535, raw.size() - offset);
    const bool final = offset + len == raw.size();
    out += static_cast<char>(final ? 1 : 0);
    out += static_cast<char>(len & 0xFF);
    out += static_cast<char>(len >> 8);
    out += static_cast<char>(~len & 0xFF);
    out += static_cast<char>((~len >> 8) & 0xFF);
    out.append(raw, offset, len);
    offset += len;
  } while (offset < raw.size());
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  PutBigEndian32(out, (b << 16) | a);
  return out;
}

}  // namespace

std::string PngEncoder::Encode(int width, int height, const std::vector<std::uint8_t>& rgb) {
  if (width <= 0 || height <= 0 ||
      rgb.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3) {
    throw std::invalid_argument("PngEncoder: pixel buffer does not match the size");
  }
  std::string png = "\x89PNG\r\n\x1a\n";
  std::string header;
  PutBigEndian32(header, static_cast<std::uint32_t>(width));
  PutBigEndian32(header, static_cast<std::uint32_t>(height));
  header += '\x08';                // bit depth
  header += '\x02';                // colour type: RGB
  header += std::string(3, '\0');  // deflate, adaptive filtering, no interlace
  PutChunk(png, "IHDR", header);

  std::string raw;
  const std::size_t stride = static_cast<std::size_t>(width) * 3;
  raw.reserve((stride + 1) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    raw += '\0';  // filter: none
    raw.append(reinterpret_cast<const char*>(rgb.data()) + stride * static_cast<std::size_t>(y),
               stride);
  }
  PutChunk(png, "IDAT", StoredZlib(raw));
  PutChunk(png, "IEND", {});
  return png;
}

}  // namespace quorvane::sim
