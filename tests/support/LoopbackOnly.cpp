// Linked into every test program: the program's HTTP client may reach
// nothing but this machine while tests run, whatever addresses a window
// under test was built with.
#include "web/HttpClient.h"

namespace quorvane {

namespace {
const bool kRestricted = [] {
  HttpClient::RestrictToLoopbackForTests(true);
  return true;
}();
}  // namespace

}  // namespace quorvane
