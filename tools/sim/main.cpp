#include <iostream>
#include <string_view>

#include "sim/SimCli.h"

using namespace quorvane;
using namespace quorvane::sim;

int main(int argc, char** argv) {
  // Answered here, before any other argument is looked at.
  if (argc == 2 && std::string_view(argv[1]) == "--version") {
    std::cout << "quorvane-sim " << QUORVANE_TOOL_VERSION << '\n';
    return 0;
  }
  return SimCli::Main(argc, argv);
}
