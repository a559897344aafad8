#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "settings/AesLib.h"
#include "settings/CipherContext.h"
#include "settings/ContainerBytes.h"
#include "settings/ContainerVectors.h"
#include "settings/SettingsFile.h"

using namespace quorvane;

namespace {

struct Decrypted {
  bool ok;
  CryptError error;
  std::string plain;
};

Decrypted Decrypt(const std::string& container, const std::string& password,
                  std::uint32_t bufferSize = kSettingsBufferSize) {
  TEncryption crypt(password, bufferSize);
  std::istringstream in(container);
  std::ostringstream out;
  const bool ok = crypt.DecryptStream(in, &out, static_cast<std::int64_t>(container.size()));
  return {ok, crypt.LastError(), out.str()};
}

std::string Encrypt(const std::string& plain, const std::string& password,
                    std::uint32_t bufferSize = kSettingsBufferSize) {
  TEncryption crypt(password, bufferSize);
  std::istringstream in(plain);
  std::ostringstream out;
  EXPECT_TRUE(crypt.EncryptStream(in, out));
  return out.str();
}

std::string Pattern(std::size_t size) {
  std::string data(size, '\0');
  std::mt19937 random(static_cast<unsigned>(size));
  for (auto& c : data) c = static_cast<char>(random());
  return data;
}

// The container a password and salt must give: key set-up, keystream and
// code through the primitives, in one piece.
std::string ExpectedContainer(const std::string& password, const std::string& salt,
                              const std::string& plain) {
  const int mode = ModeForPasswordLength(password.size());
  CipherContext context;
  unsigned char verifier[2];
  EXPECT_EQ(
      SetupKeys(mode, reinterpret_cast<const unsigned char*>(password.data()), password.size(),
                reinterpret_cast<const unsigned char*>(salt.data()), verifier, context),
      kSetupOk);
  std::string cipher = plain;
  ApplyKeystream(reinterpret_cast<unsigned char*>(cipher.data()), cipher.size(), context);
  UpdateCode(reinterpret_cast<const unsigned char*>(cipher.data()), cipher.size(), context);
  unsigned char code[10];
  FinishCode(context, code);
  return salt + std::string(reinterpret_cast<char*>(verifier), 2) + cipher +
         std::string(reinterpret_cast<char*>(code), 10);
}

// Accepts `limit` bytes, then refuses everything.
class FailingOutBuf : public std::streambuf {
 public:
  explicit FailingOutBuf(std::size_t limit) : limit_(limit) {}
  std::string written;

 protected:
  int_type overflow(int_type ch) override {
    if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
    if (written.size() >= limit_) return traits_type::eof();
    written.push_back(traits_type::to_char_type(ch));
    return ch;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    const auto room = static_cast<std::streamsize>(limit_ - std::min(limit_, written.size()));
    const auto taken = std::min(room, n);
    written.append(s, static_cast<std::size_t>(taken));
    return taken;
  }

 private:
  std::size_t limit_;
};

// Delivers `limit` bytes of `data`, then fails the way a broken device does.
class FailingInBuf : public std::streambuf {
 public:
  FailingInBuf(std::string data, std::size_t limit) : data_(std::move(data)), limit_(limit) {}

 protected:
  int_type underflow() override {
    if (position_ >= limit_) throw std::runtime_error("device error");
    if (position_ >= data_.size()) return traits_type::eof();
    return traits_type::to_int_type(data_[position_]);
  }
  int_type uflow() override {
    const int_type c = underflow();
    if (!traits_type::eq_int_type(c, traits_type::eof())) ++position_;
    return c;
  }

 private:
  std::string data_;
  std::size_t limit_;
  std::size_t position_ = 0;
};

}  // namespace

class KnownContainerTest : public testing::TestWithParam<KnownContainer> {};

TEST_P(KnownContainerTest, DecryptsToThePlaintext) {
  const KnownContainer& v = GetParam();
  const std::string container = FromHex(v.containerHex);
  const Decrypted d = Decrypt(container, std::string(v.password));
  EXPECT_TRUE(d.ok);
  EXPECT_EQ(d.error, CryptError::None);
  EXPECT_EQ(d.plain, v.plaintext);
  EXPECT_EQ(TEncryption(std::string(v.password), 16).Mode(), v.mode);
  EXPECT_EQ(container.size(), v.plaintext.size() + SaltLengthOfMode(v.mode) + 12);
}

