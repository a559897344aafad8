#pragma once

#include <string>

namespace quorvane {

// Mounts made by a test (small disks, read-only folders) go into a mount
// namespace of the test process's own when it may make one: they vanish
// with the process, also when a test crashes or is killed on its time
// limit, and other processes never see them. The namespace is entered once,
// before main() (unshare refuses a process that already runs threads).

// True when this process has its own mount namespace.
bool MountsArePrivate();

// Why mounts are not private ("" when they are).
const std::string& WhyMountsAreShared();

}  // namespace quorvane
