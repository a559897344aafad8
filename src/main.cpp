// Starts the program: --help and --version answered without a window; the
// installed program's folder prepared; then the application object with
// the unexpected-error handler, the main window, and the message loop
// until it closes.
#include <QString>
#include <iostream>

#include "app/CommandLine.h"
#include "app/ui/FMain.h"
#include "app/ui/QuorvaneApplication.h"
#include "base/ProductIdentity.h"

#ifdef QUORVANE_INSTALLED_DATA_FOLDER
#include "base/ProgramFolder.h"
#include "base/UserFolders.h"
#include "base/UserProgramFolder.h"
#endif

using namespace quorvane;

int main(int argc, char* argv[]) {
  if (AnswerCommandLine(argc, argv, std::cout)) return 0;

#ifdef QUORVANE_INSTALLED_DATA_FOLDER
  // The package's program: the brand's data files are installed beside
  // the executable's folder, read-only; the program works on a copy of
  // them in the user's data folder and starts Updater.exe from where the
  // package put it.
  const auto executable = ExecutableFolder();
  const auto prepared = PrepareUserProgramFolder(
      (executable / QUORVANE_INSTALLED_DATA_FOLDER).lexically_normal(), UserDataFolder());
  if (!prepared.problem.empty()) std::cerr << ProductCommand << ": " << prepared.problem << '\n';
  SetProgramFolder(prepared.folder);
  SetHelperFolder((executable / QUORVANE_INSTALLED_HELPER_FOLDER).lexically_normal());
#endif

  // The desktop matches the window with the product's desktop entry by
  // these: the window class on X11, the application id on Wayland.
  const QString name = QString::fromUtf8(ProductCommand.data(), ProductCommand.size());
  QuorvaneApplication::setApplicationName(name);
  QuorvaneApplication::setDesktopFileName(name);

  QuorvaneApplication app(argc, argv);
  TfrmMain window;
  window.show();
  return QuorvaneApplication::exec();
}
