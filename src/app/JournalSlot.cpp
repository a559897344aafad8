#include "app/JournalSlot.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <system_error>
#include <utility>

#include "base/AtomicFileWriter.h"
#include "base/UserFolders.h"

namespace quorvane {

namespace {

constexpr const char* kJournalExtension = ".journal";
constexpr const char* kLockExtension = ".lock";

std::string NewId() {
  std::random_device random;
  char suffix[9];
  std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(random()));
  return std::to_string(::getpid()) + "-" + suffix;
}

// The lock file opened for locking: never followed through a link, never
// handed to a program this one starts (an updater would hold the lock on).
int OpenLock(const std::filesystem::path& path) {
  return ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
}

// True when `fd` is still the file that `path` names: another program
// that removed the lock file between our open and our lock leaves us a
// lock on a file nobody else can find.
bool StillNamed(int fd, const std::filesystem::path& path) {
  struct stat open {};
  struct stat named {};
  return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 &&
         open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

}  // namespace

std::filesystem::path JournalFolder() {
  return UserStateFolder() / "journals";
}

JournalSlot::JournalSlot(std::filesystem::path journal, std::filesystem::path lock, int fd)
    : journal_(std::move(journal)), lock_(std::move(lock)), fd_(fd) {}

JournalSlot::JournalSlot(JournalSlot&& other) noexcept
    : journal_(std::move(other.journal_)),
      lock_(std::move(other.lock_)),
      fd_(std::exchange(other.fd_, -1)) {}

JournalSlot& JournalSlot::operator=(JournalSlot&& other) noexcept {
  if (this != &other) {
    Release();
    journal_ = std::move(other.journal_);
    lock_ = std::move(other.lock_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

JournalSlot::~JournalSlot() {
  Release();
}

void JournalSlot::Release() {
  if (fd_ >= 0) ::close(fd_);  // closing lets the lock go
  fd_ = -1;
}

std::optional<JournalSlot> JournalSlot::Open(const std::filesystem::path& folder) {
  if (!CreateUserFolder(folder)) return std::nullopt;
  for (int attempt = 0; attempt < 8; ++attempt) {
    const std::string id = NewId();
    const auto lock = folder / (id + kLockExtension);
    const auto journal = folder / (id + kJournalExtension);
    std::error_code ec;
    if (std::filesystem::exists(lock, ec) || std::filesystem::exists(journal, ec)) continue;
    const int fd = OpenLock(lock);
    if (fd < 0) return std::nullopt;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && StillNamed(fd, lock))
      return JournalSlot(journal, lock, fd);
    ::close(fd);
  }
  return std::nullopt;
}

std::vector<JournalSlot> JournalSlot::Orphans(const std::filesystem::path& folder) {
  std::vector<std::pair<std::filesystem::file_time_type, JournalSlot>> found;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    const auto& path = it->path();
    const std::string extension = path.extension().string();
    if (extension != kJournalExtension && extension != kLockExtension) continue;
    auto lock = path;
    lock.replace_extension(kLockExtension);
    auto journal = path;
    journal.replace_extension(kJournalExtension);
    // Each slot once: through its journal, or through a lock file alone.
    std::error_code exists;
    if (extension == kLockExtension && std::filesystem::exists(journal, exists)) continue;
    const int fd = OpenLock(lock);
    if (fd < 0) continue;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !StillNamed(fd, lock)) {
      ::close(fd);  // a running program's slot, or one another start took first
      continue;
    }
    JournalSlot slot(journal, lock, fd);
    std::error_code time;
    const auto written = std::filesystem::last_write_time(journal, time);
    if (time) {
      slot.Remove();  // a lock file alone: what a program left before its first journal
      continue;
    }
    found.emplace_back(written, std::move(slot));
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<JournalSlot> slots;
  for (auto& [time, slot] : found) slots.push_back(std::move(slot));
  return slots;
}

void JournalSlot::Remove() {
  if (journal_.empty()) return;
  std::error_code ec;
  std::filesystem::remove(journal_, ec);
  AtomicFileWriter::RemoveStaleTemporaries(journal_);
  // The lock file goes while we still hold it, so nobody takes the slot
  // in between.
  std::filesystem::remove(lock_, ec);
  Release();
  journal_.clear();
}

std::optional<std::filesystem::path> JournalSlot::SetAside() {
  auto target = journal_;
  target.replace_extension(".unreadable");
  std::error_code ec;
  for (int n = 2; std::filesystem::exists(target, ec); ++n) {
    target = journal_;
    target.replace_extension(".unreadable-" + std::to_string(n));
  }
  std::filesystem::rename(journal_, target, ec);
  if (ec) return std::nullopt;
  AtomicFileWriter::RemoveStaleTemporaries(journal_);
  std::filesystem::remove(lock_, ec);
  Release();
  journal_.clear();
  return target;
}

}  // namespace quorvane
