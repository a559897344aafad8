#include "app/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string>

namespace quorvane {

namespace {

std::error_code LastError() {
  return {errno, std::generic_category()};
}

// Opens a new file beside `target` under a name no other file has.
int OpenTemporary(const std::filesystem::path& target, std::filesystem::path& temporary) {
  std::random_device seed;
  std::mt19937 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = target;
    temporary += ".tmp" + std::to_string(random() % 1000000);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

std::error_code WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

}  // namespace

std::error_code WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
  std::error_code ec;
  std::filesystem::path target = path;
  if (std::filesystem::symlink_status(path, ec).type() == std::filesystem::file_type::symlink) {
    target = std::filesystem::weakly_canonical(path, ec);
    if (ec) return ec;
  }

  std::filesystem::path temporary;
  const int fd = OpenTemporary(target, temporary);
  if (fd < 0) return LastError();

  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0) ::fchmod(fd, existing.st_mode & 07777);

  ec = WriteAll(fd, bytes);
  if (!ec && ::fsync(fd) != 0) ec = LastError();
  if (::close(fd) != 0 && !ec) ec = LastError();
  if (!ec && ::rename(temporary.c_str(), target.c_str()) != 0) ec = LastError();
  if (ec) ::unlink(temporary.c_str());
  return ec;
}

}  // namespace quorvane
