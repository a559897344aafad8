#include "app/BackgroundFileWriter.h"

#include <utility>

#include "base/AtomicFileWriter.h"

namespace quorvane {

BackgroundFileWriter::~BackgroundFileWriter() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
    waiting_.reset();
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void BackgroundFileWriter::Write(std::filesystem::path path, std::string bytes) {
  {
    const std::lock_guard lock(mutex_);
    waiting_ = Job{std::move(path), std::move(bytes)};
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
  }
  wake_.notify_one();
}

void BackgroundFileWriter::Wait() {
  std::unique_lock lock(mutex_);
  waiting_.reset();
  idle_.wait(lock, [this] { return !writing_; });
}

bool BackgroundFileWriter::Busy() const {
  const std::lock_guard lock(mutex_);
  return writing_ || waiting_.has_value();
}

std::error_code BackgroundFileWriter::TakeError() {
  const std::lock_guard lock(mutex_);
  return std::exchange(error_, {});
}

void BackgroundFileWriter::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || waiting_.has_value(); });
    if (stopping_) return;
    Job job = std::move(*waiting_);
    waiting_.reset();
    writing_ = true;
    lock.unlock();
    std::error_code error;
    try {
      error = WriteFileAtomically(job.path, job.bytes);
    } catch (...) {  // out of memory: the next write tries again
      error = std::make_error_code(std::errc::not_enough_memory);
    }
    job = Job{};  // the buffer goes before the next one is built
    lock.lock();
    writing_ = false;
    if (error) error_ = error;
    idle_.notify_all();
  }
}

}  // namespace quorvane
