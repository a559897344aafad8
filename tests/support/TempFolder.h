#pragma once

#include <filesystem>
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

 private:
  std::filesystem::path path_;
  bool programFolder_;
};

// Whole-file helpers for tests.
std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes);

}  // namespace quorvane
