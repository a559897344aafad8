#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "settings/CipherContext.h"
#include "settings/SaltPool.h"
#include "settings/Sha1Compress.h"

using namespace quorvane;

namespace {

std::string OpenSslSha1(const std::string& message) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EXPECT_EQ(EVP_Digest(message.data(), message.size(), digest, &length, EVP_sha1(), nullptr), 1);
  return std::string(reinterpret_cast<char*>(digest), length);
}

// AES-ECB of the given blocks through OpenSSL, independent of the code under test.
std::string AesEcb(const std::string& key, const std::string& blocks) {
  const EVP_CIPHER* cipher = key.size() == 16   ? EVP_aes_128_ecb()
                             : key.size() == 24 ? EVP_aes_192_ecb()
                                                : EVP_aes_256_ecb();
  CipherCtxPtr ctx(EVP_CIPHER_CTX_new());
  EXPECT_EQ(
      EVP_EncryptInit_ex2(ctx.get(), cipher, reinterpret_cast<const unsigned char*>(key.data()),
                          nullptr, nullptr),
      1);
  EVP_CIPHER_CTX_set_padding(ctx.get(), 0);
  std::string out(blocks.size(), '\0');
  int written = 0;
  EXPECT_EQ(EVP_EncryptUpdate(ctx.get(), reinterpret_cast<unsigned char*>(out.data()), &written,
                              reinterpret_cast<const unsigned char*>(blocks.data()),
                              static_cast<int>(blocks.size())),
            1);
  return out;
}

std::string Pbkdf2(const std::string& password, const std::string& salt, std::size_t length) {
  std::string out(length, '\0');
  EXPECT_EQ(
      PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()),
                        reinterpret_cast<const unsigned char*>(salt.data()),
                        static_cast<int>(salt.size()), 1000, EVP_sha1(), static_cast<int>(length),
                        reinterpret_cast<unsigned char*>(out.data())),
      1);
  return out;
}

CipherContext KeyedContext(int mode, const std::string& password, const std::string& salt) {
  CipherContext context;
  unsigned char verifier[2];
  EXPECT_EQ(
      SetupKeys(mode, reinterpret_cast<const unsigned char*>(password.data()), password.size(),
                reinterpret_cast<const unsigned char*>(salt.data()), verifier, context),
      kSetupOk);
  return context;
}

std::string Keystream(CipherContext& context, std::size_t length) {
  std::string data(length, '\0');
  ApplyKeystream(reinterpret_cast<unsigned char*>(data.data()), data.size(), context);
  return data;
}

}  // namespace

