#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace quorvane {

// A child process that runs while the test talks to it: its standard output
// comes through a pipe, line by line, and the test may kill it at any
// moment. Standard input is /dev/null, standard error is the test's own.
// The destructor kills and reaps a child that is still running.
class RunningChild {
 public:
  // Starts argv[0] (a path). Throws std::runtime_error if it cannot start.
  explicit RunningChild(const std::vector<std::string>& argv);
  ~RunningChild();
  RunningChild(const RunningChild&) = delete;
  RunningChild& operator=(const RunningChild&) = delete;

  pid_t Pid() const { return pid_; }

  // The next line of output without its LF; nullopt at the end of the
  // output or when `timeout` passes first.
  std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);

  // Sends `signal` and waits until the child has ended (its files are
  // closed then). Returns the wait status.
  int KillAndWait(int signal);

  // Every line still in the pipe after the child has ended; the last one
  // may lack its LF when the child died while writing it.
  std::vector<std::string> RemainingLines();

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  bool reaped_ = false;
  std::string pending_;
};

}  // namespace quorvane
