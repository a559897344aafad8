#pragma once

#include <string>
#include <string_view>

#include "settings/AesLib.h"

namespace quorvane {

// The container on byte strings in memory.

// Returns the container of `plain` under `password` (fresh random salt).
// Throws std::invalid_argument for a password over 128 bytes.
std::string EncryptBytes(std::string_view plain, std::string_view password);

// Decrypts `container` into `plain` (cleared first) and returns None, or why
// it failed: WrongPassword and ShortSource leave `plain` empty, CodeMismatch
// leaves the damaged plaintext.
CryptError DecryptBytes(std::string_view container, std::string_view password, std::string& plain);

}  // namespace quorvane
