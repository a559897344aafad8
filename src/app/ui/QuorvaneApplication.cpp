#include "app/ui/QuorvaneApplication.h"

#include "base/ui/CrashHandler.h"

namespace quorvane {

QuorvaneApplication::QuorvaneApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool QuorvaneApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    CrashHandler::ReportCurrentException();
    return false;
  }
}

}  // namespace quorvane
