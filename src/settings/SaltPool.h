#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quorvane {

// Fills up to `count` bytes at `out` and returns how many it filled.
using EntropySource = std::size_t (*)(unsigned char* out, std::size_t count);

// The entropy source the container uses: the monotonic clock in nanoseconds
// (falling back to the millisecond tick count since boot), least significant
// byte first, at most 8 bytes per call. Salts need to differ, not to be secret.
std::size_t PlatformEntropy(unsigned char* out, std::size_t count);

// The random source of salts: a pool of thirteen SHA-1 digests' worth of
// bytes, refreshed from the entropy source and stirred with the SHA-1
// compression function; salts are drawn from the output buffer.
class SaltPool {
 public:
  static constexpr std::size_t kSize = 260;
  using Buffer = std::array<unsigned char, kSize>;

  SaltPool() = default;
  ~SaltPool();
  SaltPool(const SaltPool&) = delete;
  SaltPool& operator=(const SaltPool&) = delete;

  // Starts from zero: set the source, refresh, mix the pool 20 times, refresh.
  void Seed(EntropySource source);
  // Output := old pool; pool := fresh entropy XOR NOT output; mix both.
  void Refresh();
  // Copies `count` bytes from the output buffer, refreshing whenever it is used up.
  void Draw(unsigned char* out, std::size_t count);
  // Overwrites pool and output with zero bytes.
  void Wipe();

  // Runs the SHA-1 compression once per 20-byte position, chaining from the
  // 20 bytes before it (wrapping to the end) and taking the 64-byte message
  // block from that position (wrapping to the start).
  static void Mix(Buffer& buffer);

  const Buffer& Pool() const { return pool_; }
  const Buffer& Output() const { return output_; }
  std::uint32_t Position() const { return position_; }

 private:
  Buffer pool_{};
  Buffer output_{};
  std::uint32_t position_ = 0;
  EntropySource source_ = nullptr;
};

}  // namespace quorvane
