#include "base/UserFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "ProductIdentityValues.h"

namespace quorvane {

namespace {

std::filesystem::path HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') return home;
  // No usable HOME (a service, a stripped environment): the password
  // database knows the account's home.
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr)
    return entry->pw_dir;
  return "/";
}

std::filesystem::path BaseFolder(const char* variable, const char* fallbackBelowHome) {
  if (const char* value = std::getenv(variable); value != nullptr && value[0] == '/') return value;
  return HomeFolder() / fallbackBelowHome;
}

}  // namespace

std::string ProductFolderName() {
  return QUORVANE_IDENTITY_FOLDER;
}

std::filesystem::path UserConfigFolder() {
  return BaseFolder("XDG_CONFIG_HOME", ".config") / ProductFolderName();
}

std::filesystem::path UserStateFolder() {
  return BaseFolder("XDG_STATE_HOME", ".local/state") / ProductFolderName();
}

std::filesystem::path UserDataFolder() {
  return BaseFolder("XDG_DATA_HOME", ".local/share") / ProductFolderName();
}

bool CreateUserFolder(const std::filesystem::path& folder) {
  std::error_code ec;
  if (std::filesystem::is_directory(folder, ec)) return true;
  if (folder.has_parent_path() && folder.parent_path() != folder &&
      !CreateUserFolder(folder.parent_path()))
    return false;
  if (mkdir(folder.c_str(), 0700) == 0) return true;
  return errno == EEXIST && std::filesystem::is_directory(folder, ec);
}

}  // namespace quorvane
