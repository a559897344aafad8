#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "web/FetchHost.h"

namespace quorvane {

// A FetchHost that records what the client tells the window and lets a
// test run code where the window would handle messages (a nested "Stop"
// click, the window closing, another command starting a request).
class FakeFetchHost : public FetchHost {
 public:
  struct Event {
    enum class Kind { kBegin, kWork, kEnd } kind;
    std::int64_t value = 0;
    bool operator==(const Event&) const = default;
  };

  bool abort = false;
  std::vector<std::string> statuses;
  std::vector<Event> gauge;  // WorkBegin / Work / WorkEnd in order
  std::int64_t gaugeMax = 100;
  std::int64_t gaugeValue = 0;
  int pumps = 0;
  std::vector<bool> running;  // RequestRunning calls in order

  // Runs inside ProcessMessages, after the pump is counted.
  std::function<void()> onPump;
  // Runs inside RequestRunning, after the call is recorded.
  std::function<void(bool)> onRequestRunning;

  bool AbortRequested() const override { return abort; }
  void ShowMainStatus(const std::string& text) override { statuses.push_back(text); }
  void WorkBegin(std::int64_t expected) override;
  void Work(std::int64_t transferred) override;
  void WorkEnd() override;
  void ProcessMessages() override;
  void RequestRunning(bool on) override {
    running.push_back(on);
    if (onRequestRunning) onRequestRunning(on);
  }

  // The gauge events as text ("begin 10", "work 4", "end"), for messages.
  std::string GaugeText() const;
  // Work events seen so far.
  int WorkCount() const;
};

}  // namespace quorvane
