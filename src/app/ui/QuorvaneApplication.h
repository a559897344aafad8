#pragma once

#include <QApplication>

namespace quorvane {

// The application object of the program: a QApplication whose event
// delivery reports an escaping exception through the CrashHandler instead
// of ending the process.
class QuorvaneApplication : public QApplication {
 public:
  QuorvaneApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace quorvane
