#pragma once

#include <QTextBrowser>

namespace quorvane {

// The HTML viewer of the welcome page. The page is the brand's, and the
// pictures it names are the brand's files beside the program: a resource
// is read only when it is a regular file inside the program folder and of
// a sensible size. Nothing is fetched from the network, and a name that
// points at a device, a pipe or a file elsewhere shows nothing instead of
// hanging or reading what it should not.
class WelcomeBrowser final : public QTextBrowser {
  Q_OBJECT

 public:
  // Larger files are not pictures a welcome page shows.
  static constexpr qint64 kMaxResourceBytes = 16 * 1024 * 1024;

  explicit WelcomeBrowser(QWidget* parent = nullptr);

  QVariant loadResource(int type, const QUrl& name) override;
};

}  // namespace quorvane