TEST_P(KnownContainerTest, PrimitivesRebuildItFromItsSalt) {
  const KnownContainer& v = GetParam();
  const std::string container = FromHex(v.containerHex);
  const std::string salt = container.substr(0, SaltLengthOfMode(v.mode));
  EXPECT_EQ(ExpectedContainer(std::string(v.password), salt, std::string(v.plaintext)), container);
}

INSTANTIATE_TEST_SUITE_P(Vectors, KnownContainerTest, testing::ValuesIn(KnownContainers()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ContainerStreamTest, PasswordLengthSetsModeSaltAndContainerLength) {
  struct Case {
    std::size_t passwordLength;
    int mode;
    std::size_t salt;
  };
  const std::string plain = "brand settings text";
  for (const Case& c : {Case{0, 1, 8}, Case{10, 1, 8}, Case{31, 1, 8}, Case{32, 2, 12},
                        Case{47, 2, 12}, Case{48, 3, 16}, Case{128, 3, 16}}) {
    const std::string password(c.passwordLength, 'k');
    EXPECT_EQ(TEncryption(password, 64).Mode(), c.mode);
    const std::string container = Encrypt(plain, password);
    EXPECT_EQ(container.size(), plain.size() + c.salt + 12) << c.passwordLength;
    EXPECT_EQ(ExpectedContainer(password, container.substr(0, c.salt), plain), container)
        << c.passwordLength;
    const Decrypted d = Decrypt(container, password);
    EXPECT_TRUE(d.ok) << c.passwordLength;
    EXPECT_EQ(d.plain, plain);
  }
}

// Sizes around the chunk size and an empty text: the layout does not change,
// the full-chunk case ends with one empty read.
TEST(ContainerStreamTest, RoundTripsAroundTheChunkSize) {
  for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{262143},
                                 std::size_t{262144}, std::size_t{262145}, std::size_t{600000}}) {
    const std::string plain = Pattern(size);
    const std::string container = Encrypt(plain, std::string(kSettingsPassword));
    ASSERT_EQ(container.size(), size + 20);
    EXPECT_EQ(ExpectedContainer(std::string(kSettingsPassword), container.substr(0, 8), plain),
              container)
        << size;
    const Decrypted d = Decrypt(container, std::string(kSettingsPassword));
    EXPECT_TRUE(d.ok) << size;
    EXPECT_EQ(d.plain, plain) << size;
  }
}

// The buffer size is only a chunk size: encryption with any buffer gives the
// container the primitives give, decryption with any buffer reads any.
TEST(ContainerStreamTest, OutputDoesNotDependOnBufferSize) {
  const std::string plain = Pattern(70001);
  const std::string password = "chunk size";
  const std::string reference = Encrypt(plain, password);
  for (const std::uint32_t buffer : {1u, 15u, 16u, 17u, 4096u, 65537u, 262144u}) {
    const std::string container = Encrypt(plain, password, buffer);
    EXPECT_EQ(ExpectedContainer(password, container.substr(0, 8), plain), container) << buffer;
    const Decrypted d = Decrypt(reference, password, buffer);
    EXPECT_TRUE(d.ok) << buffer;
    EXPECT_EQ(d.plain, plain) << buffer;
  }
}

TEST(ContainerStreamTest, TwoEncryptionsDifferAndBothDecrypt) {
  const std::string plain = "<%%LastNewsId%%>17<%%/LastNewsId%%>\r\n";
  const std::string a = Encrypt(plain, std::string(kSettingsPassword));
  const std::string b = Encrypt(plain, std::string(kSettingsPassword));
  EXPECT_NE(a.substr(0, 8), b.substr(0, 8));
  EXPECT_NE(a, b);
  EXPECT_EQ(Decrypt(a, std::string(kSettingsPassword)).plain, plain);
  EXPECT_EQ(Decrypt(b, std::string(kSettingsPassword)).plain, plain);
}

