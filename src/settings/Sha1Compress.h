#pragma once

#include <cstdint>

namespace quorvane {

// The SHA-1 compression function: folds one 64-byte message block into the
// five-word chaining value. The salt pool mixes its buffers with it.
// OpenSSL 3 no longer offers it without deprecation warnings, hence our own.
void Sha1Compress(std::uint32_t state[5], const unsigned char block[64]);

}  // namespace quorvane