// The compression function from the standard IV over a padded one-block
// message must give that message's SHA-1.
TEST(Sha1CompressTest, MatchesOpenSslOnOneBlockMessages) {
  for (const std::string& message : {std::string(), std::string("abc"), std::string(55, 'q'),
                                     std::string("The quick brown fox jumps over the lazy dog")}) {
    unsigned char block[64] = {};
    std::memcpy(block, message.data(), message.size());
    block[message.size()] = 0x80;
    const std::uint64_t bits = message.size() * 8;
    for (int i = 0; i < 8; ++i) block[63 - i] = static_cast<unsigned char>(bits >> (8 * i));
    std::uint32_t state[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    Sha1Compress(state, block);
    std::string digest;
    for (std::uint32_t word : state) {
      for (int shift = 24; shift >= 0; shift -= 8)
        digest.push_back(static_cast<char>(word >> shift));
    }
    EXPECT_EQ(digest, OpenSslSha1(message)) << "message of " << message.size() << " bytes";
  }
}

// Mix written out plainly, byte by byte, to catch mistakes in the chaining
// and wrap-around of the real one.
TEST(SaltPoolTest, MixChainsFromThePreviousDigestAndWrapsTheBlock) {
  SaltPool::Buffer buffer;
  for (std::size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<unsigned char>(i * 7 + 3);
  SaltPool::Buffer expected = buffer;
  for (std::size_t p = 0; p < 260; p += 20) {
    std::uint32_t state[5];
    for (std::size_t w = 0; w < 5; ++w) {
      std::uint32_t v = 0;
      for (std::size_t b = 0; b < 4; ++b)
        v |= std::uint32_t{expected[(p + 240 + 4 * w + b) % 260]} << (8 * b);
      state[w] = v;
    }
    unsigned char block[64];
    for (std::size_t i = 0; i < 64; ++i) block[i] = expected[(p + i) % 260];
    Sha1Compress(state, block);
    for (std::size_t w = 0; w < 5; ++w) {
      for (std::size_t b = 0; b < 4; ++b)
        expected[p + 4 * w + b] = static_cast<unsigned char>(state[w] >> (8 * b));
    }
  }
  SaltPool::Mix(buffer);
  EXPECT_EQ(buffer, expected);
}

namespace {
std::size_t counterEntropyNext = 0;
std::size_t CountingEntropy(unsigned char* out, std::size_t count) {
  const std::size_t n = count < 3 ? count : 3;
  for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<unsigned char>(counterEntropyNext++);
  return n;
}

// Known answers for a pool seeded from CountingEntropy, derived outside this
// code: the SHA-1 compression function written anew in Python (checked
// against hashlib.sha1 on a padded one-block message), and the pool's
// seeding, refresh, mixing and drawing written anew from their description.
// Written out here, so that a slip in seeding or refreshing cannot also
// slip into the expected values. Each line is one 20-byte mixing position.
const char kSeededOutput[] =
    "3686a09c94c689246cbdbc592c7d5c2567a0e4b9"
    "6075a00b67459141b3416dfa4b955b2e7f753068"
    "fa1d05f8138e16dfb4812b21fa0f29e1ada73893"
    "3c074f36ff18c8c8b8e85219ab0be4cb45acb209"
    "392ae8594ab0dc6f0e98da7fb8119a72f4c590a2"
    "142835ddaa32d9d031397dbde8a3a52f49e0474f"
    "ee02d27284302413d7920b80f3dfb5ef473678f7"
    "154f24bbcd97709f12ad32b6f987fe9fb8186e0e"
    "64ca3a02824fbd79bca04357b0dea9d7976b92e8"
    "cdacbb6cb5ae3a5d216aafa2f55932bb2c211e15"
    "49ce7b2ca6063d99090e414be5263da46304dc52"
    "0c56a88e6d571d54f4445c576724625f1c56c52a"
    "f3f10db164c0b5b8d207e1d7c18dfc7186dc6914";
const char kSeededPool[] =
    "c80c15b3f5d87b46c794653d3dcaa21b44a2c4df"
    "6e4d6cb8d3201ed68eeefb458bb30c9de6929ce0"
    "e53e9097fdacd37597d30355a951aca31c452071"
    "b931730bcbb86ca2e99c8b4907ffa4f37470862f"
    "2673dc82ad9f9eb3f4e5ea4f7ab5c6b6d920020d"
    "74c76f47748e265083feb0ef66a81398fd650ef9"
    "24def0135ed18056289113d67c6a16f407a720ce"
    "0b2b0742aa80999787906623863f81e93d6f8a6c"
    "1d9d0e1df890681e2d1bbd46891d232d28f9d07e"
    "bde880c70cdc0fc1e3e30c6ebbcc43c9df73ceee"
    "eb1a9de116a3b55941128b8b3ad150f33dd17c7d"
    "583c9fffb4b7dd5561141e675072992b3f9b3fac"
    "c4e09e0cfb39007c291fbc0ab6a2cce41a45d182";
// After the whole output buffer has been drawn: the second refresh.
const char kRefreshedOutput[] =
    "01a72d55881de69b9ff2eb8b42a991cd904e4b06"
    "19af10bf6c1fdbff305f2ecdbbf9cbeb80d487fc"
    "cfa70eef24e89f3213eb3446e64493dcc948630c"
    "5ea31bb5fdfa1bfa00957be590d528edd3ca887c"
    "9805f20fcce7e30f65e4de6e40b6bdc3b3fa6ce8"
    "3477e24d142962456482ce7411c8aacee2df0322"
    "08a04e79377c4f2b6fb20d219f8ebc0d3c075891"
    "1d6f931e551664fdbf6a612d9ff3baa62b5581a7"
    "6fb50421eceaa64291ff65443678e185bc7d03d0"
    "3e784004710af037a886f84168920e19e2530a9c"
    "c09c66a709a1b082d4a838833e703baa765d9ea3"
    "2440652dfb3e74528bfa50b67771f763b8ba245d"
    "f11ed2f771cf26894b444188777d1170720a83c6";
const char kRefreshedPool[] =
    "80a1c3f5453e5444e2541edac442f42db264cdf3"
    "75aca33e0c41a6cf2b1ab216a815973f586867c9"
    "a226ebd619992af0dc12b376dc55e2ce3a3e8fec"
    "13a391aa59eaeced5f214d8c59e3e071f60c8159"
    "b4b080da496fab9b249130e1a39c8b0ebe4a0120"
    "77ba5ff37ccc455ab32cb7a4c73aa037eb3c9df8"
    "786dcc7a9a1f2b93406db652a6180adb677ab965"
    "1a437301473744dd4a1824422bac88ee0a47e48c"
    "45cbbfa5d4108957035ed11a375005727a125f51"
    "9bd2e7ffe0a3d6c88fe017065d581b68cbbb7c44"
    "7f3bd12041fab448d64488a33384142c692cacd8"
    "cb9082116a8e674535b8e0a9381186ee4ad165d7"
    "e1b826a86d6964c45a47fe6558600b443790fc2e";

std::string Hex(const SaltPool::Buffer& buffer) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char byte : buffer) {
    hex.push_back(kDigits[byte >> 4]);
    hex.push_back(kDigits[byte & 15]);
  }
  return hex;
}
}  // namespace

