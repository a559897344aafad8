#pragma once

#include <filesystem>
#include <memory>
#include <ostream>

#include "settings/FileOutBuf.h"

// Writes a file under a temporary name in the target's folder and puts it in
// place with one rename once it is complete and on disk. Until Commit the
// old target stays as it was; a writer dropped without Commit (an error, an
// exception) removes its temporary file.
class AtomicFileWriter {
 public:
  // Throws FileError naming the target when the temporary file cannot be
  // made (missing folder, no permission).
  explicit AtomicFileWriter(std::filesystem::path target);
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  std::ostream& Stream() { return stream_; }
  // errno of the first failed write, 0 if none.
  int WriteError() const { return buffer_->Error(); }
  const std::filesystem::path& TempPath() const { return temp_; }

  // Flushes, syncs, closes and renames over the target; throws FileError.
  void Commit();

 private:
  std::filesystem::path target_;
  std::filesystem::path temp_;
  std::unique_ptr<FileOutBuf> buffer_;
  std::ostream stream_;
  bool committed_ = false;
};
