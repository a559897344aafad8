// Linked into every test program in place of the web library's own
// definition: the program's HTTP clients may reach nothing but this machine
// while tests run, whatever addresses a window under test was built with.
#include "web/LoopbackOnly.h"

namespace quorvane {

bool LoopbackOnly() {
  return true;
}

}  // namespace quorvane
