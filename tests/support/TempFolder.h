#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <string_view>

namespace quorvane {

// A fresh temporary folder, removed with its content on destruction.
// With `asProgramFolder`, ProgramFolder() points at it for its lifetime.
class TempFolder {
 public:
  explicit TempFolder(bool asProgramFolder = false);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path File(std::string_view name) const { return path_ / name; }

  // Writes / reads a whole file in binary.
  void Write(std::string_view name, std::string_view bytes) const;
  std::string Read(std::string_view name) const;
  bool Exists(std::string_view name) const;
  // The names of what the folder holds now (see FolderEntries).
  std::set<std::string> Entries() const;

 private:
  std::filesystem::path path_;
  bool programFolder_;
};

// Whole-file helpers for tests.
std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes);

// The names of the entries of `folder`, files and folders alike, hidden
// ones included, not descending: what a test compares to see that nothing
// was left behind.
std::set<std::string> FolderEntries(const std::filesystem::path& folder);

}  // namespace quorvane
