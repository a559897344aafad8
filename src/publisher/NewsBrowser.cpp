#include "publisher/NewsBrowser.h"

NewsBrowser::NewsBrowser(QWidget* parent) : QTextBrowser(parent) {
  setReadOnly(true);
  setOpenLinks(false);
}

QVariant NewsBrowser::loadResource(int, const QUrl&) {
  return {};
}
