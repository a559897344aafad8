// quorvane-icon, which draws the icon sizes and main.ico from SVG: the
// pictures must come back from Qt's own readers (the program reads
// main.ico with them) with the right pixels in the right places.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QtEndian>
#include <map>
#include <string>
#include <vector>

#include "IconRenderer.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace {

// Left half opaque red, top right half-transparent blue, bottom right
// empty: tells colour order, alpha and which way up the rows are.
constexpr char kQuartersSvg[] =
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">)"
    R"(<rect x="0" y="0" width="32" height="64" fill="#ff0000"/>)"
    R"(<rect x="32" y="0" width="32" height="32" fill="#0000ff" fill-opacity="0.5"/>)"
    R"(</svg>)";

QString Q(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

int RunTool(const std::vector<std::string>& args) {
  std::vector<QString> qargs;
  for (const auto& a : args) qargs.push_back(QString::fromStdString(a));
  return RunIconTool(qargs);
}

void ExpectQuarters(const QImage& image, int size) {
  SCOPED_TRACE("size " + std::to_string(size));
  ASSERT_EQ(image.width(), size);
  ASSERT_EQ(image.height(), size);
  const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  const QRgb red = argb.pixel(size / 4, size / 2);
  EXPECT_EQ(qAlpha(red), 255);
  EXPECT_EQ(qRed(red), 255);
  EXPECT_EQ(qBlue(red), 0);
  const QRgb blue = argb.pixel(size * 3 / 4, size / 4);
  EXPECT_NEAR(qAlpha(blue), 128, 2);
  EXPECT_EQ(qRed(blue), 0);
  EXPECT_GT(qBlue(blue), 240);
  EXPECT_EQ(qAlpha(argb.pixel(size * 3 / 4, size * 3 / 4)), 0);
}

quint16 U16(const QByteArray& bytes, int at) {
  return qFromLittleEndian<quint16>(bytes.constData() + at);
}
quint32 U32(const QByteArray& bytes, int at) {
  return qFromLittleEndian<quint32>(bytes.constData() + at);
}

TEST(IconTool, IconFileReadsBackInQtWithEverySize) {
  TempFolder folder;
  folder.Write("quarters.svg", kQuartersSvg);
  const auto ico = folder.File("main.ico");
  ASSERT_EQ(RunTool({folder.File("quarters.svg").string(), ico.string(), "48", "256", "16", "32"}),
            0);

  // Read as the program reads main.ico: every picture in turn.
  QImageReader reader(Q(ico));
  std::map<int, QImage> bySize;
  do {
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
    bySize[image.width()] = image;
  } while (reader.jumpToNextImage());
  ASSERT_EQ(bySize.size(), 4u);
  for (const int size : {16, 32, 48, 256}) {
    ASSERT_TRUE(bySize.count(size)) << size;
    ExpectQuarters(bySize[size], size);
  }
}

TEST(IconTool, IconFileDirectoryAndMaskAreWellFormed) {
  TempFolder folder;
  folder.Write("quarters.svg", kQuartersSvg);
  std::vector<QImage> images;
  for (const int size : {256, 16})
    images.push_back(RenderSvgIcon(Q(folder.File("quarters.svg")), size));
  const QByteArray bytes = IcoFileBytes(images);

  ASSERT_GE(bytes.size(), 6 + 2 * 16);
  EXPECT_EQ(U16(bytes, 0), 0);  // reserved
  EXPECT_EQ(U16(bytes, 2), 1);  // an icon, not a cursor
  ASSERT_EQ(U16(bytes, 4), 2);
  // Smallest first; 256 is written as 0; the pictures follow each other to
  // the end of the file.
  EXPECT_EQ(static_cast<unsigned char>(bytes[6]), 16);
  EXPECT_EQ(static_cast<unsigned char>(bytes[6 + 16]), 0);
  quint32 expectedOffset = 6 + 2 * 16;
  for (int i = 0; i < 2; ++i) {
    const int entry = 6 + 16 * i;
    EXPECT_EQ(U16(bytes, entry + 6), 32) << i;  // bits per pixel
    EXPECT_EQ(U32(bytes, entry + 12), expectedOffset) << i;
    expectedOffset += U32(bytes, entry + 8);
  }
  EXPECT_EQ(expectedOffset, static_cast<quint32>(bytes.size()));
  // The 256-pixel picture is PNG.
  EXPECT_EQ(bytes.mid(static_cast<int>(U32(bytes, 6 + 16 + 12)), 4), QByteArray("\x89PNG"));

  // The 16-pixel bitmap: header, 16 rows of 16 BGRA pixels bottom-up, then
  // the AND mask (4 bytes a row), set only where the picture is empty.
  const int bitmap = static_cast<int>(U32(bytes, 6 + 12));
  EXPECT_EQ(U32(bytes, bitmap), 40u);
  EXPECT_EQ(U32(bytes, bitmap + 8), 32u);  // colour rows and mask rows
  const int mask = bitmap + 40 + 16 * 16 * 4;
  const auto maskBit = [&](int x, int y) {
    const int row = mask + (15 - y) * 4;
    return (static_cast<unsigned char>(bytes[row + x / 8]) >> (7 - x % 8)) & 1;
  };
  EXPECT_EQ(maskBit(2, 8), 0);    // red
  EXPECT_EQ(maskBit(12, 4), 0);   // half-transparent blue
  EXPECT_EQ(maskBit(12, 12), 1);  // empty
  // Bottom-up: the first colour row is the picture's last, whose right
  // half is empty and left half red (B, G, R, A).
  const int lastRow = bitmap + 40;
  EXPECT_EQ(bytes.mid(lastRow, 4), QByteArray("\x00\x00\xff\xff", 4));
  EXPECT_EQ(bytes.mid(lastRow + 15 * 4 + 3, 1), QByteArray("\x00", 1));
}

TEST(IconTool, DrawsTheApplicationIconAsPng) {
  TempFolder folder;
  for (const int size : {16, 256}) {
    SCOPED_TRACE(size);
    const auto png = folder.File("icon" + std::to_string(size) + ".png");
    ASSERT_EQ(RunTool({QUORVANE_TEST_ICON_SVG, png.string(), std::to_string(size)}), 0);
    QImageReader reader(Q(png));
    EXPECT_EQ(reader.format(), "png");
    const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(size, size));
    // A rounded square: empty corners, an opaque middle.
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(size - 1, size - 1)), 0);
    EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255);
  }
}

