#pragma once

#include <filesystem>
#include <memory>
#include <streambuf>
#include <vector>

namespace quorvane {

// An output stream buffer over a POSIX file descriptor that keeps the errno
// of the first failed write, so a caller can say why a file could not be
// written (std::ofstream forgets it). After a failure every write fails.
class FileOutBuf : public std::streambuf {
 public:
  // Creates or truncates `path` for writing; throws FileError.
  static std::unique_ptr<FileOutBuf> Create(const std::filesystem::path& path);

  explicit FileOutBuf(int fd);  // takes ownership
  ~FileOutBuf() override;       // flushes and closes; errors are dropped
  FileOutBuf(const FileOutBuf&) = delete;
  FileOutBuf& operator=(const FileOutBuf&) = delete;

  int Fd() const { return fd_; }
  // errno of the first failure, 0 while all went well.
  int Error() const { return error_; }
  // Flushes and closes; false (with Error() set) when anything failed.
  bool Close();

 protected:
  int_type overflow(int_type ch) override;
  std::streamsize xsputn(const char* data, std::streamsize count) override;
  int sync() override;

 private:
  bool Drain();
  bool WriteRaw(const char* data, std::size_t count);

  int fd_;
  int error_ = 0;
  std::vector<char> buffer_;
};

}  // namespace quorvane
