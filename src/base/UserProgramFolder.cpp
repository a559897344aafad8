#include "base/UserProgramFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <system_error>
#include <vector>

#include "base/AtomicFileWriter.h"
#include "base/UserFolders.h"

namespace quorvane {

namespace fs = std::filesystem;

namespace {

constexpr char kRecordName[] = ".brand-files";
constexpr char kOldRecordName[] = ".installed-files";

// Tells changed files apart; nothing here needs to resist a forger, who
// could change the user's files directly.
std::uint64_t ContentHash(const std::string& bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const unsigned char c : bytes) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

std::string HashText(std::uint64_t hash) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

std::optional<std::string> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

// name -> hash text, from "<hash> <name>" lines; anything else is skipped.
std::map<std::string, std::string> ReadRecord(const fs::path& path) {
  std::map<std::string, std::string> record;
  std::istringstream lines(ReadBytes(path).value_or(""));
  std::string line;
  while (std::getline(lines, line)) {
    if (line.size() > 17 && line[16] == ' ') record[line.substr(17)] = line.substr(0, 16);
  }
  return record;
}

// The installed data files, relative to `installed`, sorted. Hidden names
// are left out: the user's folder keeps its own records under them.
std::vector<std::string> InstalledFiles(const fs::path& installed) {
  std::vector<std::string> names;
  std::error_code ec;
  if (!fs::is_directory(installed, ec)) return names;
  for (auto it = fs::recursive_directory_iterator(installed, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!name.empty() && name[0] == '.') {
      if (it->is_directory(ec)) it.disable_recursion_pending();
      continue;
    }
    if (it->is_regular_file(ec)) names.push_back(it->path().lexically_relative(installed).string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// An earlier launcher copied the whole installed folder, the executables
// too, and listed what it copied as "<sha256> ./<name>" lines. The data
// files stay (the copy below takes them over); the programs go, since
// nothing would ever update or remove them.
void RemoveOldLauncherCopies(const fs::path& user) {
  const fs::path record = user / kOldRecordName;
  std::error_code ec;
  if (!fs::exists(record, ec)) return;
  std::istringstream lines(ReadBytes(record).value_or(""));
  std::string line;
  while (std::getline(lines, line)) {
    const auto at = line.find(" ./");
    if (at == std::string::npos) continue;
    const fs::path copy = user / line.substr(at + 3);
    fs::remove(copy.string() + ".installing", ec);
    struct stat info {};
    if (::lstat(copy.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & 0111) != 0)
      fs::remove(copy, ec);
  }
  fs::remove(user / (std::string(kOldRecordName) + ".new"), ec);
  fs::remove(record, ec);
}

class FolderLock {
 public:
  explicit FolderLock(const fs::path& folder)
      : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ < 0) {
      error_ = errno;
      return;
    }
    while (::flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        error_ = errno;
        return;
      }
    }
  }
  ~FolderLock() {
    if (fd_ >= 0) ::close(fd_);  // lets the lock go
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  int Error() const { return error_; }

 private:
  int fd_;
  int error_ = 0;
};

std::string Reason(int error) {
  return std::strerror(error != 0 ? error : EIO);
}

}  // namespace

UserProgramFolder PrepareUserProgramFolder(const fs::path& installed, const fs::path& user) {
  const std::string fallback = "; starting with the installed files, which cannot be changed";
  if (!CreateUserFolder(user)) {
    return {installed,
            "cannot make the folder " + user.string() + " (" + Reason(errno) + ")" + fallback};
  }
  const FolderLock lock(user);
  if (lock.Error() != 0)
    return {installed, "cannot use the folder " + user.string() + " (" + Reason(lock.Error()) +
                           ")" + fallback};

  const fs::path recordPath = user / kRecordName;
  AtomicFileWriter::RemoveStaleTemporaries(recordPath);
  RemoveOldLauncherCopies(user);
  const auto old = ReadRecord(recordPath);
  std::map<std::string, std::string> record;
  std::string problem;

  for (const auto& name : InstalledFiles(installed)) {
    const fs::path copy = user / name;
    AtomicFileWriter::RemoveStaleTemporaries(copy);
    const auto recorded = old.find(name);
    if (!problem.empty()) {
      // Not looked at: what the record said still holds.
      if (recorded != old.end()) record[name] = recorded->second;
      continue;
    }
    const auto bytes = ReadBytes(installed / name);
    if (!bytes) {
      problem = "cannot read " + (installed / name).string();
      if (recorded != old.end()) record[name] = recorded->second;
      continue;
    }
    const std::string hash = HashText(ContentHash(*bytes));
    std::error_code ec;
    const bool present = fs::exists(fs::symlink_status(copy, ec));
    // Without a record (a folder an earlier launcher filled) a present
    // file is kept: it may carry what the program wrote into it.
    const bool changed = recorded != old.end() && recorded->second != hash;
    if (!present || changed) {
      std::error_code error;
      if (!CreateUserFolder(copy.parent_path())) error.assign(errno, std::generic_category());
      if (!error) error = WriteFileAtomically(copy, *bytes);
      if (error) {
        problem =
            "cannot copy " + name + " into " + user.string() + " (" + Reason(error.value()) + ")";
        if (recorded != old.end()) record[name] = recorded->second;
        continue;
      }
    }
    record[name] = hash;
  }

  if (problem.empty()) {
    // Files the package no longer has: the copy goes unless it was changed.
    for (const auto& [name, hash] : old) {
      if (record.count(name) > 0) continue;
      const fs::path copy = user / name;
      const auto bytes = ReadBytes(copy);
      std::error_code ec;
      if (bytes && HashText(ContentHash(*bytes)) == hash) fs::remove(copy, ec);
    }
  }

  std::string text;
  for (const auto& [name, hash] : record) text += hash + " " + name + "\n";
  if (const auto error = WriteFileAtomically(recordPath, text); error && problem.empty())
    problem = "cannot write " + recordPath.string() + " (" + Reason(error.value()) + ")";

  if (!problem.empty()) problem += "; starting with the files already there";
  return {user, problem};
}

}  // namespace quorvane
