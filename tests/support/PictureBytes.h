#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <string>

namespace quorvane {

// A plain picture of one colour, encoded in `format` ("PNG", "JPG", ...),
// as the bytes a file or a server would hold.
inline std::string PictureBytes(const char* format, int width = 8, int height = 8,
                                QColor colour = Qt::darkGreen) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes.toStdString();
}

}  // namespace quorvane
