#pragma once

#include <cstddef>
#include <cstdint>

#include "settings/OpenSslHandles.h"

namespace quorvane {

// The state of one container operation: AES in counter mode with a 64-bit
// little-endian counter in bytes 0..7 of the counter block, and a running
// HMAC-SHA1 over the ciphertext. The keystream position carries over between
// calls, so the output does not depend on how the data is cut into chunks.
struct CipherContext {
  unsigned char counterBlock[16] = {};
  unsigned char keystreamBlock[16] = {};
  CipherCtxPtr aes;                      // AES-ECB encryption under the AES key: the block cipher
  MacCtxPtr hmac;                        // HMAC-SHA1 keyed with the HMAC key
  std::uint32_t keystreamPosition = 16;  // 16: the next byte needs a new block
  std::uint32_t passwordLength = 0;
  std::uint32_t mode = 0;
};

inline constexpr int kSetupOk = 0;
inline constexpr int kSetupPasswordTooLong = -100;
inline constexpr int kSetupBadMode = -101;
inline constexpr std::size_t kMaxPasswordLength = 128;
inline constexpr std::size_t kVerifierLength = 2;
inline constexpr std::size_t kCodeLength = 10;
inline constexpr int kPbkdf2Iterations = 1000;

// AES key length of a mode (1: 16, 2: 24, 3: 32), 0 for another mode.
std::size_t KeyLengthOfMode(int mode);
// Salt length of a mode (1: 8, 2: 12, 3: 16), 0 for another mode.
std::size_t SaltLengthOfMode(int mode);
// The mode a password of this many bytes selects.
int ModeForPasswordLength(std::size_t length);

// Derives 2K + 2 bytes with PBKDF2-HMAC-SHA1 (1000 iterations) and sets the
// context up: AES key, HMAC key, counter zero, position 16. Returns 0, or -100
// for a password over 128 bytes, -101 for a mode outside 1..3. Throws
// std::runtime_error only if OpenSSL itself fails.
int SetupKeys(int mode, const unsigned char* password, std::size_t passwordLength,
              const unsigned char* salt, unsigned char verifier[2], CipherContext& context);

// XORs `data` with the keystream in place, continuing at the context's
// keystream position. Whole blocks are made in batches with one AES call.
void ApplyKeystream(unsigned char* data, std::size_t length, CipherContext& context);

// Feeds bytes to the running HMAC.
void UpdateCode(const unsigned char* data, std::size_t length, CipherContext& context);
// Finishes the HMAC and writes its first 10 bytes.
void FinishCode(CipherContext& context, unsigned char code[10]);

}  // namespace quorvane
