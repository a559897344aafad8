#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "settings/CipherContext.h"
#include "settings/SaltPool.h"

namespace quorvane {

// The encrypted file container: WinZip-AES entry data without ZIP headers.
//   salt (8/12/16) | verifier (2) | ciphertext (N) | HMAC-SHA1 code (10)
// The mode, hence key and salt length, follows from the password length.
//
// Streams are std::istream / std::ostream: files, strings and test doubles all
// fit, and a failing stream shows up as a stream state rather than an
// exception the caller must know about.

// Why the last stream operation failed; the boolean results alone cannot tell
// a wrong password from damaged data, which the brand tool reports apart.
enum class CryptError {
  None,
  PasswordTooLong,  // over 128 bytes: nothing read, nothing written
  ShortSource,      // total length below salt + verifier + code: nothing written
  WrongPassword,    // verifier mismatch: nothing written
  ReadFailed,       // the source failed or ended before the given length
  WriteFailed,      // the target refused data
  CodeMismatch,     // plaintext written, authentication code differs
};

// Codes passed to the progress handler.
enum ProgressCode : int {
  kProgressDecryptStart = 1,  // value: the source's size, negated
  kProgressEncryptRead = 4,   // value: plaintext bytes read so far
  kProgressDecryptRead = 5,   // value: bytes in the chunk just read
};

class TCrypt {
 public:
  // Throws std::invalid_argument for a buffer size of 0 (no chunk could ever
  // be read, the loops would never end).
  TCrypt(std::string password, std::uint32_t bufferSize);
  virtual ~TCrypt();
  TCrypt(const TCrypt&) = delete;
  TCrypt& operator=(const TCrypt&) = delete;

  int Mode() const { return mode_; }
  std::uint32_t BufferSize() const { return bufferSize_; }

 protected:
  std::int32_t mode_;
  CipherContext context_;
  std::string password_;
  std::uint32_t bufferSize_;
  std::unique_ptr<unsigned char[]> workBuffer_;
};

class TEncryption : public TCrypt {
 public:
  using ProgressHandler = std::function<void(TEncryption& sender, int code, std::int64_t value)>;

  TEncryption(std::string password, std::uint32_t bufferSize);
  ~TEncryption() override;

  // Writes salt, verifier, ciphertext and code. True when the whole container
  // was written and the target flushed. A password over 128 bytes fails
  // before anything is written. What was written before a failure stays.
  bool EncryptStream(std::istream& source, std::ostream& target);

  // Reads exactly `totalLength` bytes of container from `source`. True only
  // when verifier and code both match. Wrong password: false, nothing written.
  // Damaged data: plaintext written, false. A source that ends before
  // `totalLength` ends the operation with false at once (what was decrypted
  // so far has been written). `target` may be null to check only.
  bool DecryptStream(std::istream& source, std::ostream* target, std::int64_t totalLength);

  // The reason the last EncryptStream/DecryptStream returned false.
  CryptError LastError() const { return lastError_; }

  // Empty after construction; the program itself never sets one.
  void SetProgressHandler(ProgressHandler handler) { progress_ = std::move(handler); }

 private:
  void Report(int code, std::int64_t value);
  bool Fail(CryptError error);
  void EncryptChunk(unsigned char* data, std::size_t length);
  void DecryptChunk(unsigned char* data, std::size_t length);

  SaltPool saltPool_;
  ProgressHandler progress_;
  CryptError lastError_ = CryptError::None;
};

}  // namespace quorvane
