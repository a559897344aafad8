#pragma once

#include <sys/resource.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace quorvane {

class FileSizeLimit;

// A disk that runs full. Where the process may mount (CAP_SYS_ADMIN), a
// tmpfs of the given size is mounted on a fresh temporary folder, so writes
// fail with ENOSPC as on a real full disk. Otherwise Folder() is an
// ordinary temporary folder and Fill() stands in with a file size limit
// (EFBIG past the limit in any one file), which is the same fault for a
// single file that grows; Real() tells which. The mount lives in the
// process's own mount namespace when it has one (support/PrivateMounts.h)
// and is detached when the object goes in any case.
class SmallDisk {
 public:
  explicit SmallDisk(std::uintmax_t bytes);
  ~SmallDisk();
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  // True: a real full disk (tmpfs). False: a file size limit stands in.
  bool Real() const { return mounted_; }
  // Why there is no real disk ("" when there is).
  const std::string& WhyNotReal() const { return why_; }
  // errno of a write that does not fit: ENOSPC, or EFBIG for the limit.
  int FullError() const;

  // An empty folder on the disk for the test's files; the filler that
  // Fill() writes lives beside it, not in it.
  const std::filesystem::path& Folder() const { return folder_; }

  // From now on only `bytes` more fit: the free space is filled up to that
  // (in whole blocks of the disk), or files are limited to `bytes` each.
  void Fill(std::uintmax_t bytes);
  // Gives the room back.
  void Unfill();

  // Bytes free on the disk now (the real disk only).
  std::uintmax_t FreeBytes() const;

 private:
  std::filesystem::path root_;
  std::filesystem::path folder_;
  bool mounted_ = false;
  std::string why_;
  std::unique_ptr<FileSizeLimit> limit_;
};

}  // namespace quorvane
