#pragma once

#include <filesystem>
#include <memory>
#include <ostream>
#include <string_view>
#include <system_error>

#include "base/FileOutBuf.h"

namespace quorvane {

// Writes a file under a temporary name in the target's folder and puts it in
// place with one rename once it is complete and on disk. Until Commit the
// old target stays as it was; a writer dropped without Commit (an error, an
// exception) removes its temporary file.
//
// A symbolic link is followed: the file it names is replaced and the link
// stays, except a link of another user in a sticky folder that everyone
// may write (/tmp), which is refused with EACCES as the kernel refuses to
// open through it. The new file gets the permission bits and group of the
// one it replaces where the user may set them, or what a plain create
// would give.
//
// A writer that is killed cannot remove its file; the next writer of the
// same target does. Each writer holds a lock on its temporary file while
// it lives, which the system lets go when the process dies, so a file
// nobody holds is a leftover, and a writer still at work (another process)
// keeps its file.
class AtomicFileWriter {
 public:
  // Throws FileError naming the target when the temporary file cannot be
  // made (missing folder, no permission, a link that leads nowhere).
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

  // Removes the temporary files of `target` (a link followed) that no
  // writer holds any more (".<name>.XXXXXX.tmp" beside it). Errors are
  // ignored.
  static void RemoveStaleTemporaries(const std::filesystem::path& target);

 private:
  void ReleaseLock();

  std::filesystem::path target_;  // as the caller named it, for errors
  std::filesystem::path file_;    // the file replaced: the target, links followed
  std::filesystem::path temp_;
  int lock_ = -1;  // keeps the lock past the close of the written file
  std::unique_ptr<FileOutBuf> buffer_;
  std::ostream stream_;
  bool committed_ = false;
};

// The whole of `bytes` as the new content of `path`, through one
// AtomicFileWriter, for a caller that has the content in memory and wants
// the reason of a failure rather than an exception. Returns the first
// error met, or an empty error code; after an error an existing file is as
// it was and no temporary file is left.
std::error_code WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

}  // namespace quorvane
