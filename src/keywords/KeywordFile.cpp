#include "keywords/KeywordFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace quorvane {

namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

[[noreturn]] void ThrowFileError(const char* what, const std::filesystem::path& path) {
  throw std::system_error(errno, std::generic_category(),
                          std::string(what) + " the keyword list \"" + path.string() + "\"");
}

}  // namespace

std::vector<std::string> SplitKeywordLines(std::string_view bytes) {
  const std::size_t nul = bytes.find('\0');
  if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);

  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(bytes.substr(start));
      break;
    }
    lines.emplace_back(bytes.substr(start, end - start));
    start = end + 1;
    if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
  }
  return lines;
}

bool KeywordFileExists(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

std::optional<std::vector<std::string>> ReadKeywordFile(const std::filesystem::path& path) {
  // Some devices act on being opened; anything but a regular file is left
  // unopened.
  if (!KeywordFileExists(path)) return std::nullopt;
  // Without O_NONBLOCK a pipe swapped in meanwhile would hold the open
  // until some writer came.
  const FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (file.Get() < 0) {
    if (errno == ENOENT) return std::nullopt;  // gone since it was chosen
    ThrowFileError("Cannot open", path);
  }
  struct stat info {};
  if (fstat(file.Get(), &info) != 0) ThrowFileError("Cannot read", path);
  if (!S_ISREG(info.st_mode)) return std::nullopt;

  std::string bytes;
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = read(file.Get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      ThrowFileError("Cannot read", path);
    }
    if (got == 0) break;
    const auto size = static_cast<std::size_t>(got);
    if (const void* nul = std::memchr(buffer, '\0', size)) {
      bytes.append(buffer, static_cast<std::size_t>(static_cast<const char*>(nul) - buffer));
      break;
    }
    bytes.append(buffer, size);
  }
  return SplitKeywordLines(bytes);
}

}  // namespace quorvane
