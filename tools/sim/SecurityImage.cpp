#include "sim/SecurityImage.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "sim/BitmapFont.h"
#include "sim/PngEncoder.h"
#include "sim/SimText.h"

namespace quorvane::sim {

namespace {

constexpr int kScale = 6;
constexpr int kGap = 8;
constexpr int kPadX = 10;
constexpr int kPadY = 12;

struct Canvas {
  int width;
  int height;
  std::vector<std::uint8_t> rgb;

  void Set(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    const auto i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                    static_cast<std::size_t>(x)) *
                   3;
    rgb[i] = r;
    rgb[i + 1] = g;
    rgb[i + 2] = b;
  }
};

}  // namespace

std::string SecurityImage::Png(std::string_view text, std::string_view salt) {
  const int chars = std::max<int>(1, static_cast<int>(text.size()));
  const int glyphW = BitmapFont::kWidth * kScale;
  const int glyphH = BitmapFont::kHeight * kScale;
  Canvas canvas{2 * kPadX + chars * glyphW + (chars - 1) * kGap, 2 * kPadY + glyphH, {}};
  canvas.rgb.assign(static_cast<std::size_t>(canvas.width) * canvas.height * 3, 0);
  for (int y = 0; y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) canvas.Set(x, y, 0xF4, 0xF1, 0xE8);
  }

  std::uint64_t noise = StableHash(std::string("captcha|") + std::string(salt));
  const auto next = [&noise] {
    noise ^= noise << 13;
    noise ^= noise >> 7;
    noise ^= noise << 17;
    return noise;
  };
  // Speckles and two faint strokes behind the letters.
  for (int i = 0; i < canvas.width * canvas.height / 12; ++i) {
    const auto v = next();
    canvas.Set(static_cast<int>(v % static_cast<std::uint64_t>(canvas.width)),
               static_cast<int>((v >> 20) % static_cast<std::uint64_t>(canvas.height)), 0xB8, 0xB4,
               0xA8);
  }
  for (int stroke = 0; stroke < 2; ++stroke) {
    const int y0 = static_cast<int>(next() % static_cast<std::uint64_t>(canvas.height));
    const int y1 = static_cast<int>(next() % static_cast<std::uint64_t>(canvas.height));
    for (int x = 0; x < canvas.width; ++x) {
      canvas.Set(x, y0 + (y1 - y0) * x / canvas.width, 0x9C, 0xA8, 0xC0);
    }
  }

  for (int i = 0; i < static_cast<int>(text.size()); ++i) {
    const int left = kPadX + i * (glyphW + kGap);
    const int top = kPadY + static_cast<int>(next() % 9) - 4;
    for (int gy = 0; gy < glyphH; ++gy) {
      for (int gx = 0; gx < glyphW; ++gx) {
        if (BitmapFont::Pixel(text[static_cast<std::size_t>(i)], gx / kScale, gy / kScale)) {
          canvas.Set(left + gx, top + gy, 0x1A, 0x3A, 0x6B);
        }
      }
    }
  }
  return PngEncoder::Encode(canvas.width, canvas.height, canvas.rgb);
}

}  // namespace quorvane::sim
