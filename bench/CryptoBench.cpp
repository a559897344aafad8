// Throughput of the encrypted container on 64 MiB, in memory so that only
// the cipher work is measured: EncryptStream and DecryptStream with the
// settings chunk size, and as a yardstick OpenSSL's own AES-128-CTR plus
// HMAC-SHA1 over the same data. Bytes/s is the plaintext rate.
#include <benchmark/benchmark.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>

#include <istream>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <streambuf>
#include <string>

#include "settings/AesLib.h"
#include "settings/ContainerBytes.h"
#include "settings/OpenSslHandles.h"
#include "settings/SettingsFile.h"

using namespace quorvane;

namespace {

constexpr std::size_t kSize = 64u << 20;

// Reads from a fixed buffer without copying it first.
class MemoryInBuf : public std::streambuf {
 public:
  explicit MemoryInBuf(const std::string& data) {
    char* begin = const_cast<char*>(data.data());
    setg(begin, begin, begin + data.size());
  }
};

// Writes into a preallocated buffer; no growth inside the timed loop.
class MemoryOutBuf : public std::streambuf {
 public:
  explicit MemoryOutBuf(std::string& storage) {
    setp(storage.data(), storage.data() + storage.size());
  }
  std::size_t Written() const { return static_cast<std::size_t>(pptr() - pbase()); }
};

const std::string& Plaintext() {
  static const std::string data = [] {
    std::string d(kSize, '\0');
    for (std::size_t i = 0; i < d.size(); ++i) d[i] = static_cast<char>(i * 131 + (i >> 12));
    return d;
  }();
  return data;
}

void BM_EncryptStream(benchmark::State& state) {
  const std::string& plain = Plaintext();
  std::string out(kSize + 64, '\0');
  for (auto _ : state) {
    TEncryption crypt(std::string(kSettingsPassword), kSettingsBufferSize);
    MemoryInBuf inBuf(plain);
    MemoryOutBuf outBuf(out);
    std::istream in(&inBuf);
    std::ostream sink(&outBuf);
    if (!crypt.EncryptStream(in, sink) || outBuf.Written() != kSize + 20) {
      state.SkipWithError("encryption failed");
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_EncryptStream)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_DecryptStream(benchmark::State& state) {
  const std::string container = EncryptBytes(Plaintext(), kSettingsPassword);
  std::string out(kSize + 64, '\0');
  for (auto _ : state) {
    TEncryption crypt(std::string(kSettingsPassword), kSettingsBufferSize);
    MemoryInBuf inBuf(container);
    MemoryOutBuf outBuf(out);
    std::istream in(&inBuf);
    std::ostream sink(&outBuf);
    if (!crypt.DecryptStream(in, &sink, static_cast<std::int64_t>(container.size())) ||
        outBuf.Written() != kSize) {
      state.SkipWithError("decryption failed");
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_DecryptStream)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Yardstick: OpenSSL's AES-128-CTR and HMAC-SHA1 over the same chunks.
void BM_OpenSslCtrPlusHmac(benchmark::State& state) {
  const std::string& plain = Plaintext();
  std::string out(kSize, '\0');
  const unsigned char key[16] = {1, 2, 3}, iv[16] = {}, macKey[16] = {4, 5, 6};
  MacPtr mac(EVP_MAC_fetch(nullptr, "HMAC", nullptr));
  char digest[] = "SHA1";
  const OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
                               OSSL_PARAM_construct_end()};
  for (auto _ : state) {
    CipherCtxPtr aes(EVP_CIPHER_CTX_new());
    MacCtxPtr hmac(EVP_MAC_CTX_new(mac.get()));
    EVP_EncryptInit_ex2(aes.get(), EVP_aes_128_ctr(), key, iv, nullptr);
    EVP_MAC_init(hmac.get(), macKey, sizeof macKey, params);
    for (std::size_t done = 0; done < kSize; done += kSettingsBufferSize) {
      auto* dst = reinterpret_cast<unsigned char*>(out.data()) + done;
      int n = 0;
      EVP_EncryptUpdate(aes.get(), dst, &n,
                        reinterpret_cast<const unsigned char*>(plain.data()) + done,
                        static_cast<int>(kSettingsBufferSize));
      EVP_MAC_update(hmac.get(), dst, kSettingsBufferSize);
    }
    unsigned char code[20];
    std::size_t codeLength = 0;
    EVP_MAC_final(hmac.get(), code, &codeLength, sizeof code);
    benchmark::DoNotOptimize(code);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_OpenSslCtrPlusHmac)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
