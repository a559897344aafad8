#include "IconRenderer.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>
#include <algorithm>
#include <cstdio>
#include <string_view>
#include <system_error>

#include "base/AtomicFileWriter.h"

namespace quorvane {

namespace {

void Put16(QByteArray& out, quint16 value) {
  char bytes[2];
  qToLittleEndian(value, bytes);
  out.append(bytes, 2);
}

void Put32(QByteArray& out, quint32 value) {
  char bytes[4];
  qToLittleEndian(value, bytes);
  out.append(bytes, 4);
}

// One image as the icon format's bitmap: a BITMAPINFOHEADER whose height
// counts the colour rows and the mask rows, 32-bit BGRA rows bottom-up,
// then the 1-bit AND mask (rows padded to 4 bytes), set where the image is
// fully transparent for readers that ignore alpha.
QByteArray BitmapEntry(const QImage& source) {
  const QImage image = source.convertToFormat(QImage::Format_ARGB32);
  const int size = image.width();
  const int maskStride = ((size + 31) / 32) * 4;
  QByteArray out;
  Put32(out, 40);
  Put32(out, static_cast<quint32>(size));
  Put32(out, static_cast<quint32>(size * 2));
  Put16(out, 1);   // planes
  Put16(out, 32);  // bits per pixel
  Put32(out, 0);   // BI_RGB
  Put32(out, static_cast<quint32>(size * size * 4 + maskStride * size));
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = size - 1; y >= 0; --y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < size; ++x) {
      const QRgb p = row[x];
      const char bgra[4] = {static_cast<char>(qBlue(p)), static_cast<char>(qGreen(p)),
                            static_cast<char>(qRed(p)), static_cast<char>(qAlpha(p))};
      out.append(bgra, 4);
    }
  }
  for (int y = size - 1; y >= 0; --y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    QByteArray mask(maskStride, '\0');
    for (int x = 0; x < size; ++x)
      if (qAlpha(row[x]) == 0) mask[x / 8] = static_cast<char>(mask[x / 8] | (0x80 >> (x % 8)));
    out.append(mask);
  }
  return out;
}

QByteArray PngEntry(const QImage& image) {
  QByteArray out;
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  image.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG");
  return out;
}

void Complain(const QString& text) {
  std::fprintf(stderr, "quorvane-icon: %s\n", text.toLocal8Bit().constData());
}

bool WriteFile(const QString& name, const QByteArray& bytes) {
  const std::error_code error = WriteFileAtomically(
      QFile::encodeName(name).toStdString(),
      std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  if (error) {
    Complain(QStringLiteral("cannot write %1: %2")
                 .arg(name, QString::fromLocal8Bit(error.message().c_str())));
    return false;
  }
  return true;
}

}  // namespace

QImage RenderSvgIcon(const QString& svgFile, int size) {
  QSvgRenderer renderer(svgFile);
  if (!renderer.isValid() || size < 1) return {};
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QSizeF drawn = renderer.defaultSize();
  if (drawn.isEmpty()) drawn = QSizeF(size, size);
  drawn.scale(size, size, Qt::KeepAspectRatio);
  const QRectF target((size - drawn.width()) / 2, (size - drawn.height()) / 2, drawn.width(),
                      drawn.height());
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  renderer.render(&painter, target);
  painter.end();
  return image.convertToFormat(QImage::Format_ARGB32);
}

QImage RenderIcon(const QString& pictureFile, int size) {
  if (size < 1) return {};
  if (pictureFile.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive))
    return RenderSvgIcon(pictureFile, size);
  QImageReader reader(pictureFile);
  const QImage picture = reader.read();
  if (picture.isNull()) return {};
  const QImage scaled = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                            .scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.drawImage((size - scaled.width()) / 2, (size - scaled.height()) / 2, scaled);
  painter.end();
  return image.convertToFormat(QImage::Format_ARGB32);
}

QByteArray IcoFileBytes(const std::vector<QImage>& images) {
  std::vector<QImage> sorted = images;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const QImage& a, const QImage& b) { return a.width() < b.width(); });
  std::vector<QByteArray> entries;
  for (const auto& image : sorted)
    entries.push_back(image.width() >= 256 ? PngEntry(image) : BitmapEntry(image));

  QByteArray out;
  Put16(out, 0);  // reserved
  Put16(out, 1);  // icon
  Put16(out, static_cast<quint16>(entries.size()));
  quint32 offset = 6 + 16 * static_cast<quint32>(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const int size = sorted[i].width();
    out.append(static_cast<char>(size >= 256 ? 0 : size));  // 0 stands for 256
    out.append(static_cast<char>(size >= 256 ? 0 : size));
    out.append('\0');  // no palette
    out.append('\0');  // reserved
    Put16(out, 1);     // planes
    Put16(out, 32);    // bits per pixel
    Put32(out, static_cast<quint32>(entries[i].size()));
    Put32(out, offset);
    offset += static_cast<quint32>(entries[i].size());
  }
  for (const auto& entry : entries) out.append(entry);
  return out;
}

int RunIconTool(const std::vector<QString>& args) {
  const QString usage = QStringLiteral(
      "usage: quorvane-icon INPUT.svg|INPUT.png OUTPUT.png SIZE\n"
      "       quorvane-icon INPUT.svg|INPUT.png OUTPUT.ico SIZE...\n"
      "Draws the SVG, or scales the PNG, into a square PNG, or into a Windows\n"
      "icon with one picture per size (1 to 256 pixels).");
  if (args.size() < 3) {
    Complain(usage);
    return 2;
  }
  const QString& input = args[0];
  const QString& output = args[1];
  const bool ico = output.endsWith(QLatin1String(".ico"), Qt::CaseInsensitive);
  if (!ico && !output.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)) {
    Complain(QStringLiteral("%1: the output must end in .png or .ico").arg(output));
    return 2;
  }
  if (!ico && args.size() != 3) {
    Complain(QStringLiteral("a PNG takes exactly one size"));
    return 2;
  }
  std::vector<int> sizes;
  for (std::size_t i = 2; i < args.size(); ++i) {
    bool ok = false;
    const int size = args[i].toInt(&ok);
    if (!ok || size < 1 || size > 256) {
      Complain(QStringLiteral("%1: a size is a number of pixels from 1 to 256").arg(args[i]));
      return 2;
    }
    sizes.push_back(size);
  }
  std::vector<QImage> images;
  for (const int size : sizes) {
    QImage image = RenderIcon(input, size);
    if (image.isNull()) {
      Complain(QStringLiteral("%1: cannot read it as SVG or PNG").arg(input));
      return 1;
    }
    images.push_back(std::move(image));
  }
  if (ico) return WriteFile(output, IcoFileBytes(images)) ? 0 : 1;
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!images.front().save(&buffer, "PNG")) {
    Complain(QStringLiteral("cannot encode %1").arg(output));
    return 1;
  }
  return WriteFile(output, png) ? 0 : 1;
}

}  // namespace quorvane
