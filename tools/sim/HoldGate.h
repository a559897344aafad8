#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace quorvane::sim {

// The waits of slow responses. A response takes a ticket when it starts;
// Release() lets every response that started before it run on without
// further waits; Close() ends all waits and makes later ones fail at once,
// so the server's threads can be joined without sitting out a long delay.
class HoldGate {
 public:
  std::uint64_t Ticket();
  // Waits `ms` milliseconds. False when the gate is closed (abandon the
  // response); true when the time passed or a release came after `ticket`.
  bool Wait(int ms, std::uint64_t ticket);
  void Release();
  void Close();
  void Open();

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool closed_ = false;
  std::uint64_t releases_ = 0;
};

}  // namespace quorvane::sim
