#include "base/AtomicFileWriter.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <string_view>

#include "base/AsciiText.h"
#include "base/FileError.h"

namespace quorvane {

namespace {

constexpr std::string_view kSuffix = ".tmp";
constexpr std::size_t kRandomLength = 6;  // the XXXXXX of mkostemps

std::filesystem::path FolderOf(const std::filesystem::path& target) {
  const auto parent = target.parent_path();
  return parent.empty() ? std::filesystem::path(".") : parent;
}

// "." + name + "." ; the temporary names are this, six random letters or
// digits and ".tmp".
std::string TemporaryPrefix(const std::filesystem::path& target) {
  // Appended piecewise: g++ 12 at -O3 warns falsely (-Wrestrict) on "." + s + "...".
  std::string prefix(".");
  prefix.append(target.filename().string()).append(".");
  return prefix;
}

bool IsTemporaryName(std::string_view name, std::string_view prefix) {
  if (name.size() != prefix.size() + kRandomLength + kSuffix.size()) return false;
  if (name.substr(0, prefix.size()) != prefix) return false;
  if (name.substr(name.size() - kSuffix.size()) != kSuffix) return false;
  for (const char c : name.substr(prefix.size(), kRandomLength)) {
    if (!IsAsciiAlnum(c)) return false;
  }
  return true;
}

bool SameFile(int fd, const std::filesystem::path& path) {
  struct stat open {};
  struct stat named {};
  return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 &&
         open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

// Links are followed one by one to the file they name, so that the link
// stays and its file is replaced; a name that is no link is kept as it
// is. In a sticky folder that everyone may write (/tmp), a link is
// followed only when it belongs to the user or to the folder's owner:
// another user's link there is a trap that would make the save replace a
// file of the trapper's choosing. The kernel applies the same rule to
// opens (protected_symlinks); a writer that resolves the link itself must
// apply it too.
std::filesystem::path FollowLink(const std::filesystem::path& target, std::error_code& ec) {
  constexpr int kMaxLinks = 40;  // the kernel's own limit
  ec.clear();
  std::filesystem::path path = target;
  for (int links = 0;; ++links) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
    if (links == kMaxLinks) {
      ec = std::make_error_code(std::errc::too_many_symbolic_link_levels);
      return {};
    }
    const std::filesystem::path folder = FolderOf(path);
    struct stat holder {};
    if (::stat(folder.c_str(), &holder) == 0 && (holder.st_mode & S_ISVTX) != 0 &&
        (holder.st_mode & S_IWOTH) != 0 && link.st_uid != ::geteuid() &&
        link.st_uid != holder.st_uid) {
      ec = std::make_error_code(std::errc::permission_denied);
      return {};
    }
    const std::filesystem::path next = std::filesystem::read_symlink(path, ec);
    if (ec) return {};
    path = next.is_absolute() ? next : folder / next;
  }
}

// The new file gets the old one's permission bits and group (and, for
// root, its owner) where the user may set them, or what a plain create
// would have given.
void CopyPermissions(int fd, const std::filesystem::path& target) {
  struct stat old {};
  mode_t mode;
  if (::stat(target.c_str(), &old) == 0) {
    mode = old.st_mode & 07777;
    // A change of owner or group clears the set-id bits: it goes first.
    // A group the user is not in stays the one a create gives.
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 &&
        ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
    }
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  (void)::fchmod(fd, mode);
}

}  // namespace

void AtomicFileWriter::RemoveStaleTemporaries(const std::filesystem::path& target) {
  std::error_code ec;
  const std::filesystem::path file = FollowLink(target, ec);
  if (ec) return;
  const std::string prefix = TemporaryPrefix(file);
  for (std::filesystem::directory_iterator it(FolderOf(file), ec), end; !ec && it != end;
       it.increment(ec)) {
    const auto& path = it->path();
    if (!IsTemporaryName(path.filename().native(), prefix)) continue;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    // Held: a writer at work. Removed only while we hold the lock and the
    // name still means the file we locked.
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && SameFile(fd, path)) ::unlink(path.c_str());
    ::close(fd);
  }
}

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target)
    : target_(std::move(target)), stream_(nullptr) {
  std::error_code ec;
  file_ = FollowLink(target_, ec);
  if (ec) throw FileError(target_, "cannot create", ec.value());
  RemoveStaleTemporaries(file_);
  const std::string base =
      (FolderOf(file_) / TemporaryPrefix(file_)).string() + "XXXXXX" + std::string(kSuffix);
  int fd = -1;
  // Another writer's sweep may take a new file before it is locked; then
  // the name is gone once the lock is ours, and a fresh name is drawn.
  for (int attempt = 0; fd < 0; ++attempt) {
    std::string pattern = base;
    fd = ::mkostemps(pattern.data(), static_cast<int>(kSuffix.size()), O_CLOEXEC);
    if (fd < 0) throw FileError(target_, "cannot create", errno);
    temp_ = pattern;
    // A file system without locks still gets its file written; only the
    // sweep of leftovers cannot tell them apart there and keeps them.
    if (::flock(fd, LOCK_EX) != 0 || SameFile(fd, temp_)) break;
    ::close(fd);
    fd = -1;
    if (attempt == 100) throw FileError(target_, "cannot create", EEXIST);
  }
  lock_ = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  CopyPermissions(fd, file_);
  buffer_ = std::make_unique<FileOutBuf>(fd);
  stream_.rdbuf(buffer_.get());
}

AtomicFileWriter::~AtomicFileWriter() {
  if (!committed_) {
    stream_.rdbuf(nullptr);
    buffer_.reset();
    ::unlink(temp_.c_str());
  }
  ReleaseLock();
}

void AtomicFileWriter::ReleaseLock() {
  if (lock_ >= 0) ::close(lock_);
  lock_ = -1;
}

void AtomicFileWriter::Commit() {
  stream_.flush();
  if (!stream_ || buffer_->Error() != 0) throw FileError(target_, "cannot write", buffer_->Error());
  if (::fsync(buffer_->Fd()) != 0) throw FileError(target_, "cannot write", errno);
  if (!buffer_->Close()) throw FileError(target_, "cannot write", buffer_->Error());
  if (::rename(temp_.c_str(), file_.c_str()) != 0)
    throw FileError(target_, "cannot replace", errno);
  committed_ = true;
  ReleaseLock();
  // Make the rename itself durable; a folder that cannot be synced is no
  // reason to report the written file as lost.
  const int dir = ::open(FolderOf(file_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    (void)::fsync(dir);
    ::close(dir);
  }
}

std::error_code WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
  try {
    AtomicFileWriter out(path);
    out.Stream().write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.Commit();
  } catch (const FileError& error) {
    return error.code();
  }
  return {};
}

}  // namespace quorvane
