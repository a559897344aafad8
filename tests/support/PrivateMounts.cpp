#include "support/PrivateMounts.h"

#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>

namespace quorvane {

namespace {

struct Namespace {
  bool isPrivate = false;
  std::string why;
};

Namespace Enter() {
  Namespace ns;
  if (::unshare(CLONE_NEWNS) != 0) {
    ns.why = std::string("unshare(CLONE_NEWNS): ") + std::strerror(errno);
    return ns;
  }
  // A new namespace still shares propagation with the one it came from;
  // without this, mounts made here would show up there too.
  if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
    ns.why = std::string("making / private: ") + std::strerror(errno);
    return ns;
  }
  ns.isPrivate = true;
  return ns;
}

// Entered while the process is still single-threaded.
const Namespace& Current() {
  static const Namespace ns = Enter();
  return ns;
}

[[maybe_unused]] const bool kEnteredAtStart = Current().isPrivate;

}  // namespace

bool MountsArePrivate() {
  return Current().isPrivate;
}

const std::string& WhyMountsAreShared() {
  return Current().why;
}

}  // namespace quorvane
