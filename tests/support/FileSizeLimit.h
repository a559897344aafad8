#pragma once

#include <signal.h>
#include <sys/resource.h>

#include <stdexcept>

namespace quorvane {

// Caps the size of files this process (and children it starts) may write,
// so writes past `bytes` fail with EFBIG as on a full disk; works for root
// too, unlike read-only folders. SIGXFSZ is ignored meanwhile so the failed
// write returns an error instead of ending the process.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    if (getrlimit(RLIMIT_FSIZE, &saved_) != 0) throw std::runtime_error("getrlimit failed");
    savedHandler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) throw std::runtime_error("setrlimit failed");
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, savedHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  sighandler_t savedHandler_ = SIG_DFL;
};

}  // namespace quorvane
