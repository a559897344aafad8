#include "support/TinyGif.h"

#include <vector>

namespace quorvane {

namespace {

void Word(QByteArray& out, int value) {
  out.append(static_cast<char>(value & 0xFF));
  out.append(static_cast<char>((value >> 8) & 0xFF));
}

// LZW data of one frame of a single colour. Codes stay 3 bits wide because
// a clear code follows every second pixel, before the table grows.
QByteArray FrameData(int pixels, int colour) {
  constexpr int kClear = 4;
  constexpr int kEnd = 5;
  std::vector<int> codes;
  for (int i = 0; i < pixels; ++i) {
    if (i % 2 == 0) codes.push_back(kClear);
    codes.push_back(colour);
  }
  codes.push_back(kEnd);

  QByteArray packed;
  unsigned bits = 0;
  int count = 0;
  for (int code : codes) {
    bits |= static_cast<unsigned>(code) << count;
    count += 3;
    while (count >= 8) {
      packed.append(static_cast<char>(bits & 0xFF));
      bits >>= 8;
      count -= 8;
    }
  }
  if (count > 0) packed.append(static_cast<char>(bits & 0xFF));

  QByteArray blocks;
  blocks.append(static_cast<char>(2));  // minimum code size
  for (qsizetype at = 0; at < packed.size(); at += 255) {
    const QByteArray chunk = packed.mid(at, 255);
    blocks.append(static_cast<char>(chunk.size()));
    blocks.append(chunk);
  }
  blocks.append('\0');
  return blocks;
}

}  // namespace

QByteArray TinyGif(int width, int height, int frames) {
  QByteArray gif("GIF89a");
  Word(gif, width);
  Word(gif, height);
  gif.append(static_cast<char>(0x80));  // a global table of two colours
  gif.append('\0');
  gif.append('\0');
  gif.append("\xFF\x00\x00\x00\x00\xFF", 6);
  gif.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
  for (int frame = 0; frame < frames; ++frame) {
    gif.append("\x21\xF9\x04\x00", 4);
    Word(gif, 10);  // 100 ms
    gif.append("\x00\x00", 2);
    gif.append('\x2C');
    Word(gif, 0);
    Word(gif, 0);
    Word(gif, width);
    Word(gif, height);
    gif.append('\0');
    gif.append(FrameData(width * height, frame % 2));
  }
  gif.append('\x3B');
  return gif;
}

}  // namespace quorvane
