#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvane::sim {

// Writes 8-bit RGB pixels as a PNG file image. The pixel data goes into
// stored (uncompressed) deflate blocks: the security image is small, and
// this keeps the simulator free of a compression library.
class PngEncoder {
 public:
  // `rgb` holds width * height * 3 bytes, rows top to bottom.
  static std::string Encode(int width, int height, const std::vector<std::uint8_t>& rgb);
};

}  // namespace quorvane::sim
