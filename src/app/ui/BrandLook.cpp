#include "app/ui/BrandLook.h"

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <optional>
#include <string>

#include "app/ui/BannerLabel.h"
#include "base/ProgramFolder.h"
#include "base/ui/LocalText.h"

namespace quorvane {

namespace {

QString ProgramFilePath(const std::string& name) {
  return QString::fromStdString(ProgramFile(name).string());
}

// The whole file, or nothing when it is missing or unreadable.
std::optional<QByteArray> ReadWholeFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray data = file.readAll();
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  return data;
}

}  // namespace

// Shows the chosen banner's picture, read straight from its numbered file
// (nothing in the program folder is renamed, so a read-only folder works
// and a crash cannot leave a picture under a borrowed name). Returns false
// when there is nothing to show.
bool ShowBanner(const LoadedBrand& brand, QWidget& panel, BannerLabel& still,
                BannerLabel& animated) {
  if (brand.values.BannerImage.empty()) return false;
  const auto data =
      ReadWholeFile(ProgramFilePath("banner" + std::to_string(brand.bannerNumber) + ".dat"));
  if (!data) return false;

  if (brand.bannerAnimated) {
    if (!animated.ShowAnimation(*data)) return false;
    still.hide();
    animated.show();
    panel.setFixedHeight(animated.height() + 10);
    return true;
  }
  QPixmap picture;
  const QByteArray format = QByteArray::fromStdString(brand.bannerFormat);
  if (!picture.loadFromData(*data, format.isEmpty() ? nullptr : format.constData())) return false;
  animated.hide();
  still.show();
  still.ShowPicture(picture);
  panel.setFixedHeight(still.height() + 10);
  return true;
}

void ApplySkin() {
  if (const auto sheet = ReadWholeFile(ProgramFilePath("mainskin.dat")))
    qApp->setStyleSheet(FromLocal(*sheet));
}

// Every picture of the icon file, read now: the icon must not depend on
// the file staying where it is.
void ApplyIcon(const std::string& iconFile) {
  QImageReader reader(ProgramFilePath(iconFile));
  QIcon icon;
  do {
    const QImage image = reader.read();
    if (!image.isNull()) icon.addPixmap(QPixmap::fromImage(image));
  } while (reader.jumpToNextImage());
  if (!icon.isNull()) QApplication::setWindowIcon(icon);
}

}  // namespace quorvane
