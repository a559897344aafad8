// Starts Quorvane: the application object with the unexpected-error
// handler, the main window, and the message loop until it closes.
#include "app/ui/FMain.h"
#include "app/ui/QuorvaneApplication.h"

using namespace quorvane;

int main(int argc, char* argv[]) {
  QuorvaneApplication app(argc, argv);
  TfrmMain window;
  window.show();
  return QuorvaneApplication::exec();
}
