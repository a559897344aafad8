#pragma once

#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>

namespace quorvane {

// A file that could not be opened, read, written or replaced. what() reads
// "<path>: <action>: <reason>", e.g. "/x/dbsettings.dat: cannot open for
// reading: No such file or directory".
class FileError : public std::system_error {
 public:
  FileError(std::filesystem::path path, std::string action, int errorNumber)
      : std::system_error(errorNumber != 0 ? errorNumber : EIO, std::generic_category(),
                          path.string() + ": " + action),
        path_(std::move(path)),
        action_(std::move(action)) {}

  const std::filesystem::path& Path() const { return path_; }
  const std::string& Action() const { return action_; }

 private:
  std::filesystem::path path_;
  std::string action_;
};

}  // namespace quorvane