TEST(SaltPoolTest, SeedAndRefreshGiveTheWrittenOutReference) {
  counterEntropyNext = 0;
  SaltPool pool;
  pool.Seed(CountingEntropy);
  EXPECT_EQ(Hex(pool.Output()), kSeededOutput);
  EXPECT_EQ(Hex(pool.Pool()), kSeededPool);
  EXPECT_EQ(pool.Position(), 0u);
  EXPECT_EQ(counterEntropyNext, 520u) << "two refreshes of 260 bytes each";

  // Draw the whole output buffer, then one more byte: that byte is the
  // first of the refreshed buffer.
  std::vector<unsigned char> drawn(SaltPool::kSize + 1);
  pool.Draw(drawn.data(), drawn.size());
  SaltPool::Buffer firstBuffer;
  std::copy(drawn.begin(), drawn.end() - 1, firstBuffer.begin());
  EXPECT_EQ(Hex(firstBuffer), kSeededOutput);
  EXPECT_EQ(Hex(pool.Output()), kRefreshedOutput);
  EXPECT_EQ(Hex(pool.Pool()), kRefreshedPool);
  EXPECT_EQ(drawn.back(), 0x01);
  EXPECT_EQ(pool.Position(), 1u);
  EXPECT_EQ(counterEntropyNext, 780u);
}

TEST(SaltPoolTest, PlatformEntropyDeliversAtMostEightChangingBytes) {
  unsigned char a[16] = {}, b[16] = {};
  EXPECT_EQ(PlatformEntropy(a, 16), 8u);
  EXPECT_EQ(PlatformEntropy(b, 3), 3u);
  unsigned char c[8] = {};
  PlatformEntropy(c, 8);
  EXPECT_NE(std::memcmp(a, c, 8), 0);  // nanoseconds apart
}

TEST(SaltPoolTest, PlatformSeededPoolsGiveDifferentSalts) {
  SaltPool a, b;
  a.Seed(PlatformEntropy);
  b.Seed(PlatformEntropy);
  unsigned char sa[16], sb[16];
  a.Draw(sa, 16);
  b.Draw(sb, 16);
  EXPECT_NE(std::memcmp(sa, sb, 16), 0);
}

TEST(SetupKeysTest, RefusesLongPasswordsAndUnknownModes) {
  const std::string salt(16, 's');
  const std::string password(129, 'p');
  unsigned char verifier[2];
  struct Case {
    int mode;
    std::size_t length;
    int expected;
  };
  for (const Case& c :
       {Case{1, 129, kSetupPasswordTooLong}, Case{3, 129, kSetupPasswordTooLong},
        Case{0, 10, kSetupBadMode}, Case{4, 10, kSetupBadMode}, Case{-1, 10, kSetupBadMode},
        Case{3, 128, kSetupOk}, Case{1, 0, kSetupOk}}) {
    CipherContext context;
    EXPECT_EQ(SetupKeys(c.mode, reinterpret_cast<const unsigned char*>(password.data()), c.length,
                        reinterpret_cast<const unsigned char*>(salt.data()), verifier, context),
              c.expected)
        << "mode " << c.mode << ", password of " << c.length << " bytes";
    EXPECT_EQ(static_cast<bool>(context.aes), c.expected == kSetupOk);
  }
}

TEST(SetupKeysTest, ModesFollowPasswordLength) {
  struct Case {
    std::size_t length;
    int mode;
    std::size_t salt;
  };
  for (const Case& c : {Case{0, 1, 8}, Case{31, 1, 8}, Case{32, 2, 12}, Case{47, 2, 12},
                        Case{48, 3, 16}, Case{128, 3, 16}}) {
    EXPECT_EQ(ModeForPasswordLength(c.length), c.mode) << c.length;
    EXPECT_EQ(SaltLengthOfMode(c.mode), c.salt) << c.length;
  }
}

