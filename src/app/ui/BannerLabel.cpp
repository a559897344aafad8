#include "app/ui/BannerLabel.h"

#include <QBuffer>
#include <QMovie>
#include <QPixmap>

#include "base/ui/AccessibleRole.h"

namespace quorvane {

BannerLabel::BannerLabel(QWidget* parent) : ClickLabel(parent) {
  setAccessibleName(QStringLiteral("Banner"));
  SetAccessibleRole(this, QAccessible::Graphic);
}

void BannerLabel::SetLeadsSomewhere() {
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::TabFocus);
  SetAccessibleRole(this, QAccessible::Link);
}

void BannerLabel::ShowPicture(const QPixmap& picture) {
  setPixmap(picture);
  resize(picture.deviceIndependentSize().toSize());
}

bool BannerLabel::ShowAnimation(const QByteArray& gif) {
  auto* movie = new QMovie(this);
  auto* buffer = new QBuffer(movie);
  buffer->setData(gif);
  movie->setDevice(buffer);
  if (!movie->isValid()) {
    delete movie;
    return false;
  }
  if (QMovie* old = this->movie()) old->deleteLater();
  setMovie(movie);
  movie->start();
  resize(movie->currentPixmap().size());
  return true;
}

}  // namespace quorvane
