#include "publisher/LiveUpdate.h"

#include "base/Messages.h"
#include "base/ProgramFolder.h"
#include "base/ProgramVersion.h"
#include "publisher/IniFile.h"
#include "publisher/VersionNumber.h"
#include "web/DownloadToFile.h"
#include "web/RequestUrl.h"

namespace quorvane {

LiveUpdate::LiveUpdate(HttpClient& client, Messages& messages, std::string baseUrl, Launcher launch,
                       std::function<void()> closeMainWindow, std::function<bool()> readyToClose)
    : client_(client),
      messages_(messages),
      baseUrl_(std::move(baseUrl)),
      launch_(std::move(launch)),
      closeMainWindow_(std::move(closeMainWindow)),
      readyToClose_(std::move(readyToClose)) {}

void LiveUpdate::CheckUpdates(bool silent) {
  // A descriptor that cannot be fetched, or whose local copy cannot be
  // created, answers the same as a version that is not newer.
  const auto descriptor = ProgramFile(kDescriptorName);
  std::error_code ec;
  if (DownloadToFile(client_, EncodeUnsendableBytes(baseUrl_ + kDescriptorName), descriptor)
          .complete &&
      std::filesystem::exists(descriptor, ec)) {
    const std::string published = ReadIniString(descriptor, "APPLICATION", "Version");
    if (IsNewerVersion(published, ProgramVersion)) {
      if (!messages_.Confirm("There is a new update: (version " + published +
                             ") available for your application!. Do you want download this "
                             "update now?")) {
        return;
      }
      const auto updater = HelperFile(kUpdaterName);
      if (!std::filesystem::exists(updater, ec)) {
        messages_.Warning(
            "The updater module is missing. Please reinstall again the current version!");
        return;
      }
      if (!messages_.Confirm("To update your software the application will close to\n\rreplace "
                             "some files. Do you want to update now?")) {
        return;
      }
      // Unsaved work is settled before the updater starts: once started it
      // replaces the program's files, so the program must close after it,
      // and a user who keeps the window open has no updater running.
      if (readyToClose_ && !readyToClose_()) return;
      launch_(updater, {baseUrl_, std::string(ProgramVersion), "A"});
      closeMainWindow_();
      return;
    }
  }
  if (!silent) messages_.Information("There's no new updates for this application!");
}

}  // namespace quorvane
