#pragma once

#include <QTextBrowser>

namespace quorvane {

// A read-only HTML view for text that comes from the network. It loads no
// resources the text names (pictures, style sheets): none may come from
// the network except through the program's one HTTP client, and a news
// item must not make the program read local files.
class NewsBrowser : public QTextBrowser {
  Q_OBJECT

 public:
  explicit NewsBrowser(QWidget* parent = nullptr);

  QVariant loadResource(int type, const QUrl& name) override;
};

}  // namespace quorvane
