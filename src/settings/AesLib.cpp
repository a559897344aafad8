#include "settings/AesLib.h"

#include <openssl/crypto.h>

#include <algorithm>
#include <optional>
#include <stdexcept>

namespace quorvane {

namespace {

// Chunks are processed in slices so that the HMAC reads the data while the
// keystream pass has just left it in cache.
constexpr std::size_t kSlice = 32 * 1024;

// Reads up to `count` bytes; nullopt on a stream error (an end of data is not
// an error, it shows as a short count).
std::optional<std::size_t> ReadUpTo(std::istream& in, unsigned char* data, std::size_t count) {
  try {
    in.read(reinterpret_cast<char*>(data), static_cast<std::streamsize>(count));
    if (in.bad()) return std::nullopt;
    return static_cast<std::size_t>(in.gcount());
  } catch (const std::exception&) {
    // A stream that throws on failbit reports a plain end of data this way.
    if (in.bad()) return std::nullopt;
    return static_cast<std::size_t>(in.gcount());
  }
}

bool WriteAll(std::ostream& out, const unsigned char* data, std::size_t count) {
  try {
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(count));
    return static_cast<bool>(out);
  } catch (const std::exception&) {
    return false;
  }
}

bool Flush(std::ostream& out) {
  try {
    out.flush();
    return static_cast<bool>(out);
  } catch (const std::exception&) {
    return false;
  }
}

// The whole size of a seekable source, else `fallback`. Works on the stream
// buffer so that the stream's state is left alone.
std::int64_t SourceSize(std::istream& in, std::int64_t fallback) {
  try {
    std::streambuf* buf = in.rdbuf();
    if (buf == nullptr || !in) return fallback;
    const auto here = buf->pubseekoff(0, std::ios::cur, std::ios::in);
    if (here == std::streampos(-1)) return fallback;
    const auto end = buf->pubseekoff(0, std::ios::end, std::ios::in);
    buf->pubseekpos(here, std::ios::in);
    if (end == std::streampos(-1)) return fallback;
    return static_cast<std::int64_t>(end);
  } catch (const std::exception&) {
    return fallback;
  }
}

}  // namespace

TCrypt::TCrypt(std::string password, std::uint32_t bufferSize)
    : mode_(ModeForPasswordLength(password.size())),
      password_(std::move(password)),
      bufferSize_(bufferSize) {
  if (bufferSize_ == 0) throw std::invalid_argument("container buffer size must not be 0");
  workBuffer_ = std::make_unique<unsigned char[]>(bufferSize_);
}

TCrypt::~TCrypt() {
  OPENSSL_cleanse(password_.data(), password_.size());
  OPENSSL_cleanse(workBuffer_.get(), bufferSize_);
}

TEncryption::TEncryption(std::string password, std::uint32_t bufferSize)
    : TCrypt(std::move(password), bufferSize) {
  saltPool_.Seed(PlatformEntropy);
}

TEncryption::~TEncryption() {
  saltPool_.Wipe();
}

void TEncryption::Report(int code, std::int64_t value) {
  if (progress_) progress_(*this, code, value);
}

bool TEncryption::Fail(CryptError error) {
  lastError_ = error;
  return false;
}

void TEncryption::EncryptChunk(unsigned char* data, std::size_t length) {
  for (std::size_t done = 0; done < length; done += kSlice) {
    const std::size_t n = std::min(kSlice, length - done);
    ApplyKeystream(data + done, n, context_);
    UpdateCode(data + done, n, context_);
  }
}

void TEncryption::DecryptChunk(unsigned char* data, std::size_t length) {
  for (std::size_t done = 0; done < length; done += kSlice) {
    const std::size_t n = std::min(kSlice, length - done);
    UpdateCode(data + done, n, context_);
    ApplyKeystream(data + done, n, context_);
  }
}

