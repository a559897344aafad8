#include "base/ProgramFolder.h"

#include <system_error>

namespace quorvane {

namespace {

std::filesystem::path& OverrideFolder() {
  static std::filesystem::path folder;
  return folder;
}

std::filesystem::path ExecutableFolder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path();
  return exe.parent_path();
}

}  // namespace

std::filesystem::path ProgramFolder() {
  if (!OverrideFolder().empty()) return OverrideFolder();
  static const std::filesystem::path folder = ExecutableFolder();
  return folder;
}

std::filesystem::path ProgramFile(std::string_view name) {
  return ProgramFolder() / name;
}

void SetProgramFolder(const std::filesystem::path& folder) {
  OverrideFolder() = folder;
}

}  // namespace quorvane
