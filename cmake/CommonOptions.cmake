# One interface target carries the warning flags, hardening flags,
# sanitizer flags and project-wide definitions; every target of the project
# links it.
add_library(quorvane_options INTERFACE)
target_compile_options(quorvane_options INTERFACE -Wall -Wextra)
target_compile_definitions(quorvane_options INTERFACE
  QT_DISABLE_DEPRECATED_BEFORE=0x060400)

# Warnings as errors is for the project's own builds (scripts/test, CI): a
# newer or older compiler that warns about something new must not stop a
# user or a packager from building a release.
option(QUORVANE_WERROR "Treat compiler warnings as errors (developers and CI)" OFF)
if(QUORVANE_WERROR)
  target_compile_options(quorvane_options INTERFACE -Werror)
endif()

# The hardening Debian's packaging tools ask for: fortified libc calls, a
# strong stack protector, stack-clash probes, control-flow protection
# (endbr64 landing pads), position-independent executables and a read-only
# relocation table bound at start. The sanitizer and fuzz builds leave it
# out: _FORTIFY_SOURCE hides overruns from AddressSanitizer.
option(QUORVANE_HARDEN "Build with the usual hardening flags" ON)
set(QUORVANE_HARDENED OFF)
if(QUORVANE_HARDEN AND NOT QUORVANE_SANITIZE AND NOT QUORVANE_FUZZ)
  set(QUORVANE_HARDENED ON)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  include(CheckPIESupported)
  check_pie_supported(LANGUAGES CXX)
  target_compile_options(quorvane_options INTERFACE
    -fstack-protector-strong -fstack-clash-protection -fcf-protection
    # Keeps each compile's switches in the binary (.GCC.command.line), so
    # the packaging test can see them; stack-clash probes leave no mark of
    # their own in small frames.
    -frecord-gcc-switches)
  # glibc fortifies only optimised code (and warns otherwise); a packager's
  # own setting (dpkg-buildflags puts it in CPPFLAGS/CXXFLAGS) wins.
  if(NOT CMAKE_CXX_FLAGS MATCHES "_FORTIFY_SOURCE")
    target_compile_definitions(quorvane_options INTERFACE
      $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
  endif()
  target_link_options(quorvane_options INTERFACE -Wl,-z,relro -Wl,-z,now)
endif()

if(QUORVANE_SANITIZE)
  set(_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_compile_options(quorvane_options INTERFACE ${_san})
  target_link_options(quorvane_options INTERFACE ${_san})
endif()
