#include "support/NoExecFolder.h"

#include <stdlib.h>
#include <sys/mount.h>
#include <sys/statvfs.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "support/PrivateMounts.h"

namespace quorvane {

NoExecFolder::NoExecFolder() {
  std::string templ = (std::filesystem::temp_directory_path() / "quorvane-noexec-XXXXXX").string();
  if (::mkdtemp(templ.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = templ;
  MountsArePrivate();  // before the first mount
  if (::mount("tmpfs", path_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV | MS_NOEXEC,
              "size=16m,mode=0755") != 0) {
    why_ = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
    return;
  }
  struct statvfs info {};
  mounted_ = true;
  if (::statvfs(path_.c_str(), &info) != 0 || (info.f_flag & ST_NOEXEC) == 0) {
    why_ = "the mount is not noexec";
    mounted_ = false;
    ::umount2(path_.c_str(), MNT_DETACH);
  }
}

NoExecFolder::~NoExecFolder() {
  std::error_code ec;
  if (mounted_) {
    ::umount2(path_.c_str(), MNT_DETACH);
  } else {
    std::filesystem::remove_all(path_, ec);
  }
  std::filesystem::remove(path_, ec);
}

}  // namespace quorvane
