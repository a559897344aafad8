# Runs at install time: writes the desktop entry of a plain install with
# the launcher and icon named by full path, since the prefix may be any
# folder (`cmake --install build --prefix P`) that the desktop does not
# search. Needs QUORVANE_PACKAGING_SOURCE and QUORVANE_PACKAGING_BINARY.
get_filename_component(_prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
# Exec takes a quoted path; inside quotes ", `, $ and \ need a backslash.
string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" _exec "${_prefix}/bin/quorvane")
set(QUORVANE_DESKTOP_EXEC "\"${_exec}\"")
set(QUORVANE_DESKTOP_ICON "${_prefix}/share/icons/hicolor/scalable/apps/quorvane.svg")
if(EXISTS "${QUORVANE_PACKAGING_BINARY}/icons/256x256/quorvane.png")
  set(QUORVANE_DESKTOP_ICON "${_prefix}/share/icons/hicolor/256x256/apps/quorvane.png")
endif()
configure_file("${QUORVANE_PACKAGING_SOURCE}/quorvane.desktop.in"
               "${QUORVANE_PACKAGING_BINARY}/plain/quorvane.desktop" @ONLY)
file(INSTALL DESTINATION "${_prefix}/share/applications" TYPE FILE
     FILES "${QUORVANE_PACKAGING_BINARY}/plain/quorvane.desktop")
