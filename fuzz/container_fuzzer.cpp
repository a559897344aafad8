// The encrypted container on arbitrary bytes. The first byte picks:
//   0  decrypt the rest as a settings file's container, in memory, in small
//      chunks and check-only, which must all agree;
//   1  round trip: a password (ended by a backslash and one more byte), the
//      rest as plaintext; encrypt, decrypt, then damage one bit;
//   2  streams in small chunks and told a wrong total length: must end,
//      never wait, and report progress consistently;
//   3  the rest as the file dbsettings.dat through DecryptSettingsFile,
//      which must write what the in-memory decryption gives.

#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "settings/AesLib.h"
#include "settings/CipherContext.h"
#include "settings/ContainerBytes.h"
#include "settings/ContainerFile.h"
#include "settings/SettingsFile.h"

using namespace quorvane;

namespace {

// Salt, verifier and code around the ciphertext.
std::size_t Overhead(std::size_t passwordLength) {
  return SaltLengthOfMode(ModeForPasswordLength(passwordLength)) + kVerifierLength + kCodeLength;
}

struct StreamResult {
  bool ok;
  CryptError error;
  std::string plain;
};

StreamResult DecryptInChunks(std::string_view container, std::string_view password,
                             std::uint32_t bufferSize, std::int64_t totalLength,
                             bool withTarget = true) {
  std::istringstream in{std::string(container)};
  std::ostringstream out;
  TEncryption crypt(std::string(password), bufferSize);
  const bool ok = crypt.DecryptStream(in, withTarget ? &out : nullptr, totalLength);
  return {ok, crypt.LastError(), std::move(out).str()};
}

void CheckSettingsContainer(std::string_view container) {
  std::string plain;
  const CryptError error = DecryptBytes(container, kSettingsPassword, plain);
  const std::size_t overhead = Overhead(kSettingsPassword.size());
  switch (error) {
    case CryptError::ShortSource:
      FUZZ_CHECK(container.size() < overhead);
      FUZZ_CHECK(plain.empty());
      break;
    case CryptError::WrongPassword:
      FUZZ_CHECK(plain.empty());
      break;
    case CryptError::None:
    case CryptError::CodeMismatch:
      FUZZ_CHECK(plain.size() == container.size() - overhead);
      break;
    default:
      FUZZ_CHECK(!"no other outcome for a whole container in memory");
  }
  // The chunk size must not show in the result, nor must the target.
  const auto chunked =
      DecryptInChunks(container, kSettingsPassword, 7, static_cast<std::int64_t>(container.size()));
  FUZZ_CHECK(chunked.error == error);
  FUZZ_CHECK(chunked.ok == (error == CryptError::None));
  FUZZ_CHECK(chunked.plain == plain);
  const auto checkOnly = DecryptInChunks(container, kSettingsPassword, kContainerBufferSize,
                                         static_cast<std::int64_t>(container.size()), false);
  FUZZ_CHECK(checkOnly.error == error);
}

void CheckRoundTrip(FuzzedDataProvider& in) {
  const std::string password = in.ConsumeRandomLengthString(kMaxPasswordLength + 8);
  const std::size_t flipAt = in.ConsumeIntegral<std::size_t>();
  const std::string plain = in.ConsumeRemainingBytesAsString();

  if (password.size() > kMaxPasswordLength) {
    bool refused = false;
    try {
      (void)EncryptBytes(plain, password);
    } catch (const std::invalid_argument&) {
      refused = true;
    }
    FUZZ_CHECK(refused);
    return;
  }

  const std::string container = EncryptBytes(plain, password);
  const std::size_t salt = SaltLengthOfMode(ModeForPasswordLength(password.size()));
  FUZZ_CHECK(container.size() == plain.size() + Overhead(password.size()));
  std::string back;
  FUZZ_CHECK(DecryptBytes(container, password, back) == CryptError::None);
  FUZZ_CHECK(back == plain);

  // One damaged bit: in the ciphertext it shows in the same place of the
  // plaintext, anywhere after the verifier only the code fails.
  std::string damaged = container;
  const std::size_t bit = flipAt % (8 * damaged.size());
  damaged[bit / 8] = static_cast<char>(damaged[bit / 8] ^ (1 << (bit % 8)));
  const CryptError error = DecryptBytes(damaged, password, back);
  const std::size_t cipherStart = salt + kVerifierLength;
  if (bit / 8 < salt) {
    // Another salt derives other keys; the verifier catches it but for a
    // chance of one in 65536.
    FUZZ_CHECK(error == CryptError::WrongPassword || error == CryptError::CodeMismatch);
  } else if (bit / 8 < cipherStart) {
    FUZZ_CHECK(error == CryptError::WrongPassword);
    FUZZ_CHECK(back.empty());
  } else {
    FUZZ_CHECK(error == CryptError::CodeMismatch);
    std::string expected = plain;
    const std::size_t at = bit / 8 - cipherStart;
    if (at < expected.size()) expected[at] = static_cast<char>(expected[at] ^ (1 << (bit % 8)));
    FUZZ_CHECK(back == expected);
  }
}

void CheckStreams(FuzzedDataProvider& in) {
  const std::string password = in.ConsumeRandomLengthString(64);
  const auto encryptBuffer = in.ConsumeIntegralInRange<std::uint32_t>(1, 48);
  const auto decryptBuffer = in.ConsumeIntegralInRange<std::uint32_t>(1, 48);
  const auto lengthError = in.ConsumeIntegralInRange<int>(-40, 40);
  const std::string plain = in.ConsumeRemainingBytesAsString();

  std::istringstream source{plain};
  std::ostringstream target;
  TEncryption encrypt(password, encryptBuffer);
  std::int64_t lastTotal = -1;
  encrypt.SetProgressHandler([&](TEncryption&, int code, std::int64_t value) {
    FUZZ_CHECK(code == kProgressEncryptRead);
    FUZZ_CHECK(value >= lastTotal);
    lastTotal = value;
  });
  FUZZ_CHECK(encrypt.EncryptStream(source, target));
  FUZZ_CHECK(lastTotal == static_cast<std::int64_t>(plain.size()));
  const std::string container = std::move(target).str();
  FUZZ_CHECK(container.size() == plain.size() + Overhead(password.size()));

  // Told the true length: the plaintext whatever the chunk sizes.
  const auto size = static_cast<std::int64_t>(container.size());
  const auto whole = DecryptInChunks(container, password, decryptBuffer, size);
  FUZZ_CHECK(whole.ok && whole.plain == plain);

  // Told a wrong one: a false result, and no waiting for bytes that do not
  // come. A source shorter than the length given is cut where it ends.
  std::istringstream wrongSource{container};
  std::ostringstream wrongTarget;
  TEncryption decrypt(password, decryptBuffer);
  std::int64_t reported = 0;
  bool started = false;
  decrypt.SetProgressHandler([&](TEncryption&, int code, std::int64_t value) {
    if (code == kProgressDecryptStart) {
      FUZZ_CHECK(!started);
      FUZZ_CHECK(value == -size);
      started = true;
      return;
    }
    FUZZ_CHECK(code == kProgressDecryptRead);
    FUZZ_CHECK(value >= 0 && value <= static_cast<std::int64_t>(decryptBuffer));
    reported += value;
  });
  const std::int64_t told = size + lengthError;
  const bool ok = decrypt.DecryptStream(wrongSource, &wrongTarget, told);
  FUZZ_CHECK(started);
  const std::string written = std::move(wrongTarget).str();
  FUZZ_CHECK(static_cast<std::int64_t>(written.size()) == reported);
  if (lengthError == 0) {
    FUZZ_CHECK(ok);
    return;
  }
  FUZZ_CHECK(!ok);
  // Told too much, it also decrypts the code as if it were data.
  const std::size_t common = std::min(plain.size(), written.size());
  FUZZ_CHECK(written.compare(0, common, plain, 0, common) == 0);
  if (lengthError > 0) FUZZ_CHECK(decrypt.LastError() == CryptError::ReadFailed);
  if (told < static_cast<std::int64_t>(Overhead(password.size())))
    FUZZ_CHECK(decrypt.LastError() == CryptError::ShortSource);
}

// A private folder for the file round, removed when the fuzzer ends.
const std::filesystem::path& ScratchFolder() {
  static const std::filesystem::path folder = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") +
                          "/quorvane-container-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no scratch folder");
    return std::filesystem::path(pattern);
  }();
  static const struct Cleanup {
    ~Cleanup() {
      std::error_code ec;
      std::filesystem::remove_all(folder, ec);
    }
  } cleanup;
  return folder;
}

std::string ReadWhole(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void CheckSettingsFile(std::string_view container) {
  const auto source = ScratchFolder() / "dbsettings.dat";
  const auto target = ScratchFolder() / "dbsettings.sim";
  {
    std::ofstream out(source, std::ios::binary | std::ios::trunc);
    out.write(container.data(), static_cast<std::streamsize>(container.size()));
    FUZZ_CHECK(out.good());
  }
  DecryptSettingsFile(source, target);
  std::string plain;
  (void)DecryptBytes(container, kSettingsPassword, plain);
  FUZZ_CHECK(ReadWhole(target) == plain);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto [kind, rest] = SplitKind(data, size, 4);
  FuzzedDataProvider in(reinterpret_cast<const std::uint8_t*>(rest.data()), rest.size());
  switch (kind) {
    case 0:
      CheckSettingsContainer(rest);
      break;
    case 1:
      CheckRoundTrip(in);
      break;
    case 2:
      CheckStreams(in);
      break;
    default:
      CheckSettingsFile(rest);
      break;
  }
  return 0;
}
