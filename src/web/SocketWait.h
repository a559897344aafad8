#pragma once

#include <chrono>
#include <vector>

namespace quorvane {

// How the HTTP client waits for its sockets while a request runs. The
// client says which socket to watch for what; Wait() returns once one of
// them is ready or the time given has passed. A window's implementation
// handles the window's own events (input, accessibility requests, timers)
// during the wait as they arrive, so a window whose request waits still
// answers at once; PollWait only waits.
class SocketWait {
 public:
  // What a socket is watched for, or ready for (or-ed together; an error
  // or hang-up is only ever reported, never watched for).
  enum Events : int { kNone = 0, kRead = 1, kWrite = 2, kError = 4 };
  struct Ready {
    int fd = -1;
    int events = kNone;
  };

  virtual ~SocketWait() = default;

  // From now on `fd` is watched for `events`; kNone forgets it. A socket
  // the wait does not know is ignored by kNone.
  virtual void Watch(int fd, int events) = 0;
  // Waits at most `limit` for a watched socket to be ready and appends the
  // ready ones to `ready`; nothing when the time passed or Interrupt()
  // ended the wait.
  virtual void Wait(std::chrono::milliseconds limit, std::vector<Ready>& ready) = 0;
  // Ends the running wait as soon as control comes back to it (a Stop
  // click or the window closing, handled during the wait, cut the
  // request). Outside a wait it does nothing.
  virtual void Interrupt() = 0;
};

}  // namespace quorvane
