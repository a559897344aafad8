#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QSocketNotifier>
#include <map>
#include <memory>
#include <vector>

#include "web/SocketWait.h"

namespace quorvane {

// The HTTP client's wait as a nested run of the thread's Qt event loop: a
// socket notifier for each of the client's sockets and a timer for the
// time given end it, and every event that arrives meanwhile (a key press,
// a screen reader's question, a click on Stop, the window closing) is
// handled at once, not at the client's next pump. Still one thread.
//
// Events are taken at most once per frame: a run of quick pages, whose
// waits follow each other closely, would otherwise lay out and draw the
// window for every page. Within a frame of the last look the wait watches
// the sockets alone until the frame is over; input then waits a frame at
// most.
class EventLoopWait final : public SocketWait {
 public:
  EventLoopWait() = default;
  ~EventLoopWait() override;
  EventLoopWait(const EventLoopWait&) = delete;
  EventLoopWait& operator=(const EventLoopWait&) = delete;

  void Watch(int fd, int events) override;
  void Wait(std::chrono::milliseconds limit, std::vector<Ready>& ready) override;
  void Interrupt() override;

 private:
  struct Socket {
    int events = kNone;
    std::unique_ptr<QSocketNotifier> read;
    std::unique_ptr<QSocketNotifier> write;
  };

  void Arm(int fd, Socket& socket);
  void Disarm();
  void Fired(int fd, int events);
  // Waits for the sockets alone, at most `limit`; appends what is ready.
  void PollSockets(std::chrono::milliseconds limit, std::vector<Ready>& ready);

  std::map<int, Socket> sockets_;
  std::vector<Ready> fired_;
  QEventLoop* loop_ = nullptr;  // the running wait's loop
  QElapsedTimer lastLook_;      // when events were last taken
};

}  // namespace quorvane
