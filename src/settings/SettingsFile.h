#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "settings/AesLib.h"

namespace quorvane {

// The password of the brand settings file: ten bytes, so mode 1 (AES-128,
// 8-byte salt) and a container 20 bytes longer than the settings text.
inline constexpr std::string_view kSettingsPassword = "zedizoreri";
inline constexpr std::uint32_t kSettingsBufferSize = 0x40000;

// Decrypts the settings container `source` into `target`, creating or
// truncating it. A file that does not decrypt is not an error here: a wrong
// password leaves `target` empty, damaged data leaves the damaged text; the
// result says which, for a caller that reports it. Throws FileError when the
// source cannot be opened (then no target is created) or the target cannot
// be created or written (a full disk).
CryptError DecryptSettingsFile(const std::filesystem::path& source,
                               const std::filesystem::path& target);

// Encrypts the plain settings file `source` into `target` under the settings
// password. The target is replaced in one rename once the whole container is
// written and synced, so a failure never leaves it truncated. Throws
// FileError when the source cannot be opened or the container cannot be
// written; the old target is then unchanged.
void EncryptSettingsFile(const std::filesystem::path& source, const std::filesystem::path& target);

}  // namespace quorvane
