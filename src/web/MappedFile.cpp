#include "web/MappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace quorvane {

MappedFile::MappedFile(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  struct stat info {};
  if (::fstat(fd, &info) == 0) {
    if (info.st_size == 0) {
      ok_ = true;
    } else {
      void* data = ::mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ,
                          MAP_PRIVATE | MAP_POPULATE, fd, 0);
      if (data != MAP_FAILED) {
        data_ = data;
        size_ = static_cast<std::size_t>(info.st_size);
        ok_ = true;
      }
    }
  }
  ::close(fd);
}

MappedFile::~MappedFile() {
  if (data_ != nullptr) ::munmap(data_, size_);
}

MappedFile::MappedFile(MappedFile&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      ok_(std::exchange(other.ok_, false)) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
  if (this != &other) {
    if (data_ != nullptr) ::munmap(data_, size_);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    ok_ = std::exchange(other.ok_, false);
  }
  return *this;
}

}  // namespace quorvane
