#include "settings/CipherContext.h"

#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/params.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace quorvane {

namespace {

// Keystream blocks made per AES call: large enough to keep the AES pipeline
// busy, small enough to stay on the stack and in L1.
constexpr std::size_t kBatchBlocks = 256;
constexpr std::size_t kBlock = 16;

std::uint64_t LoadLittleEndian64(const unsigned char* p) {
  std::uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

void StoreLittleEndian64(unsigned char* p, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

void XorWords(unsigned char* data, const unsigned char* stream, std::size_t length) {
  // length is a multiple of 16; memcpy keeps unaligned access well-defined.
  for (std::size_t i = 0; i < length; i += 16) {
    std::uint64_t d0, d1, s0, s1;
    std::memcpy(&d0, data + i, 8);
    std::memcpy(&d1, data + i + 8, 8);
    std::memcpy(&s0, stream + i, 8);
    std::memcpy(&s1, stream + i + 8, 8);
    d0 ^= s0;
    d1 ^= s1;
    std::memcpy(data + i, &d0, 8);
    std::memcpy(data + i + 8, &d1, 8);
  }
}

void EncryptBlocks(CipherContext& context, const unsigned char* in, unsigned char* out,
                   std::size_t length) {
  int written = 0;
  if (EVP_EncryptUpdate(context.aes.get(), out, &written, in, static_cast<int>(length)) != 1 ||
      static_cast<std::size_t>(written) != length) {
    throw std::runtime_error("AES block encryption failed");
  }
}

EVP_MAC* HmacAlgorithm() {
  static const MacPtr mac(EVP_MAC_fetch(nullptr, "HMAC", nullptr));
  if (!mac) throw std::runtime_error("HMAC is not available");
  return mac.get();
}

const EVP_CIPHER* AesEcbOfKeyLength(std::size_t keyLength) {
  switch (keyLength) {
    case 16:
      return EVP_aes_128_ecb();
    case 24:
      return EVP_aes_192_ecb();
    default:
      return EVP_aes_256_ecb();
  }
}

}  // namespace

std::size_t KeyLengthOfMode(int mode) {
  switch (mode) {
    case 1:
      return 16;
    case 2:
      return 24;
    case 3:
      return 32;
    default:
      return 0;
  }
}

std::size_t SaltLengthOfMode(int mode) {
  return KeyLengthOfMode(mode) / 2;
}

int ModeForPasswordLength(std::size_t length) {
  if (length < 32) return 1;
  if (length < 48) return 2;
  return 3;
}

int SetupKeys(int mode, const unsigned char* password, std::size_t passwordLength,
              const unsigned char* salt, unsigned char verifier[2], CipherContext& context) {
  if (passwordLength > kMaxPasswordLength) return kSetupPasswordTooLong;
  const std::size_t keyLength = KeyLengthOfMode(mode);
  if (keyLength == 0) return kSetupBadMode;

  context.mode = static_cast<std::uint32_t>(mode);
  context.passwordLength = static_cast<std::uint32_t>(passwordLength);

  unsigned char material[2 * 32 + 2];
  const std::size_t materialLength = 2 * keyLength + kVerifierLength;
  static const char kEmpty[1] = {0};
  const char* pass = passwordLength == 0 ? kEmpty : reinterpret_cast<const char*>(password);
  if (PKCS5_PBKDF2_HMAC(pass, static_cast<int>(passwordLength), salt,
                        static_cast<int>(SaltLengthOfMode(mode)), kPbkdf2Iterations, EVP_sha1(),
                        static_cast<int>(materialLength), material) != 1) {
    throw std::runtime_error("PBKDF2 key derivation failed");
  }

  context.keystreamPosition = kBlock;
  std::memset(context.counterBlock, 0, sizeof context.counterBlock);
  std::memset(context.keystreamBlock, 0, sizeof context.keystreamBlock);

  CipherCtxPtr aes(EVP_CIPHER_CTX_new());
  if (!aes || EVP_EncryptInit_ex2(aes.get(), AesEcbOfKeyLength(keyLength), material, nullptr,
                                  nullptr) != 1) {
    OPENSSL_cleanse(material, sizeof material);
    throw std::runtime_error("AES key set-up failed");
  }
  EVP_CIPHER_CTX_set_padding(aes.get(), 0);

  MacCtxPtr hmac(EVP_MAC_CTX_new(HmacAlgorithm()));
  char digest[] = "SHA1";
  const OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
                               OSSL_PARAM_construct_end()};
  if (!hmac || EVP_MAC_init(hmac.get(), material + keyLength, keyLength, params) != 1) {
    OPENSSL_cleanse(material, sizeof material);
    throw std::runtime_error("HMAC key set-up failed");
  }

  context.aes = std::move(aes);
  context.hmac = std::move(hmac);
  verifier[0] = material[2 * keyLength];
  verifier[1] = material[2 * keyLength + 1];
  OPENSSL_cleanse(material, sizeof material);
  return kSetupOk;
}

void ApplyKeystream(unsigned char* data, std::size_t length, CipherContext& context) {
  if (!context.aes) throw std::logic_error("keystream used before key set-up");

  // Rest of the current keystream block.
  while (length > 0 && context.keystreamPosition < kBlock) {
    *data++ ^= context.keystreamBlock[context.keystreamPosition++];
    --length;
  }
  if (length == 0) return;

  std::uint64_t counter = LoadLittleEndian64(context.counterBlock);
  alignas(16) unsigned char counters[kBatchBlocks * kBlock];
  alignas(16) unsigned char stream[kBatchBlocks * kBlock];

  // Whole blocks: fill a batch of counter blocks, encrypt them in one call.
  while (length >= kBlock) {
    const std::size_t blocks = std::min(length / kBlock, kBatchBlocks);
    for (std::size_t i = 0; i < blocks; ++i) {
      StoreLittleEndian64(counters + i * kBlock, ++counter);
      std::memcpy(counters + i * kBlock + 8, context.counterBlock + 8, 8);
    }
    const std::size_t bytes = blocks * kBlock;
    EncryptBlocks(context, counters, stream, bytes);
    XorWords(data, stream, bytes);
    std::memcpy(context.keystreamBlock, stream + bytes - kBlock, kBlock);
    data += bytes;
    length -= bytes;
  }
  StoreLittleEndian64(context.counterBlock, counter);

  // A partial last block: keep its keystream for the next call.
  if (length > 0) {
    StoreLittleEndian64(context.counterBlock, ++counter);
    EncryptBlocks(context, context.counterBlock, context.keystreamBlock, kBlock);
    for (std::size_t i = 0; i < length; ++i) data[i] ^= context.keystreamBlock[i];
    context.keystreamPosition = static_cast<std::uint32_t>(length);
  } else {
    context.keystreamPosition = kBlock;
  }
  OPENSSL_cleanse(stream, sizeof stream);
}

void UpdateCode(const unsigned char* data, std::size_t length, CipherContext& context) {
  if (!context.hmac) throw std::logic_error("authentication code used before key set-up");
  if (length > 0 && EVP_MAC_update(context.hmac.get(), data, length) != 1) {
    throw std::runtime_error("HMAC update failed");
  }
}

void FinishCode(CipherContext& context, unsigned char code[10]) {
  if (!context.hmac) throw std::logic_error("authentication code used before key set-up");
  unsigned char full[EVP_MAX_MD_SIZE];
  std::size_t written = 0;
  if (EVP_MAC_final(context.hmac.get(), full, &written, sizeof full) != 1 ||
      written < kCodeLength) {
    throw std::runtime_error("HMAC final failed");
  }
  std::memcpy(code, full, kCodeLength);
}

}  // namespace quorvane
