#include "support/TempFolder.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "base/ProgramFolder.h"

namespace quorvane {

TempFolder::TempFolder(bool asProgramFolder) : programFolder_(asProgramFolder) {
  std::string templ = (std::filesystem::temp_directory_path() / "quorvane-test-XXXXXX").string();
  if (mkdtemp(templ.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = templ;
  if (programFolder_) SetProgramFolder(path_);
}

TempFolder::~TempFolder() {
  if (programFolder_) SetProgramFolder({});
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

void TempFolder::Write(std::string_view name, std::string_view bytes) const {
  WriteFileBytes(File(name), bytes);
}

std::string TempFolder::Read(std::string_view name) const {
  return ReadFileBytes(File(name));
}

bool TempFolder::Exists(std::string_view name) const {
  return std::filesystem::exists(File(name));
}

std::set<std::string> TempFolder::Entries() const {
  return FolderEntries(path_);
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + path.string());
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::set<std::string> FolderEntries(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

}  // namespace quorvane
