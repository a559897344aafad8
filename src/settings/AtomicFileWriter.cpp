#include "settings/AtomicFileWriter.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "settings/FileError.h"

namespace {

std::filesystem::path FolderOf(const std::filesystem::path& target) {
  const auto parent = target.parent_path();
  return parent.empty() ? std::filesystem::path(".") : parent;
}

// The new file gets the old one's permission bits, or what a plain create
// would have given.
void CopyPermissions(int fd, const std::filesystem::path& target) {
  struct stat old {};
  mode_t mode;
  if (::stat(target.c_str(), &old) == 0) {
    mode = old.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  (void)::fchmod(fd, mode);
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target)
    : target_(std::move(target)), stream_(nullptr) {
  // Appended piecewise: g++ 12 at -O3 warns falsely (-Wrestrict) on "." + s + "...".
  std::string name(".");
  name.append(target_.filename().string()).append(".XXXXXX");
  std::string pattern = (FolderOf(target_) / name).string();
  const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) throw FileError(target_, "cannot create", errno);
  temp_ = pattern;
  CopyPermissions(fd, target_);
  buffer_ = std::make_unique<FileOutBuf>(fd);
  stream_.rdbuf(buffer_.get());
}

AtomicFileWriter::~AtomicFileWriter() {
  if (committed_) return;
  stream_.rdbuf(nullptr);
  buffer_.reset();
  ::unlink(temp_.c_str());
}

void AtomicFileWriter::Commit() {
  stream_.flush();
  if (!stream_ || buffer_->Error() != 0) throw FileError(target_, "cannot write", buffer_->Error());
  if (::fsync(buffer_->Fd()) != 0) throw FileError(target_, "cannot write", errno);
  if (!buffer_->Close()) throw FileError(target_, "cannot write", buffer_->Error());
  if (::rename(temp_.c_str(), target_.c_str()) != 0)
    throw FileError(target_, "cannot replace", errno);
  committed_ = true;
  // Make the rename itself durable; a folder that cannot be synced is no
  // reason to report the written file as lost.
  const int dir = ::open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    (void)::fsync(dir);
    ::close(dir);
  }
}