TEST(ContainerStreamTest, WrongPasswordWritesNothing) {
  const KnownContainer& v = KnownContainers()[0];
  const Decrypted d = Decrypt(FromHex(v.containerHex), "zedizorerj");
  EXPECT_FALSE(d.ok);
  EXPECT_EQ(d.error, CryptError::WrongPassword);
  EXPECT_EQ(d.plain, "");
}

// Counter mode maps each ciphertext byte to one plaintext byte: a flipped
// ciphertext bit comes out as the same flipped plaintext bit; a flipped code
// bit leaves the plaintext whole. Either way the result is false.
TEST(ContainerStreamTest, FlippedBitsAreReportedAndLocalised) {
  const KnownContainer& v = KnownContainers()[0];
  const std::string container = FromHex(v.containerHex);
  const std::string plain(v.plaintext);
  const std::size_t cipherStart = 10, codeStart = container.size() - 10;
  struct Case {
    std::size_t offset;
    int bit;
  };
  for (const Case& c : {Case{cipherStart, 0}, Case{cipherStart + 17, 5}, Case{codeStart - 1, 7},
                        Case{codeStart, 0}, Case{container.size() - 1, 7}}) {
    std::string damaged = container;
    damaged[c.offset] = static_cast<char>(damaged[c.offset] ^ (1 << c.bit));
    const Decrypted d = Decrypt(damaged, std::string(v.password));
    EXPECT_FALSE(d.ok) << c.offset;
    EXPECT_EQ(d.error, CryptError::CodeMismatch) << c.offset;
    std::string expected = plain;
    if (c.offset < codeStart) {
      const std::size_t i = c.offset - cipherStart;
      expected[i] = static_cast<char>(expected[i] ^ (1 << c.bit));
    }
    EXPECT_EQ(d.plain, expected) << c.offset;
  }
  // A flipped verifier bit is a failed password check: nothing written.
  for (std::size_t offset : {std::size_t{8}, std::size_t{9}}) {
    std::string damaged = container;
    damaged[offset] = static_cast<char>(damaged[offset] ^ 0x10);
    const Decrypted d = Decrypt(damaged, std::string(v.password));
    EXPECT_EQ(d.error, CryptError::WrongPassword);
    EXPECT_EQ(d.plain, "");
  }
}

TEST(ContainerStreamTest, ProgressCodes) {
  std::vector<std::pair<int, std::int64_t>> events;
  auto record = [&events](TEncryption&, int code, std::int64_t value) {
    events.emplace_back(code, value);
  };
  const std::string password = "progress";

  TEncryption encrypt(password, 100);
  encrypt.SetProgressHandler(record);
  std::istringstream plain(std::string(200, 'x'));
  std::ostringstream container;
  ASSERT_TRUE(encrypt.EncryptStream(plain, container));
  // A source of exactly two chunks ends with an empty third read.
  using Events = std::vector<std::pair<int, std::int64_t>>;
  EXPECT_EQ(events, (Events{{4, 100}, {4, 200}, {4, 200}}));

  events.clear();
  TEncryption decrypt(password, 90);
  decrypt.SetProgressHandler(record);
  std::istringstream in(container.str());
  ASSERT_TRUE(decrypt.DecryptStream(in, nullptr, 220));
  EXPECT_EQ(events, (Events{{1, -220}, {5, 90}, {5, 90}, {5, 20}}));

  // An empty ciphertext still runs the read loop once.
  events.clear();
  const std::string empty = Encrypt("", password);
  std::istringstream emptyIn(empty);
  ASSERT_TRUE(decrypt.DecryptStream(emptyIn, nullptr, 20));
  EXPECT_EQ(events, (Events{{1, -20}, {5, 0}}));
}

TEST(ContainerStreamTest, WithoutTargetOnlyChecks) {
  const KnownContainer& v = KnownContainers()[2];
  std::string container = FromHex(v.containerHex);
  TEncryption crypt(std::string(v.password), 1024);
  std::istringstream good(container);
  EXPECT_TRUE(crypt.DecryptStream(good, nullptr, static_cast<std::int64_t>(container.size())));
  container[20] ^= 1;
  std::istringstream bad(container);
  EXPECT_FALSE(crypt.DecryptStream(bad, nullptr, static_cast<std::int64_t>(container.size())));
  EXPECT_EQ(crypt.LastError(), CryptError::CodeMismatch);
}

