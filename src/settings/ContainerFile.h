#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "settings/AesLib.h"

namespace quorvane {

// Chunk size of the file routines: 256 KiB through one work buffer.
inline constexpr std::uint32_t kContainerBufferSize = 0x40000;

struct SourceFile {
  std::ifstream stream;
  std::int64_t size = 0;
};

// Opens a file for reading in binary and measures it; throws FileError with
// the reason (missing, no permission, a folder).
SourceFile OpenSourceFile(const std::filesystem::path& path);

// Encrypts the file `source` into a container file `target` under `password`.
// The target is replaced only once the whole container is on disk; on any
// failure the old target stays as it was. Throws FileError for file errors,
// std::invalid_argument for a password over 128 bytes.
void EncryptContainerFile(const std::filesystem::path& source, const std::filesystem::path& target,
                          std::string_view password);

// Decrypts the container file `source` into `target` under `password`.
// Returns None, CodeMismatch (damaged: the plaintext is written all the
// same), WrongPassword or ShortSource (target left as it was). The target is
// replaced only once all plaintext is on disk. Throws FileError for file
// errors, std::invalid_argument for a password over 128 bytes.
CryptError DecryptContainerFile(const std::filesystem::path& source,
                                const std::filesystem::path& target, std::string_view password);

}  // namespace quorvane
