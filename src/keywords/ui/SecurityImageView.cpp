#include "keywords/ui/SecurityImageView.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPainter>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslSocket>

namespace quorvane {

namespace {

// Security images are a few kilobytes. A reply larger than this is not one
// and is cut rather than held in memory.
constexpr qint64 kMaxImageBytes = 4 * 1024 * 1024;

// The address comes from a page off the network: only web addresses and
// inline data are loaded, never a local file or another scheme.
bool IsLoadableScheme(const QUrl& address) {
  const QString scheme = address.scheme().toLower();
  return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
         scheme == QLatin1String("data");
}

}  // namespace

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

void SecurityImageView::TrustAuthority(const std::string& pemFile) {
  extraAuthority_ = pemFile;
}

void SecurityImageView::Load() {
  if (reply_) {
    QNetworkReply* old = reply_;
    reply_ = nullptr;  // its finished() no longer counts
    old->abort();
  }
  image_ = QImage();
  update();
  if (address_.isEmpty() || !address_.isValid() || !IsLoadableScheme(address_)) {
    emit LoadFinished(false);
    return;
  }
  QNetworkRequest request(address_);
  request.setMaximumRedirectsAllowed(15);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::NoLessSafeRedirectPolicy);
  // Verification is Qt's default; said here so that it stays so.
  QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
  tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
  tls.setProtocol(QSsl::TlsV1_2OrLater);
  if (!extraAuthority_.empty()) {
    tls.addCaCertificates(QSslCertificate::fromPath(QString::fromStdString(extraAuthority_)));
  }
  request.setSslConfiguration(tls);
  // HTTP/1.1, like every other request of the program.
  request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
  reply_ = network_->get(request);
  // Progress signals are throttled and may never come for a reply that
  // arrives at once and then stalls, so the size is checked on the
  // announced length and on every arrival of data.
  QNetworkReply* reply = reply_;
  const auto cutIfOversized = [reply] {
    const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    if (announced > kMaxImageBytes || reply->bytesAvailable() > kMaxImageBytes) reply->abort();
  };
  connect(reply, &QNetworkReply::metaDataChanged, this, cutIfOversized);
  connect(reply, &QNetworkReply::readyRead, this, cutIfOversized);
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

}  // namespace quorvane
