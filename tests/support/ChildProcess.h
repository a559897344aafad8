#pragma once

#include <string>
#include <vector>

namespace quorvane {

// What a finished child process left behind.
struct ChildResult {
  int exitCode = -1;  // -1 when it did not exit normally
  int signal = 0;     // the signal that ended it, 0 if none
  std::string out;
  std::string err;
};

// Runs argv[0] (a path, or a name looked up on PATH) with the given
// arguments, standard input from /dev/null, and waits for it. Standard output
// and error are captured in full. Throws std::runtime_error if it cannot start.
ChildResult RunChild(const std::vector<std::string>& argv);

}  // namespace quorvane
