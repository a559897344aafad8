#include "settings/SaltPool.h"

#include <openssl/crypto.h>
#include <time.h>

#include <algorithm>
#include <stdexcept>

#include "settings/Sha1Compress.h"

namespace quorvane {

namespace {

constexpr std::size_t kDigestSize = 20;
constexpr std::size_t kBlockSize = 64;

std::uint32_t LoadLittleEndian32(const unsigned char* p) {
  return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
         (std::uint32_t{p[3]} << 24);
}

void StoreLittleEndian32(unsigned char* p, std::uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
  p[2] = static_cast<unsigned char>(v >> 16);
  p[3] = static_cast<unsigned char>(v >> 24);
}

}  // namespace

std::size_t PlatformEntropy(unsigned char* out, std::size_t count) {
  std::uint64_t value = 0;
  timespec ts{};
  if (clock_gettime(CLOCK_MONOTONIC, &ts) == 0) {
    value = static_cast<std::uint64_t>(ts.tv_sec) * 1000000000u +
            static_cast<std::uint64_t>(ts.tv_nsec);
  } else if (clock_gettime(CLOCK_BOOTTIME, &ts) == 0) {
    const std::uint64_t ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                             static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    value = ms & 0xFFFFFFFFu;
  }
  const std::size_t n = std::min<std::size_t>(count, 8);
  for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<unsigned char>(value >> (8 * i));
  return n;
}

SaltPool::~SaltPool() {
  Wipe();
}

void SaltPool::Wipe() {
  OPENSSL_cleanse(pool_.data(), pool_.size());
  OPENSSL_cleanse(output_.data(), output_.size());
  position_ = 0;
}

void SaltPool::Seed(EntropySource source) {
  Wipe();
  source_ = source;
  Refresh();
  for (int i = 0; i < 20; ++i) Mix(pool_);
  Refresh();
  position_ = 0;
}

void SaltPool::Refresh() {
  if (source_ == nullptr) throw std::logic_error("salt pool used before it was seeded");
  output_ = pool_;
  std::size_t filled = 0;
  while (filled < kSize) {
    const std::size_t n = source_(pool_.data() + filled, kSize - filled);
    // A source that delivers nothing would never fill the pool.
    if (n == 0) throw std::runtime_error("entropy source delivered no bytes");
    filled += std::min(n, kSize - filled);
  }
  for (std::size_t i = 0; i < kSize; ++i) pool_[i] ^= static_cast<unsigned char>(~output_[i]);
  Mix(pool_);
  Mix(output_);
}

void SaltPool::Draw(unsigned char* out, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    out[i] = output_[position_];
    if (++position_ == kSize) {
      Refresh();
      position_ = 0;
    }
  }
}

void SaltPool::Mix(Buffer& buffer) {
  for (std::size_t p = 0; p < kSize; p += kDigestSize) {
    const std::size_t chain = (p == 0 ? kSize : p) - kDigestSize;
    std::uint32_t state[5];
    for (std::size_t w = 0; w < 5; ++w)
      state[w] = LoadLittleEndian32(buffer.data() + chain + 4 * w);
    unsigned char block[kBlockSize];
    for (std::size_t i = 0; i < kBlockSize; ++i) block[i] = buffer[(p + i) % kSize];
    Sha1Compress(state, block);
    for (std::size_t w = 0; w < 5; ++w) StoreLittleEndian32(buffer.data() + p + 4 * w, state[w]);
  }
}

}  // namespace quorvane
