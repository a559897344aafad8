#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

namespace quorvane {

// Makes an existing folder read-only for as long as the object lives: a
// read-only bind mount of the folder over itself where the process may
// mount (root is not stopped by permission bits), else the permission bits
// 0555 (which bind everyone but root). Whether it worked is checked by
// trying to create a file there: Active() is false, with the reason in
// WhyNotActive(), when the folder still takes files. The mount lives in the
// process's own mount namespace when it has one (support/PrivateMounts.h)
// and is detached when the object goes in any case.
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(std::filesystem::path folder);
  ~ReadOnlyFolder();
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

  bool Active() const { return active_; }
  const std::string& WhyNotActive() const { return why_; }
  // errno of a refused create: EROFS under the mount, EACCES under 0555.
  int RefusalError() const { return mounted_ ? EROFS : EACCES; }

 private:
  void Undo();

  std::filesystem::path folder_;
  bool mounted_ = false;
  bool chmodded_ = false;
  mode_t savedMode_ = 0;
  bool active_ = false;
  std::string why_;
};

}  // namespace quorvane
