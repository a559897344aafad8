#include "base/FileOutBuf.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/FileError.h"

namespace quorvane {

namespace {
constexpr std::size_t kBufferSize = 64 * 1024;
}

std::unique_ptr<FileOutBuf> FileOutBuf::Create(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) throw FileError(path, "cannot create", errno);
  return std::make_unique<FileOutBuf>(fd);
}

FileOutBuf::FileOutBuf(int fd) : fd_(fd), buffer_(kBufferSize) {
  setp(buffer_.data(), buffer_.data() + buffer_.size());
}

FileOutBuf::~FileOutBuf() {
  Close();
}

bool FileOutBuf::WriteRaw(const char* data, std::size_t count) {
  if (error_ != 0) return false;
  if (fd_ < 0) {
    error_ = EBADF;
    return false;
  }
  while (count > 0) {
    const ssize_t n = ::write(fd_, data, count);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error_ = n < 0 ? errno : EIO;
      return false;
    }
    data += n;
    count -= static_cast<std::size_t>(n);
  }
  return true;
}

bool FileOutBuf::Drain() {
  const std::size_t pending = static_cast<std::size_t>(pptr() - pbase());
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  return pending == 0 || WriteRaw(buffer_.data(), pending);
}

FileOutBuf::int_type FileOutBuf::overflow(int_type ch) {
  if (!Drain()) return traits_type::eof();
  if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
  *pptr() = traits_type::to_char_type(ch);
  pbump(1);
  return ch;
}

std::streamsize FileOutBuf::xsputn(const char* data, std::streamsize count) {
  if (error_ != 0 || count <= 0) return 0;
  const auto n = static_cast<std::size_t>(count);
  const auto room = static_cast<std::size_t>(epptr() - pptr());
  if (n <= room) {
    std::memcpy(pptr(), data, n);
    pbump(static_cast<int>(n));
    return count;
  }
  if (!Drain()) return 0;
  if (n >= buffer_.size()) return WriteRaw(data, n) ? count : 0;
  std::memcpy(pptr(), data, n);
  pbump(static_cast<int>(n));
  return count;
}

int FileOutBuf::sync() {
  return Drain() ? 0 : -1;
}

bool FileOutBuf::Close() {
  if (fd_ < 0) return error_ == 0;
  Drain();
  if (::close(fd_) != 0 && error_ == 0) error_ = errno;
  fd_ = -1;
  return error_ == 0;
}

}  // namespace quorvane
