#include "support/FakeFetchHost.h"

#include <algorithm>

namespace quorvane {

void FakeFetchHost::WorkBegin(std::int64_t expected) {
  gauge.push_back({Event::Kind::kBegin, expected});
  gaugeMax = expected;
  gaugeValue = 0;
}

void FakeFetchHost::Work(std::int64_t transferred) {
  gauge.push_back({Event::Kind::kWork, transferred});
  gaugeValue = transferred;
}

void FakeFetchHost::WorkEnd() {
  gauge.push_back({Event::Kind::kEnd, 0});
  gaugeValue = gaugeMax;
}

void FakeFetchHost::ProcessMessages() {
  ++pumps;
  if (onPump) onPump();
}

std::string FakeFetchHost::GaugeText() const {
  std::string text;
  for (const auto& e : gauge) {
    if (!text.empty()) text += ", ";
    switch (e.kind) {
      case Event::Kind::kBegin:
        text += "begin " + std::to_string(e.value);
        break;
      case Event::Kind::kWork:
        text += "work " + std::to_string(e.value);
        break;
      case Event::Kind::kEnd:
        text += "end";
        break;
    }
  }
  return text;
}

int FakeFetchHost::WorkCount() const {
  return static_cast<int>(std::count_if(
      gauge.begin(), gauge.end(), [](const Event& e) { return e.kind == Event::Kind::kWork; }));
}

}  // namespace quorvane
