// quorvane_save_loop PROGRAMFOLDER: stores the last-news id in the settings
// file of PROGRAMFOLDER over and over, alternating between two ids, until
// it is killed. Before each save it writes "begin N", after it "end N"
// (N counts from 0), each line in one write, so a test that kills it can
// tell whether the kill landed inside a save. Save N stores SaveLoopId(N).
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <string>

#include "base/ProgramFolder.h"
#include "settings/LastNewsId.h"
#include "settings/SaveLoopIds.h"

using namespace quorvane;

namespace {

void Say(const std::string& line) {
  const std::string text = line + "\n";
  // One write: the line reaches the pipe whole before the next step starts.
  if (::write(STDOUT_FILENO, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
    std::_Exit(3);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quorvane_save_loop PROGRAMFOLDER\n");
    return 2;
  }
  SetProgramFolder(argv[1]);
  try {
    for (unsigned long n = 0;; ++n) {
      Say("begin " + std::to_string(n));
      SaveLastNewsId(SaveLoopId(n));
      Say("end " + std::to_string(n));
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "quorvane_save_loop: %s\n", e.what());
    return 1;
  }
}
