// quorvane-icon: draws the application icon's PNG sizes and main.ico from
// its SVG source at build time.
#include <QGuiApplication>

#include "IconRenderer.h"

int main(int argc, char** argv) {
  // Drawing needs no screen; the offscreen platform works on a build machine
  // without a display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  std::vector<QString> args;
  for (int i = 1; i < argc; ++i) args.push_back(QString::fromLocal8Bit(argv[i]));
  return RunIconTool(args);
}
