#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "settings/AesLib.h"

namespace quorvane {

// The working copy dbsettings.sim in the program folder: the decrypted
// settings text while it is read or rewritten. It never outlives the object
// that stands for it, whichever way the operation ends. Making one also
// removes the temporary files of dbsettings.sim and dbsettings.dat that a
// killed save left behind.
class SettingsWorkingCopy {
 public:
  SettingsWorkingCopy();
  ~SettingsWorkingCopy();
  SettingsWorkingCopy(const SettingsWorkingCopy&) = delete;
  SettingsWorkingCopy& operator=(const SettingsWorkingCopy&) = delete;

  const std::filesystem::path& Path() const { return path_; }

  // The copy's text as lines. Throws FileError when it cannot be read.
  std::vector<std::string> ReadLines() const;
  // Writes the lines, CR LF after each. Throws FileError when it cannot.
  void WriteLines(const std::vector<std::string>& lines) const;
  // Deletes the copy; a failure is ignored (the next use overwrites it).
  void Remove() const;

 private:
  std::filesystem::path path_;
};

// The settings file dbsettings.dat decrypted through the working copy and
// read as lines. nullopt when the program folder holds no dbsettings.dat; no
// lines for a file that does not decrypt. `decrypted`, when given, receives
// how the decryption went. Throws FileError when the working copy cannot
// be made or read.
std::optional<std::vector<std::string>> ReadSettingsLines(CryptError* decrypted = nullptr);

}  // namespace quorvane
