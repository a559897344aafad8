#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace quorvane {

class HttpClient;
class Messages;

// The live-update check: fetches the publisher's update descriptor,
// compares its version with the running program's and, with the user's
// consent, hands over to the updater program and closes the main window.
class LiveUpdate {
 public:
  // Starts a program detached, with its arguments; whether the start
  // succeeds is not reported.
  using Launcher = std::function<void(const std::filesystem::path& program,
                                      const std::vector<std::string>& args)>;

  static constexpr char kDescriptorName[] = "mainappupdate.inf";
  static constexpr char kUpdaterName[] = "Updater.exe";

  // `baseUrl` is the live-update base URL, ending in "/". Before the
  // updater starts, `readyToClose` (if given) settles what the closing
  // needs (unsaved work): false keeps the program running, updater unstarted.
  LiveUpdate(HttpClient& client, Messages& messages, std::string baseUrl, Launcher launch,
             std::function<void()> closeMainWindow, std::function<bool()> readyToClose = {});

  // `silent` hides only the "no update" answer; the questions and the
  // missing-updater warning are shown in both modes.
  void CheckUpdates(bool silent);

 private:
  HttpClient& client_;
  Messages& messages_;
  std::string baseUrl_;
  Launcher launch_;
  std::function<void()> closeMainWindow_;
  std::function<bool()> readyToClose_;
};

}  // namespace quorvane