bool TEncryption::EncryptStream(std::istream& source, std::ostream& target) {
  lastError_ = CryptError::None;
  if (password_.size() > kMaxPasswordLength) return Fail(CryptError::PasswordTooLong);
  if (!source) return Fail(CryptError::ReadFailed);
  if (!target) return Fail(CryptError::WriteFailed);

  const std::size_t saltLength = SaltLengthOfMode(mode_);
  unsigned char salt[16];
  unsigned char verifier[kVerifierLength];
  saltPool_.Draw(salt, saltLength);
  const auto* password = reinterpret_cast<const unsigned char*>(password_.data());
  if (SetupKeys(mode_, password, password_.size(), salt, verifier, context_) != kSetupOk) {
    return Fail(CryptError::PasswordTooLong);
  }
  if (!WriteAll(target, salt, saltLength) || !WriteAll(target, verifier, kVerifierLength)) {
    return Fail(CryptError::WriteFailed);
  }

  std::int64_t total = 0;
  unsigned char* buffer = workBuffer_.get();
  for (;;) {
    const auto n = ReadUpTo(source, buffer, bufferSize_);
    if (!n) return Fail(CryptError::ReadFailed);
    total += static_cast<std::int64_t>(*n);
    Report(kProgressEncryptRead, total);
    EncryptChunk(buffer, *n);
    if (!WriteAll(target, buffer, *n)) return Fail(CryptError::WriteFailed);
    if (*n < bufferSize_) break;
  }

  unsigned char code[kCodeLength];
  FinishCode(context_, code);
  if (!WriteAll(target, code, kCodeLength) || !Flush(target)) return Fail(CryptError::WriteFailed);
  return true;
}

bool TEncryption::DecryptStream(std::istream& source, std::ostream* target,
                                std::int64_t totalLength) {
  lastError_ = CryptError::None;
  Report(kProgressDecryptStart, -SourceSize(source, totalLength));
  if (password_.size() > kMaxPasswordLength) return Fail(CryptError::PasswordTooLong);

  const std::size_t saltLength = SaltLengthOfMode(mode_);
  const auto overhead = static_cast<std::int64_t>(saltLength + kVerifierLength + kCodeLength);
  if (totalLength < overhead) return Fail(CryptError::ShortSource);
  if (!source) return Fail(CryptError::ReadFailed);

  unsigned char salt[16];
  unsigned char storedVerifier[kVerifierLength];
  unsigned char verifier[kVerifierLength];
  auto n = ReadUpTo(source, salt, saltLength);
  if (!n || *n != saltLength) return Fail(CryptError::ReadFailed);
  const auto* password = reinterpret_cast<const unsigned char*>(password_.data());
  if (SetupKeys(mode_, password, password_.size(), salt, verifier, context_) != kSetupOk) {
    return Fail(CryptError::PasswordTooLong);
  }
  n = ReadUpTo(source, storedVerifier, kVerifierLength);
  if (!n || *n != kVerifierLength) return Fail(CryptError::ReadFailed);
  if (storedVerifier[0] != verifier[0] || storedVerifier[1] != verifier[1]) {
    return Fail(CryptError::WrongPassword);
  }

  std::int64_t remaining = totalLength - overhead;
  unsigned char* buffer = workBuffer_.get();
  do {
    const auto wanted = static_cast<std::size_t>(std::min<std::int64_t>(bufferSize_, remaining));
    n = ReadUpTo(source, buffer, wanted);
    if (!n) return Fail(CryptError::ReadFailed);
    Report(kProgressDecryptRead, static_cast<std::int64_t>(*n));
    DecryptChunk(buffer, *n);
    if (target != nullptr && !WriteAll(*target, buffer, *n)) return Fail(CryptError::WriteFailed);
    remaining -= static_cast<std::int64_t>(*n);
    // The source ended before the length we were told: stop, do not wait.
    if (*n < wanted) return Fail(CryptError::ReadFailed);
  } while (remaining > 0);

  unsigned char computed[kCodeLength];
  unsigned char stored[kCodeLength];
  FinishCode(context_, computed);
  n = ReadUpTo(source, stored, kCodeLength);
  if (target != nullptr && !Flush(*target)) return Fail(CryptError::WriteFailed);
  if (!n || *n != kCodeLength) return Fail(CryptError::ReadFailed);
  if (CRYPTO_memcmp(computed, stored, kCodeLength) != 0) return Fail(CryptError::CodeMismatch);
  return true;
}

}  // namespace quorvane
