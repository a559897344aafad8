// quorvane-icon: draws the application icon's PNG sizes and main.ico from
// its SVG source at build time.
#include <QGuiApplication>
#include <cstdio>

#include "IconRenderer.h"

using namespace quorvane;

namespace {

// Qt's complaint about a missing XDG_RUNTIME_DIR (usual on build machines)
// is noise here; everything else, such as SVG errors, is shown.
void ShowMessage(QtMsgType, const QMessageLogContext&, const QString& text) {
  if (text.startsWith(QLatin1String("QStandardPaths:"))) return;
  std::fprintf(stderr, "quorvane-icon: %s\n", text.toLocal8Bit().constData());
}

}  // namespace

int main(int argc, char** argv) {
  // Drawing needs no screen; the offscreen platform works on a build machine
  // without a display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(ShowMessage);
  QGuiApplication app(argc, argv);
  std::vector<QString> args;
  for (int i = 1; i < argc; ++i) args.push_back(QString::fromLocal8Bit(argv[i]));
  return RunIconTool(args);
}
