#pragma once

#include <QObject>
#include <QUrl>
#include <vector>

namespace quorvane {

// Stands in for the desktop's URL handlers: registered with
// QDesktopServices::setUrlHandler(scheme, &catcher, "Open"), it keeps
// every address the program asks the desktop to open.
class UrlCatcher : public QObject {
  Q_OBJECT

 public:
  std::vector<QUrl> opened;

 public slots:
  void Open(const QUrl& url) { opened.push_back(url); }
};

}  // namespace quorvane
