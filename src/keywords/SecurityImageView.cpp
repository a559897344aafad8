#include "keywords/SecurityImageView.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPainter>

SecurityImageView::SecurityImageView(QWidget* parent)
    : QFrame(parent), network_(new QNetworkAccessManager(this)) {
  setFrameShape(QFrame::StyledPanel);
  setFocusPolicy(Qt::StrongFocus);
  // The image comes straight from the service's host, like every other
  // request of the program: no proxy.
  network_->setProxy(QNetworkProxy::NoProxy);
  connect(network_, &QNetworkAccessManager::finished, this, &SecurityImageView::ReplyFinished);
}

void SecurityImageView::Navigate(const QUrl& address) {
  address_ = address;
  Load();
}

void SecurityImageView::Refresh() {
  if (address_.isEmpty()) return;
  Load();
}

void SecurityImageView::Load() {
  if (reply_) {
    QNetworkReply* old = reply_;
    reply_ = nullptr;  // its finished() no longer counts
    old->abort();
  }
  image_ = QImage();
  update();
  if (address_.isEmpty() || !address_.isValid()) {
    emit LoadFinished(false);
    return;
  }
  reply_ = network_->get(QNetworkRequest(address_));
}

void SecurityImageView::ReplyFinished(QNetworkReply* reply) {
  reply->deleteLater();
  if (reply != reply_) return;
  reply_ = nullptr;
  QImage image;
  if (reply->error() == QNetworkReply::NoError) image.loadFromData(reply->readAll());
  image_ = image;
  update();
  emit LoadFinished(!image_.isNull());
}

void SecurityImageView::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  const QRect area = contentsRect();
  if (image_.isNull()) {
    painter.fillRect(area, palette().color(QPalette::Window).darker(105));
    return;
  }
  painter.fillRect(area, palette().color(QPalette::Base));
  const QSize size = image_.size().scaled(area.size(), Qt::KeepAspectRatio);
  QRect target(QPoint(0, 0), size);
  target.moveCenter(area.center());
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(target, image_);
}
