#pragma once

#include <cstdint>
#include <functional>

#include "web/FetchHost.h"
#include "web/ResponseHead.h"

namespace quorvane {

// The progress of one request on its host's gauge: the upload of a request
// body, then the body of the final response, each as WorkBegin, Work ...
// and WorkEnd. The client reports after every round of its transfer. Each
// call to the host is followed by `pump` (the client handles the host's
// messages there), and a progress report that finds the host's abort flag
// set calls `abort` first, which cuts the transfer.
class TransferGauge {
 public:
  // `uploadSize`: the bytes of the request body, 0 when there is none.
  TransferGauge(FetchHost& host, std::int64_t uploadSize, std::function<void()> pump,
                std::function<void()> abort);
  // A direction begun and not ended ends here, without a pump: a transfer
  // left by an error must not stay drawn as busy. Errors of the host are
  // swallowed on that way, another one is already on its way out.
  ~TransferGauge();
  TransferGauge(const TransferGauge&) = delete;
  TransferGauge& operator=(const TransferGauge&) = delete;

  // The request body: `sent` bytes of it so far. `done` ends it (the head
  // of the response has come, or the transfer is over).
  void Upload(std::int64_t sent, bool done);

  // The response body: it begins once the head of the final response is
  // read, unless the transfer has been `cut` by then; `received` bytes of
  // it so far; `over` (the transfer has ended) ends it.
  void Download(const ResponseHead& head, std::int64_t received, bool cut, bool over);

 private:
  struct Direction {
    bool begun = false;
    bool ended = false;
    std::int64_t reported = 0;
  };

  void Begin(Direction& d, std::int64_t expected);
  void Progress(Direction& d, std::int64_t total);
  void End(Direction& d);

  FetchHost& host_;
  std::int64_t uploadSize_;
  std::function<void()> pump_;
  std::function<void()> abort_;
  Direction up_;
  Direction down_;
};

}  // namespace quorvane
