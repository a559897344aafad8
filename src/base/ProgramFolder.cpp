#include "base/ProgramFolder.h"

#include <system_error>

namespace quorvane {

namespace {

std::filesystem::path& OverrideFolder() {
  static std::filesystem::path folder;
  return folder;
}

std::filesystem::path& HelperOverride() {
  static std::filesystem::path folder;
  return folder;
}

std::filesystem::path FindExecutableFolder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path();
  return exe.parent_path();
}

}  // namespace

std::filesystem::path ExecutableFolder() {
  static const std::filesystem::path folder = FindExecutableFolder();
  return folder;
}

std::filesystem::path ProgramFolder() {
  if (!OverrideFolder().empty()) return OverrideFolder();
  return ExecutableFolder();
}

std::filesystem::path ProgramFile(std::string_view name) {
  return ProgramFolder() / name;
}

void SetProgramFolder(const std::filesystem::path& folder) {
  OverrideFolder() = folder;
}

std::filesystem::path HelperFolder() {
  if (!HelperOverride().empty()) return HelperOverride();
  return ProgramFolder();
}

std::filesystem::path HelperFile(std::string_view name) {
  return HelperFolder() / name;
}

void SetHelperFolder(const std::filesystem::path& folder) {
  HelperOverride() = folder;
}

}  // namespace quorvane