// After set-up: position 16, zero counter, verifier = key material 2K, 2K+1.
TEST(SetupKeysTest, ContextAndVerifierComeFromTheKeyMaterial) {
  for (int mode = 1; mode <= 3; ++mode) {
    const std::size_t k = KeyLengthOfMode(mode);
    const std::string password = "pass" + std::to_string(mode);
    const std::string salt(SaltLengthOfMode(mode), static_cast<char>(0x40 + mode));
    CipherContext context;
    unsigned char verifier[2];
    ASSERT_EQ(
        SetupKeys(mode, reinterpret_cast<const unsigned char*>(password.data()), password.size(),
                  reinterpret_cast<const unsigned char*>(salt.data()), verifier, context),
        kSetupOk);
    const std::string material = Pbkdf2(password, salt, 2 * k + 2);
    EXPECT_EQ(verifier[0], static_cast<unsigned char>(material[2 * k]));
    EXPECT_EQ(verifier[1], static_cast<unsigned char>(material[2 * k + 1]));
    EXPECT_EQ(context.keystreamPosition, 16u);
    EXPECT_EQ(context.mode, static_cast<std::uint32_t>(mode));
    EXPECT_EQ(context.passwordLength, password.size());
    EXPECT_EQ(std::string(reinterpret_cast<char*>(context.counterBlock), 16),
              std::string(16, '\0'));

    // Keystream block i is AES under bytes 0..K-1 of the counter i + 1.
    std::string counters;
    for (std::uint64_t i = 1; i <= 3; ++i) {
      for (int b = 0; b < 8; ++b) counters.push_back(static_cast<char>(i >> (8 * b)));
      counters.append(8, '\0');
    }
    EXPECT_EQ(Keystream(context, 48), AesEcb(material.substr(0, k), counters)) << "mode " << mode;
  }
}

// The counter is a 64-bit little-endian number in bytes 0..7: carries run
// from byte to byte, wrap at byte 7 and never touch bytes 8..15. Runs across
// several AES batches.
TEST(ApplyKeystreamTest, CounterCarriesLittleEndianAcrossBatches) {
  const std::string password = "carry";
  const std::string salt(8, '\x11');
  const std::string key = Pbkdf2(password, salt, 34).substr(0, 16);
  for (const std::uint64_t start :
       {std::uint64_t{0}, std::uint64_t{0xF0}, std::uint64_t{0xFFFF} - 100,
        std::uint64_t{0x00FFFFFFFFFFFFFF} - 5, ~std::uint64_t{0} - 300}) {
    CipherContext context = KeyedContext(1, password, salt);
    for (int b = 0; b < 8; ++b)
      context.counterBlock[b] = static_cast<unsigned char>(start >> (8 * b));
    const std::size_t blocks = 700;
    std::string counters;
    std::uint64_t value = start;
    for (std::size_t i = 0; i < blocks; ++i) {
      ++value;
      for (int b = 0; b < 8; ++b) counters.push_back(static_cast<char>(value >> (8 * b)));
      counters.append(8, '\0');
    }
    EXPECT_EQ(Keystream(context, blocks * 16), AesEcb(key, counters)) << "start " << start;
    std::uint64_t after = 0;
    for (int b = 7; b >= 0; --b) after = (after << 8) | context.counterBlock[b];
    EXPECT_EQ(after, value);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(context.counterBlock) + 8, 8),
              std::string(8, '\0'));
  }
}

// Any cut of the data into chunks gives the same bytes as one call.
TEST(ApplyKeystreamTest, OutputDoesNotDependOnChunkSizes) {
  const std::string password = "chunks";
  const std::string salt(8, '\x22');
  std::string data(70000, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 31 + 7);

  std::string whole = data;
  CipherContext one = KeyedContext(1, password, salt);
  ApplyKeystream(reinterpret_cast<unsigned char*>(whole.data()), whole.size(), one);

  const std::vector<std::vector<std::size_t>> patterns = {
      {1}, {3}, {15}, {16}, {17}, {4095}, {4096}, {4097}, {65536}, {1, 16, 5, 4096, 100, 31, 8192}};
  for (const auto& pattern : patterns) {
    std::string chunked = data;
    CipherContext context = KeyedContext(1, password, salt);
    std::size_t done = 0;
    for (std::size_t i = 0; done < chunked.size(); ++i) {
      const std::size_t n = std::min(pattern[i % pattern.size()], chunked.size() - done);
      ApplyKeystream(reinterpret_cast<unsigned char*>(chunked.data()) + done, n, context);
      done += n;
    }
    EXPECT_EQ(chunked, whole) << "first chunk " << pattern[0] << " of " << pattern.size();
  }
  // Applying it twice from a fresh context gives the data back.
  CipherContext again = KeyedContext(1, password, salt);
  ApplyKeystream(reinterpret_cast<unsigned char*>(whole.data()), whole.size(), again);
  EXPECT_EQ(whole, data);
}
