#pragma once

namespace quorvane::sim {

// A 5 by 7 pixel font for letters and digits, enough to draw the
// security image without a font engine.
class BitmapFont {
 public:
  static constexpr int kWidth = 5;
  static constexpr int kHeight = 7;

  // True when pixel (x, y) of the glyph of `c` is set. Characters the font
  // does not know draw as an outlined box.
  static bool Pixel(char c, int x, int y);
};

}  // namespace quorvane::sim
