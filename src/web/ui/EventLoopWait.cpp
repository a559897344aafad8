#include "web/ui/EventLoopWait.h"
#include "web/PollWait.h"

#include <QTimer>
#include <algorithm>
#include <utility>

namespace quorvane {

namespace {

constexpr qint64 kFrameMs = 16;

// A notifier for one kind of readiness, made on first use.
std::unique_ptr<QSocketNotifier> Notifier(int fd, QSocketNotifier::Type type) {
  auto notifier = std::make_unique<QSocketNotifier>(fd, type);
  notifier->setEnabled(false);
  return notifier;
}

}  // namespace

EventLoopWait::~EventLoopWait() = default;

void EventLoopWait::Watch(int fd, int events) {
  if (events == kNone) {
    // Gone before the socket closes, so no notifier watches a closed one.
    sockets_.erase(fd);
    std::erase_if(fired_, [fd](const Ready& r) { return r.fd == fd; });
    return;
  }
  Socket& socket = sockets_[fd];
  socket.events = events;
  if (loop_ != nullptr) Arm(fd, socket);
}

// Notifiers are on only during a wait: a readable socket fires again and
// again until libcurl reads it, and between waits that is not this
// object's business.
void EventLoopWait::Arm(int fd, Socket& socket) {
  const auto make = [this, fd](std::unique_ptr<QSocketNotifier>& slot, QSocketNotifier::Type type,
                               int events) {
    if (!slot) {
      slot = Notifier(fd, type);
      QObject::connect(slot.get(), &QSocketNotifier::activated,
                       [this, fd, events] { Fired(fd, events); });
    }
  };
  // A socket's error or hang-up wakes either notifier: libcurl finds out
  // on its next read or write.
  if ((socket.events & kRead) != 0) make(socket.read, QSocketNotifier::Read, kRead);
  if ((socket.events & kWrite) != 0) make(socket.write, QSocketNotifier::Write, kWrite);
  if (socket.read) socket.read->setEnabled((socket.events & kRead) != 0);
  if (socket.write) socket.write->setEnabled((socket.events & kWrite) != 0);
}

void EventLoopWait::Disarm() {
  for (auto& [fd, socket] : sockets_) {
    for (auto* notifier : {socket.read.get(), socket.write.get()}) {
      if (notifier != nullptr) notifier->setEnabled(false);
    }
  }
}

void EventLoopWait::Fired(int fd, int events) {
  auto found = sockets_.find(fd);
  if (found == sockets_.end()) return;
  // Off until the client has acted on it; the next wait arms it again.
  for (auto* notifier : {found->second.read.get(), found->second.write.get()}) {
    if (notifier != nullptr) notifier->setEnabled(false);
  }
  fired_.push_back({fd, events});
  if (loop_ != nullptr) loop_->quit();
}

void EventLoopWait::PollSockets(std::chrono::milliseconds limit, std::vector<Ready>& ready) {
  std::vector<std::pair<int, int>> watched;
  watched.reserve(sockets_.size());
  for (const auto& [fd, socket] : sockets_) watched.emplace_back(fd, socket.events);
  PollSocketsOnce(watched, limit, ready);
}

void EventLoopWait::Wait(std::chrono::milliseconds limit, std::vector<Ready>& ready) {
  // Waits do not nest: one request runs on a client at a time.
  if (loop_ != nullptr || limit.count() <= 0) return;
  if (lastLook_.isValid() && lastLook_.elapsed() < kFrameMs) {
    const auto untilFrame = std::chrono::milliseconds(kFrameMs - lastLook_.elapsed());
    const auto size = ready.size();
    PollSockets(std::min(limit, untilFrame), ready);
    if (ready.size() > size || limit <= untilFrame) return;
    limit -= untilFrame;
  }
  lastLook_.start();
  QEventLoop loop;
  QTimer timer;
  timer.setSingleShot(true);
  timer.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
  loop_ = &loop;
  for (auto& [fd, socket] : sockets_) Arm(fd, socket);
  timer.start(static_cast<int>(limit.count()));
  loop.exec();
  loop_ = nullptr;
  Disarm();
  for (const Ready& r : fired_) {
    // Several kinds of one socket become one entry.
    auto same =
        std::find_if(ready.begin(), ready.end(), [&r](const Ready& o) { return o.fd == r.fd; });
    if (same != ready.end()) {
      same->events |= r.events;
    } else {
      ready.push_back(r);
    }
  }
  fired_.clear();
}

void EventLoopWait::Interrupt() {
  if (loop_ != nullptr) loop_->quit();
}

}  // namespace quorvane