// The decryption reads the given length and not a byte more.
TEST(ContainerStreamTest, ReadsNoFurtherThanTheGivenLength) {
  const KnownContainer& v = KnownContainers()[3];
  const std::string container = FromHex(v.containerHex);
  std::istringstream in(container + "TRAILER");
  std::ostringstream out;
  TEncryption crypt(std::string(v.password), 7);
  EXPECT_TRUE(crypt.DecryptStream(in, &out, static_cast<std::int64_t>(container.size())));
  EXPECT_EQ(out.str(), v.plaintext);
  std::string rest;
  in >> rest;
  EXPECT_EQ(rest, "TRAILER");
}

// Sources that are not whole containers: too short for salt, verifier and
// code (nothing written), or ending before the length the caller gave.
TEST(ContainerStreamTest, ShortAndTruncatedSourcesFailWithoutWaiting) {
  const KnownContainer& v = KnownContainers()[0];
  const std::string container = FromHex(v.containerHex);
  const std::string password(v.password);
  for (std::size_t length = 0; length < 20; ++length) {
    TEncryption crypt(password, 64);
    std::istringstream in(container.substr(0, length));
    std::ostringstream out;
    EXPECT_FALSE(crypt.DecryptStream(in, &out, static_cast<std::int64_t>(length)));
    EXPECT_EQ(crypt.LastError(), CryptError::ShortSource) << length;
    EXPECT_EQ(out.str(), "");
  }
  {
    TEncryption crypt(password, 64);
    std::istringstream in("");
    EXPECT_FALSE(crypt.DecryptStream(in, nullptr, -5));
    EXPECT_EQ(crypt.LastError(), CryptError::ShortSource);
  }
  // The stream ends early: in the salt, the verifier, the ciphertext, the code.
  for (const std::size_t cut :
       {std::size_t{5}, std::size_t{9}, std::size_t{30}, container.size() - 3}) {
    TEncryption crypt(password, 16);
    std::istringstream in(container.substr(0, cut));
    std::ostringstream out;
    EXPECT_FALSE(crypt.DecryptStream(in, &out, static_cast<std::int64_t>(container.size())));
    EXPECT_EQ(crypt.LastError(), CryptError::ReadFailed) << cut;
    EXPECT_EQ(out.str(),
              std::string(v.plaintext).substr(0, std::min(out.str().size(), v.plaintext.size())));
  }
  // A truncated file read with its own (smaller) size: the last bytes are
  // taken for the code, which does not match.
  const std::string truncated = container.substr(0, container.size() - 4);
  const Decrypted d = Decrypt(truncated, password);
  EXPECT_FALSE(d.ok);
  EXPECT_EQ(d.error, CryptError::CodeMismatch);
  EXPECT_EQ(d.plain, std::string(v.plaintext).substr(0, truncated.size() - 20));
}

TEST(ContainerStreamTest, RandomBytesAreRejected) {
  std::mt19937 random(1234);
  for (const std::size_t size :
       {std::size_t{20}, std::size_t{21}, std::size_t{1000}, std::size_t{300000}}) {
    for (int round = 0; round < 3; ++round) {
      std::string noise(size, '\0');
      for (auto& c : noise) c = static_cast<char>(random());
      const Decrypted d = Decrypt(noise, std::string(kSettingsPassword));
      EXPECT_FALSE(d.ok) << size;
    }
  }
}

