# Runs at install time: writes the desktop entry of a plain install with
# the command and icon named by full path, since the prefix may be any
# folder (`cmake --install build --prefix P`) that the desktop does not
# search. Needs QUORVANE_PACKAGE and QUORVANE_PACKAGING_BINARY, whose
# plain/<package>.desktop.in the configure step wrote from the identity.
get_filename_component(_prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
# Exec takes a quoted path; inside quotes ", `, $ and \ need a backslash,
# and the desktop entry's own escaping doubles every backslash again.
string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" _exec "${_prefix}/bin/${QUORVANE_PACKAGE}")
string(REPLACE "\\" "\\\\" _exec "${_exec}")
set(_icon "${_prefix}/share/icons/hicolor/256x256/apps/${QUORVANE_PACKAGE}.png")
file(READ "${QUORVANE_PACKAGING_BINARY}/plain/${QUORVANE_PACKAGE}.desktop.in" _entry)
string(REPLACE "@QUORVANE_DESKTOP_EXEC@" "\"${_exec}\"" _entry "${_entry}")
string(REPLACE "@QUORVANE_DESKTOP_ICON@" "${_icon}" _entry "${_entry}")
file(WRITE "${QUORVANE_PACKAGING_BINARY}/plain/${QUORVANE_PACKAGE}.desktop" "${_entry}")
file(INSTALL DESTINATION "${_prefix}/share/applications" TYPE FILE
     FILES "${QUORVANE_PACKAGING_BINARY}/plain/${QUORVANE_PACKAGE}.desktop")
