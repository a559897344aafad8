#pragma once

#include <filesystem>
#include <string>

namespace quorvane {

// A fresh temporary folder on a file system mounted noexec, as a home
// folder may be: nothing in it can be started as a program. Where the
// process may mount (CAP_SYS_ADMIN) a tmpfs is mounted noexec in the
// process's own mount namespace (support/PrivateMounts.h); otherwise it is
// an ordinary temporary folder and Active() is false, with the reason in
// WhyNotActive(). The folder and the mount go with the object.
class NoExecFolder {
 public:
  NoExecFolder();
  ~NoExecFolder();
  NoExecFolder(const NoExecFolder&) = delete;
  NoExecFolder& operator=(const NoExecFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  bool Active() const { return mounted_; }
  const std::string& WhyNotActive() const { return why_; }

 private:
  std::filesystem::path path_;
  bool mounted_ = false;
  std::string why_;
};

}  // namespace quorvane