// A brand may give its picture as a PNG: it is scaled into every size, a
// wide picture centred in the square with empty bands above and below.
TEST(IconTool, ScalesAPngPictureIntoEverySize) {
  TempFolder folder;
  folder.Write("quarters.svg", kQuartersSvg);
  const QImage square = RenderSvgIcon(Q(folder.File("quarters.svg")), 512);
  ASSERT_TRUE(square.save(Q(folder.File("square.png")), "PNG"));
  QImage wide(400, 200, QImage::Format_ARGB32);
  wide.fill(qRgba(0, 160, 0, 255));
  ASSERT_TRUE(wide.save(Q(folder.File("wide.png")), "PNG"));

  for (const int size : {16, 48, 256}) {
    SCOPED_TRACE(size);
    const auto png = folder.File("icon.png");
    ASSERT_EQ(RunTool({folder.File("square.png").string(), png.string(), std::to_string(size)}), 0);
    ExpectQuarters(QImage(Q(png)), size);

    ASSERT_EQ(RunTool({folder.File("wide.png").string(), png.string(), std::to_string(size)}), 0);
    const QImage banded = QImage(Q(png)).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(banded.size(), QSize(size, size));
    EXPECT_EQ(qAlpha(banded.pixel(size / 2, size / 8)), 0);
    EXPECT_EQ(qAlpha(banded.pixel(size / 2, size / 2)), 255);
    EXPECT_EQ(qGreen(banded.pixel(size / 2, size / 2)), 160);
    EXPECT_EQ(qAlpha(banded.pixel(size / 2, size - 1 - size / 8)), 0);
  }
  const auto ico = folder.File("main.ico");
  ASSERT_EQ(RunTool({folder.File("square.png").string(), ico.string(), "16", "32"}), 0);
  QImageReader reader(Q(ico));
  EXPECT_EQ(reader.imageCount(), 2);

  folder.Write("broken.png", "\x89PNG not really");
  EXPECT_EQ(RunTool({folder.File("broken.png").string(), folder.File("out.png").string(), "16"}),
            1);
  EXPECT_FALSE(folder.Exists("out.png"));
}

TEST(IconTool, RefusesWrongCommandLinesAndWritesNothing) {
  TempFolder folder;
  folder.Write("quarters.svg", kQuartersSvg);
  folder.Write("broken.svg", "<svg");
  const std::string svg = folder.File("quarters.svg").string();
  const std::string png = folder.File("out.png").string();
  const std::string ico = folder.File("out.ico").string();
  const struct {
    std::vector<std::string> args;
    int status;
  } cases[] = {
      {{}, 2},
      {{svg, png}, 2},
      {{svg, folder.File("out.bmp").string(), "16"}, 2},
      {{svg, png, "16", "32"}, 2},
      {{svg, ico, "0"}, 2},
      {{svg, ico, "257"}, 2},
      {{svg, ico, "16", "x"}, 2},
      {{folder.File("missing.svg").string(), ico, "16"}, 1},
      {{folder.File("broken.svg").string(), png, "16"}, 1},
      {{svg, folder.File("no/such/folder.png").string(), "16"}, 1},
  };
  for (const auto& c : cases) {
    std::string line;
    for (const auto& a : c.args) line += a + " ";
    EXPECT_EQ(RunTool(c.args), c.status) << line;
    EXPECT_FALSE(folder.Exists("out.png")) << line;
    EXPECT_FALSE(folder.Exists("out.ico")) << line;
  }
}

}  // namespace
