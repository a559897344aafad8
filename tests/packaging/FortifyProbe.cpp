// Compiled with the project's options only, so that hardening_test can see
// whether they fortify libc calls: the tools make no call whose buffer size
// the compiler knows, so their binaries cannot show it. A copy of a length
// known only at run time into a buffer of known size becomes __memcpy_chk.
#include <cstddef>
#include <cstring>

extern "C" void quorvane_fortify_probe(char* out, const char* in, std::size_t length) {
  char buffer[16];
  std::memcpy(buffer, in, length);
  std::memcpy(out, buffer, sizeof buffer);
}
