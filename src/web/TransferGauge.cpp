#include "web/TransferGauge.h"

#include <algorithm>
#include <utility>

namespace quorvane {

TransferGauge::TransferGauge(FetchHost& host, std::int64_t uploadSize, std::function<void()> pump,
                             std::function<void()> abort)
    : host_(host), uploadSize_(uploadSize), pump_(std::move(pump)), abort_(std::move(abort)) {}

TransferGauge::~TransferGauge() {
  for (Direction* d : {&up_, &down_}) {
    if (!d->begun || d->ended) continue;
    d->ended = true;
    try {
      host_.WorkEnd();
    } catch (...) {  // already on the way out of an error
    }
  }
}

void TransferGauge::Upload(std::int64_t sent, bool done) {
  if (uploadSize_ <= 0) return;
  if (!up_.begun && sent > 0) Begin(up_, uploadSize_);
  if (up_.begun && !up_.ended && sent > up_.reported) Progress(up_, sent);
  if (up_.begun && !up_.ended && (sent >= uploadSize_ || done)) End(up_);
}

void TransferGauge::Download(const ResponseHead& head, std::int64_t received, bool cut, bool over) {
  if (!down_.begun && head.headersDone && !cut)
    Begin(down_, head.chunked ? 0 : std::max<std::int64_t>(head.length, 0));
  if (down_.begun && !down_.ended && received > down_.reported) Progress(down_, received);
  if (down_.begun && !down_.ended && over) End(down_);
}

void TransferGauge::Begin(Direction& d, std::int64_t expected) {
  d.begun = true;
  host_.WorkBegin(expected);
  pump_();
}

void TransferGauge::Progress(Direction& d, std::int64_t total) {
  d.reported = total;
  if (host_.AbortRequested()) abort_();
  host_.Work(total);
  pump_();
}

void TransferGauge::End(Direction& d) {
  d.ended = true;
  host_.WorkEnd();
  pump_();
}

}  // namespace quorvane
