#include "brand/ui/QtPictureReader.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

namespace quorvane {

namespace {

QByteArray Bytes(std::string_view bytes) {
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string Why(const QImageReader& reader) {
  const QString reason = reader.errorString();
  return reason.isEmpty() ? "the picture does not decode" : reason.toStdString();
}

}  // namespace

std::string QtPictureReader::Trouble(PictureUse use, std::string_view bytes,
                                     std::string_view format) const {
  QByteArray data = Bytes(bytes);
  if (data.isEmpty()) return "the file is empty";
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  switch (use) {
    case PictureUse::Animation: {
      // The banner plays in a QMovie, which takes whatever its reader can
      // read, in any format, and starts with the first frame.
      QImageReader reader(&buffer);
      if (!reader.canRead()) return "not a picture Qt can play";
      if (reader.read().isNull()) return Why(reader);
      return {};
    }
    case PictureUse::Still:
    case PictureUse::Page: {
      // As QPixmap::loadFromData with the name's format (or none) reads it.
      const QByteArray name = QByteArray::fromStdString(std::string(format));
      QImageReader reader(&buffer, use == PictureUse::Still ? name : QByteArray());
      if (reader.read().isNull()) return Why(reader);
      return {};
    }
    case PictureUse::Icon: {
      // Every picture of the file; the icon needs at least one.
      QImageReader reader(&buffer);
      bool any = false;
      do {
        if (!reader.read().isNull()) any = true;
      } while (reader.jumpToNextImage());
      if (!any) return Why(reader);
      return {};
    }
  }
  return {};
}

bool QtPictureReader::KnowsFormat(std::string_view format) const {
  const QByteArray name = QByteArray::fromStdString(std::string(format)).toLower();
  return QImageReader::supportedImageFormats().contains(name);
}

}  // namespace quorvane
