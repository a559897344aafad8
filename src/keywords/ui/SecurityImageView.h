#pragma once

#include <QFrame>
#include <QImage>
#include <QPointer>
#include <QUrl>
#include <string>

class QNetworkAccessManager;
class QNetworkReply;

namespace quorvane {

// Shows the image found at an address, loading it in the background with
// its own network access (apart from the program's HTTP client), scaled
// into the view. A plain panel stands in while it loads or when it cannot
// be had. Over https its server's certificate is verified (the system's
// store, the host's name, TLS 1.2 or newer), and a redirect from https
// down to http is not followed.
class SecurityImageView : public QFrame {
  Q_OBJECT

 public:
  explicit SecurityImageView(QWidget* parent = nullptr);

  // Loads the resource at `address` and shows it once it has arrived.
  void Navigate(const QUrl& address);
  // Loads the current resource again; nothing happens without one.
  void Refresh();
  // Certificates signed by the authorities of this PEM file are trusted
  // too (a test's own authority); empty: the system's store alone.
  void TrustAuthority(const std::string& pemFile);

  QUrl Address() const { return address_; }
  bool HasImage() const { return !image_.isNull(); }
  bool Loading() const { return !reply_.isNull(); }

 signals:
  // A load ended, with an image shown (true) or the placeholder (false).
  void LoadFinished(bool ok);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void Load();
  void ReplyFinished(QNetworkReply* reply);

  QNetworkAccessManager* network_;
  QPointer<QNetworkReply> reply_;
  QUrl address_;
  QImage image_;
  std::string extraAuthority_;
};

}  // namespace quorvane
