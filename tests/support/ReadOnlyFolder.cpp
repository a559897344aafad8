#include "support/ReadOnlyFolder.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "support/PrivateMounts.h"

namespace quorvane {

namespace {

std::string Reason(const char* what) {
  return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

ReadOnlyFolder::ReadOnlyFolder(std::filesystem::path folder) : folder_(std::move(folder)) {
  MountsArePrivate();  // before the first mount
  const char* path = folder_.c_str();
  if (::mount(path, path, nullptr, MS_BIND, nullptr) == 0) {
    mounted_ = true;
    if (::mount(nullptr, path, nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
      why_ = Reason("cannot remount the bind mount read-only");
      Undo();
      return;
    }
  } else {
    why_ = Reason("cannot bind-mount the folder");
    struct stat st {};
    if (::stat(path, &st) != 0 || ::chmod(path, 0555) != 0) {
      why_ += "; " + Reason("cannot change its permissions");
      return;
    }
    savedMode_ = st.st_mode & 07777;
    chmodded_ = true;
  }

  const auto probe = folder_ / ".read-only-probe";
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd >= 0) {
    ::close(fd);
    ::unlink(probe.c_str());
    why_ += "; the folder still takes files (permission bits do not bind root)";
    Undo();
    return;
  }
  active_ = true;
  why_.clear();
}

ReadOnlyFolder::~ReadOnlyFolder() {
  Undo();
}

void ReadOnlyFolder::Undo() {
  if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  if (chmodded_) ::chmod(folder_.c_str(), savedMode_);
  mounted_ = chmodded_ = false;
}

}  // namespace quorvane
