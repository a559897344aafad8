#pragma once

#include <QByteArray>

namespace quorvane {

// An animated GIF of `frames` frames of width x height pixels, alternating
// red and blue, written by hand (Qt reads GIF but cannot write it).
QByteArray TinyGif(int width, int height, int frames);

}  // namespace quorvane
