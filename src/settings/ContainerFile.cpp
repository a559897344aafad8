#include "settings/ContainerFile.h"

#include <cerrno>
#include <stdexcept>
#include <string>

#include "base/AtomicFileWriter.h"
#include "base/FileError.h"

namespace quorvane {

namespace {

void CheckPassword(std::string_view password) {
  if (password.size() > kMaxPasswordLength) {
    throw std::invalid_argument("password longer than 128 bytes");
  }
}

}  // namespace

SourceFile OpenSourceFile(const std::filesystem::path& path) {
  SourceFile file;
  errno = 0;
  file.stream.open(path, std::ios::in | std::ios::binary);
  if (!file.stream) throw FileError(path, "cannot open for reading", errno);
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    throw FileError(path, "cannot open for reading", EISDIR);
  }
  file.stream.seekg(0, std::ios::end);
  const auto end = file.stream.tellg();
  file.stream.seekg(0, std::ios::beg);
  if (!file.stream || end == std::streampos(-1)) throw FileError(path, "cannot read", EIO);
  file.size = static_cast<std::int64_t>(end);
  return file;
}

void EncryptContainerFile(const std::filesystem::path& source, const std::filesystem::path& target,
                          std::string_view password) {
  CheckPassword(password);
  SourceFile in = OpenSourceFile(source);
  AtomicFileWriter out(target);
  TEncryption crypt(std::string(password), kContainerBufferSize);
  if (!crypt.EncryptStream(in.stream, out.Stream())) {
    if (crypt.LastError() == CryptError::ReadFailed) throw FileError(source, "cannot read", EIO);
    throw FileError(target, "cannot write", out.WriteError());
  }
  out.Commit();
}

CryptError DecryptContainerFile(const std::filesystem::path& source,
                                const std::filesystem::path& target, std::string_view password) {
  CheckPassword(password);
  SourceFile in = OpenSourceFile(source);
  AtomicFileWriter out(target);
  TEncryption crypt(std::string(password), kContainerBufferSize);
  crypt.DecryptStream(in.stream, &out.Stream(), in.size);
  const CryptError result = crypt.LastError();
  switch (result) {
    case CryptError::None:
    case CryptError::CodeMismatch:
      out.Commit();
      return result;
    case CryptError::ReadFailed:
      throw FileError(source, "cannot read", EIO);
    case CryptError::WriteFailed:
      throw FileError(target, "cannot write", out.WriteError());
    default:
      return result;
  }
}

}  // namespace quorvane
