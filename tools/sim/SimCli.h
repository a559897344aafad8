#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace quorvane::sim {

// The quorvane-sim command line: options, --help, scenario loading, and
// serving until SIGINT or SIGTERM.
class SimCli {
 public:
  static int Main(int argc, char** argv);
  // `args` without the program name. Returns the exit status.
  static int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};

}  // namespace quorvane::sim
