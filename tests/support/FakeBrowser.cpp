#include "support/FakeBrowser.h"

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <thread>

namespace quorvane {

namespace fs = std::filesystem;

FakeBrowser* FakeBrowser::OfThisProcess(Kind kind) {
  static std::unique_ptr<FakeBrowser> desktop;
  if (!desktop) desktop.reset(new FakeBrowser(kind));
  return desktop->kind_ == kind ? desktop.get() : nullptr;
}

FakeBrowser::FakeBrowser(Kind kind) : kind_(kind) {
  for (const char* name : {"XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION"})
    unsetenv(name);
  setenv("XDG_CONFIG_HOME", desktop_.File("config").c_str(), 1);
  setenv("XDG_DATA_HOME", desktop_.File("data").c_str(), 1);
  setenv("XDG_CONFIG_DIRS", desktop_.File("none").c_str(), 1);
  setenv("XDG_DATA_DIRS", desktop_.File("none").c_str(), 1);
  setenv("RECORD_FILE", desktop_.File("record").c_str(), 1);
  fs::create_directories(desktop_.File("config"));
  fs::create_directories(desktop_.File("data/applications"));
  desktop_.Write("browser",
                 "#!/bin/sh\nprintf '%s' \"$1\" > \"$RECORD_FILE.tmp\"\n"
                 "mv \"$RECORD_FILE.tmp\" \"$RECORD_FILE\"\n");
  fs::permissions(desktop_.File("browser"), fs::perms::owner_all);
  desktop_.Write("data/applications/fake.desktop", "[Desktop Entry]\nType=Application\nExec=" +
                                                       desktop_.File("browser").string() + " %u\n");
  if (kind == Kind::kRegistered) {
    desktop_.Write("config/mimeapps.list",
                   "[Default Applications]\nx-scheme-handler/http=fake.desktop\n");
  }
}

std::optional<std::string> FakeBrowser::Opened(std::chrono::milliseconds wait) {
  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (std::chrono::steady_clock::now() < deadline) {
    if (desktop_.Exists("record")) {
      std::string address = desktop_.Read("record");
      fs::remove(desktop_.File("record"));
      return address;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return std::nullopt;
}

}  // namespace quorvane
