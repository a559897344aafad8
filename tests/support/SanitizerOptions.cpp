// The sanitizers' options of every test program, built in rather than
// given through the environment, so that they hold however a test is
// started (CTest, by hand, or as a child of another test). An option set
// in the environment still wins.
extern "C" {

const char* __asan_default_options();
const char* __lsan_default_options();
const char* __ubsan_default_options();

// No strict_string_checks: X11's keyboard library hands strndup a buffer
// without a terminating NUL, within the length it gives.
const char* __asan_default_options() {
  return "detect_leaks=1:abort_on_error=0";
}

// Allocations the system's libraries keep until the process ends.
const char* __lsan_default_options() {
  return "suppressions=" QUORVANE_LSAN_SUPPRESSIONS ":print_suppressions=0";
}

const char* __ubsan_default_options() {
  return "print_stacktrace=1:halt_on_error=1";
}

}  // extern "C"
