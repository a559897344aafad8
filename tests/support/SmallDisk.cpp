#include "support/SmallDisk.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "support/FileSizeLimit.h"
#include "support/PrivateMounts.h"

namespace quorvane {

namespace {

constexpr char kFiller[] = "filler";

}  // namespace

SmallDisk::SmallDisk(std::uintmax_t bytes) {
  std::string templ = (std::filesystem::temp_directory_path() / "quorvane-disk-XXXXXX").string();
  if (::mkdtemp(templ.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  root_ = templ;
  MountsArePrivate();  // before the first mount
  const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
  if (::mount("tmpfs", root_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0) {
    mounted_ = true;
  } else {
    why_ = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
  }
  folder_ = root_ / "folder";
  std::filesystem::create_directory(folder_);
}

SmallDisk::~SmallDisk() {
  limit_.reset();
  std::error_code ec;
  if (mounted_) {
    // Everything on it goes with it; MNT_DETACH also when a file is still open.
    ::umount2(root_.c_str(), MNT_DETACH);
  } else {
    std::filesystem::remove_all(folder_, ec);
    std::filesystem::remove(root_ / kFiller, ec);
  }
  std::filesystem::remove(root_, ec);
}

int SmallDisk::FullError() const {
  return mounted_ ? ENOSPC : EFBIG;
}

std::uintmax_t SmallDisk::FreeBytes() const {
  struct statvfs fs {};
  if (::statvfs(root_.c_str(), &fs) != 0) throw std::runtime_error("statvfs failed");
  return static_cast<std::uintmax_t>(fs.f_bavail) * fs.f_frsize;
}

void SmallDisk::Fill(std::uintmax_t bytes) {
  Unfill();
  if (!mounted_) {
    limit_ = std::make_unique<FileSizeLimit>(static_cast<rlim_t>(bytes));
    return;
  }
  const std::uintmax_t free = FreeBytes();
  if (free <= bytes) return;
  const int fd = ::open((root_ / kFiller).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) throw std::runtime_error("cannot create the filler");
  std::vector<char> block(64 * 1024, 'f');
  std::uintmax_t left = free - bytes;
  while (left > 0) {
    const auto n = static_cast<std::size_t>(std::min<std::uintmax_t>(left, block.size()));
    const ssize_t written = ::write(fd, block.data(), n);
    if (written <= 0) break;
    left -= static_cast<std::uintmax_t>(written);
  }
  ::close(fd);
  if (FreeBytes() > bytes) throw std::runtime_error("the filler did not fill the disk");
}

void SmallDisk::Unfill() {
  limit_.reset();
  std::error_code ec;
  std::filesystem::remove(root_ / kFiller, ec);
}

}  // namespace quorvane