// Passwords over 128 bytes: SetupKeys refuses them, so both operations fail
// before reading or writing anything.
TEST(ContainerStreamTest, OverlongPasswordFailsWithoutWriting) {
  const std::string password(129, 'p');
  TEncryption crypt(password, 64);
  std::istringstream plain("text");
  std::ostringstream out;
  EXPECT_FALSE(crypt.EncryptStream(plain, out));
  EXPECT_EQ(crypt.LastError(), CryptError::PasswordTooLong);
  EXPECT_EQ(out.str(), "");

  const std::string container = Encrypt("text", std::string(128, 'p'));
  std::istringstream in(container);
  EXPECT_FALSE(crypt.DecryptStream(in, &out, static_cast<std::int64_t>(container.size())));
  EXPECT_EQ(crypt.LastError(), CryptError::PasswordTooLong);
  EXPECT_EQ(out.str(), "");
  EXPECT_THROW(EncryptBytes("text", password), std::invalid_argument);
}

TEST(ContainerStreamTest, StreamErrorsGiveFalse) {
  const std::string plain = Pattern(5000);
  const std::string password = "errors";
  for (const std::size_t limit :
       {std::size_t{0}, std::size_t{5}, std::size_t{3000}, std::size_t{5015}}) {
    TEncryption crypt(password, 1024);
    std::istringstream in(plain);
    FailingOutBuf sink(limit);
    std::ostream out(&sink);
    EXPECT_FALSE(crypt.EncryptStream(in, out)) << limit;
    EXPECT_EQ(crypt.LastError(), CryptError::WriteFailed) << limit;
    EXPECT_LE(sink.written.size(), limit);
  }
  for (const std::size_t limit : {std::size_t{0}, std::size_t{2000}}) {
    TEncryption crypt(password, 1024);
    FailingInBuf source(plain, limit);
    std::istream in(&source);
    std::ostringstream out;
    EXPECT_FALSE(crypt.EncryptStream(in, out)) << limit;
    EXPECT_EQ(crypt.LastError(), CryptError::ReadFailed) << limit;
  }

  const std::string container = Encrypt(plain, password);
  for (const std::size_t limit : {std::size_t{0}, std::size_t{2500}}) {
    TEncryption crypt(password, 1024);
    std::istringstream in(container);
    FailingOutBuf sink(limit);
    std::ostream out(&sink);
    EXPECT_FALSE(crypt.DecryptStream(in, &out, static_cast<std::int64_t>(container.size())));
    EXPECT_EQ(crypt.LastError(), CryptError::WriteFailed) << limit;
  }
  for (const std::size_t limit :
       {std::size_t{4}, std::size_t{9}, std::size_t{3000}, container.size() - 2}) {
    TEncryption crypt(password, 1024);
    FailingInBuf source(container, limit);
    std::istream in(&source);
    std::ostringstream out;
    EXPECT_FALSE(crypt.DecryptStream(in, &out, static_cast<std::int64_t>(container.size())));
    EXPECT_EQ(crypt.LastError(), CryptError::ReadFailed) << limit;
  }
}

// A caller's stream that throws at the end of its data is still read to the end.
TEST(ContainerStreamTest, StreamsThatThrowAtTheEndStillWork) {
  const std::string plain = Pattern(1000);
  TEncryption crypt("exceptions", 300);
  std::istringstream in(plain);
  in.exceptions(std::ios::failbit | std::ios::eofbit);
  std::ostringstream out;
  ASSERT_TRUE(crypt.EncryptStream(in, out));
  std::istringstream back(out.str());
  back.exceptions(std::ios::failbit | std::ios::eofbit);
  std::ostringstream plainOut;
  EXPECT_TRUE(crypt.DecryptStream(back, &plainOut, static_cast<std::int64_t>(out.str().size())));
  EXPECT_EQ(plainOut.str(), plain);
}

TEST(ContainerStreamTest, ZeroBufferSizeIsRefused) {
  EXPECT_THROW(TEncryption("pw", 0), std::invalid_argument);
}

TEST(ContainerBytesTest, RoundTripAndFailures) {
  const std::string container = EncryptBytes("in memory", "pw");
  std::string plain;
  EXPECT_EQ(DecryptBytes(container, "pw", plain), CryptError::None);
  EXPECT_EQ(plain, "in memory");
  EXPECT_EQ(DecryptBytes(container, "other", plain), CryptError::WrongPassword);
  EXPECT_EQ(plain, "");
  EXPECT_EQ(DecryptBytes("short", "pw", plain), CryptError::ShortSource);
}
