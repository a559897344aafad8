#pragma once

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

namespace quorvane {

// Writes whole files on a thread of its own, so that the disk (a sync can
// take a while) never holds up the caller. Each file is written as
// WriteFileAtomically writes it: the old content stays until the new one
// is complete. The thread does nothing else: the bytes come ready-made,
// and it touches no state of the caller's.
//
// One write at a time; a write handed over while another is still waiting
// replaces the waiting one (only the newest content matters).
class BackgroundFileWriter {
 public:
  BackgroundFileWriter() = default;
  // Drops a waiting write, finishes the one in progress and ends the thread.
  ~BackgroundFileWriter();
  BackgroundFileWriter(const BackgroundFileWriter&) = delete;
  BackgroundFileWriter& operator=(const BackgroundFileWriter&) = delete;

  void Write(std::filesystem::path path, std::string bytes);
  // Drops a waiting write and returns once no write is in progress: the
  // files are then the caller's again (to remove, say).
  void Wait();
  // True while a write waits or is in progress.
  bool Busy() const;
  // The error of the last write that failed since the last call, if any.
  std::error_code TakeError();

 private:
  struct Job {
    std::filesystem::path path;
    std::string bytes;
  };
  void Run();

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::optional<Job> waiting_;
  bool writing_ = false;
  bool stopping_ = false;
  std::error_code error_;
  std::thread thread_;  // started with the first write
};

}  // namespace quorvane
