# One interface target carries the warning flags, sanitizer flags and
# project-wide definitions; every target of the project links it.
add_library(quorvane_options INTERFACE)
target_compile_options(quorvane_options INTERFACE -Wall -Wextra -Werror)
target_compile_definitions(quorvane_options INTERFACE
  QT_DISABLE_DEPRECATED_BEFORE=0x060400)

if(QUORVANE_SANITIZE)
  set(_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_compile_options(quorvane_options INTERFACE ${_san})
  target_link_options(quorvane_options INTERFACE ${_san})
endif()
