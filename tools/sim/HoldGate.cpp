#include "sim/HoldGate.h"

#include <chrono>

namespace quorvane::sim {

std::uint64_t HoldGate::Ticket() {
  std::lock_guard lock(mutex_);
  return releases_;
}

bool HoldGate::Wait(int ms, std::uint64_t ticket) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, std::chrono::milliseconds(ms > 0 ? ms : 0),
                    [&] { return closed_ || releases_ != ticket; });
  return !closed_;
}

void HoldGate::Release() {
  {
    std::lock_guard lock(mutex_);
    ++releases_;
  }
  changed_.notify_all();
}

void HoldGate::Close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  changed_.notify_all();
}

void HoldGate::Open() {
  std::lock_guard lock(mutex_);
  closed_ = false;
}

}  // namespace quorvane::sim
