#include "publisher/ui/NewsBrowser.h"

namespace quorvane {

NewsBrowser::NewsBrowser(QWidget* parent) : QTextBrowser(parent) {
  setReadOnly(true);
  setOpenLinks(false);
}

QVariant NewsBrowser::loadResource(int, const QUrl&) {
  // An empty value, not a null one: on a null value the document goes on to
  // read a local file of that name itself.
  return QVariant(QByteArray());
}

}  // namespace quorvane
