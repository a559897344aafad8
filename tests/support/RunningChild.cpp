#include "support/RunningChild.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace quorvane {

RunningChild::RunningChild(const std::vector<std::string>& argv) {
  if (argv.empty()) throw std::runtime_error("RunningChild: no program");
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) throw std::runtime_error("RunningChild: no pipe");

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);

  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const int rc = ::posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  if (rc != 0) {
    ::close(pipeFds[0]);
    throw std::runtime_error("RunningChild: cannot start " + argv[0] + ": " + std::strerror(rc));
  }
  out_ = pipeFds[0];
}

RunningChild::~RunningChild() {
  if (!reaped_) KillAndWait(SIGKILL);
  if (out_ >= 0) ::close(out_);
}

std::optional<std::string> RunningChild::ReadLine(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const std::size_t eol = pending_.find('\n');
    if (eol != std::string::npos) {
      std::string line = pending_.substr(0, eol);
      pending_.erase(0, eol + 1);
      return line;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd p{out_, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return std::nullopt;
    char chunk[4096];
    const ssize_t n = ::read(out_, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return std::nullopt;
    pending_.append(chunk, static_cast<std::size_t>(n));
  }
}

int RunningChild::KillAndWait(int signal) {
  int status = 0;
  if (reaped_) return status;
  ::kill(pid_, signal);
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  reaped_ = true;
  return status;
}

std::vector<std::string> RunningChild::RemainingLines() {
  char chunk[4096];
  for (;;) {
    const ssize_t n = ::read(out_, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    pending_.append(chunk, static_cast<std::size_t>(n));
  }
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t eol; (eol = pending_.find('\n', start)) != std::string::npos; start = eol + 1)
    lines.push_back(pending_.substr(start, eol - start));
  if (start < pending_.size()) lines.push_back(pending_.substr(start));
  pending_.clear();
  return lines;
}

}  // namespace quorvane
