# Install rules and packages.
#
# Quorvane runs from a portable program folder: the executable plus the
# files a publisher puts beside it (dbsettings.dat, bannerN.dat,
# mainskin.dat, main.ico, Updater.exe). The program writes its working
# files into that folder, so it must be writable by the user who runs it.
#
#   cmake --install build --prefix P   P/quorvane/            the program folder
#                                      P/bin/quorvane          launcher
#                                      P/share/applications/   desktop entry
#                                      P/share/icons/hicolor/  icons
#   cpack -G TGZ                       quorvane/ alone, ready to unpack anywhere
#   cpack -G DEB                       /usr/lib/quorvane/      read-only master copy
#                                      /usr/bin/quorvane       launcher that runs a
#                                                              per-user copy
#                                      /usr/share/...          desktop entry, icons
#
# The launcher (packaging/quorvane-launcher.in) starts a writable folder in
# place and otherwise keeps a copy in ~/.local/share/quorvane.

set(QUORVANE_INSTALL_FOLDER "quorvane" CACHE STRING
    "Program folder below the install prefix")
set(QUORVANE_BRAND_DIR "" CACHE PATH
    "Folder whose files (dbsettings.dat, bannerN.dat, mainskin.dat, main.ico, Updater.exe) are installed into the program folder")

set(_pkg_dir ${PROJECT_SOURCE_DIR}/packaging)
set(_pkg_out ${CMAKE_BINARY_DIR}/packaging)

# Application icon: drawn by hand as SVG, PNG sizes made at build time.
set(_icon_sizes 16 24 32 48 64 128 256)
set(_icon_pngs)
find_program(QUORVANE_CONVERT convert)
if(QUORVANE_CONVERT)
  foreach(_s IN LISTS _icon_sizes)
    set(_png ${_pkg_out}/icons/${_s}x${_s}/quorvane.png)
    add_custom_command(OUTPUT ${_png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${_pkg_out}/icons/${_s}x${_s}
      COMMAND ${QUORVANE_CONVERT} -background none -density 384 ${_pkg_dir}/quorvane.svg
              -resize ${_s}x${_s} -depth 8 -strip PNG32:${_png}
      DEPENDS ${_pkg_dir}/quorvane.svg
      COMMENT "Drawing the ${_s}x${_s} application icon"
      VERBATIM)
    list(APPEND _icon_pngs ${_png})
  endforeach()
  add_custom_target(quorvane_icons ALL DEPENDS ${_icon_pngs})
else()
  message(STATUS "ImageMagick convert not found: installing the scalable icon only (scripts/bootstrap installs it)")
endif()

# Launchers: the plain install starts a writable folder in place; the
# Debian package's folder belongs to the system, so it always runs a copy.
set(QUORVANE_LAUNCHER_MASTER "../${QUORVANE_INSTALL_FOLDER}")
set(QUORVANE_LAUNCHER_IN_PLACE 1)
configure_file(${_pkg_dir}/quorvane-launcher.in ${_pkg_out}/plain/quorvane @ONLY)
set(QUORVANE_LAUNCHER_MASTER "../lib/quorvane")
set(QUORVANE_LAUNCHER_IN_PLACE 0)
configure_file(${_pkg_dir}/quorvane-launcher.in ${_pkg_out}/deb/quorvane @ONLY)

# The package's desktop entry names the launcher on PATH and the themed icon.
set(QUORVANE_DESKTOP_EXEC quorvane)
set(QUORVANE_DESKTOP_ICON quorvane)
configure_file(${_pkg_dir}/quorvane.desktop.in ${_pkg_out}/deb/quorvane.desktop @ONLY)

# Components:
#   program, launcher, desktop      plain install (default) and the archive
#   debprogram, deblauncher,
#   debdesktop                      the Debian package only
function(_quorvane_install_program_folder dest component)
  set(_extra)
  if(NOT component STREQUAL "program")
    set(_extra EXCLUDE_FROM_ALL)
  endif()
  install(TARGETS quorvane RUNTIME DESTINATION ${dest} COMPONENT ${component} ${_extra})
  if(QUORVANE_BRAND_DIR)
    file(GLOB _brand_files LIST_DIRECTORIES false ${QUORVANE_BRAND_DIR}/*)
    foreach(_f IN LISTS _brand_files)
      get_filename_component(_name ${_f} NAME)
      if(_name STREQUAL "quorvane")
        message(WARNING "QUORVANE_BRAND_DIR: ${_f} is left out; the build installs the program")
      elseif(_name STREQUAL "Updater.exe")
        install(PROGRAMS ${_f} DESTINATION ${dest} COMPONENT ${component} ${_extra})
      else()
        install(FILES ${_f} DESTINATION ${dest} COMPONENT ${component} ${_extra})
      endif()
    endforeach()
  endif()
endfunction()

function(_quorvane_install_icons component)
  set(_extra)
  if(component MATCHES "^deb")
    set(_extra EXCLUDE_FROM_ALL)
  endif()
  install(FILES ${_pkg_dir}/quorvane.svg
          DESTINATION share/icons/hicolor/scalable/apps COMPONENT ${component} ${_extra})
  foreach(_s IN LISTS _icon_sizes)
    if(QUORVANE_CONVERT)
      install(FILES ${_pkg_out}/icons/${_s}x${_s}/quorvane.png
              DESTINATION share/icons/hicolor/${_s}x${_s}/apps COMPONENT ${component} ${_extra})
    endif()
  endforeach()
endfunction()

_quorvane_install_program_folder(${QUORVANE_INSTALL_FOLDER} program)
install(PROGRAMS ${_pkg_out}/plain/quorvane DESTINATION bin COMPONENT launcher)
_quorvane_install_icons(desktop)
# The plain desktop entry is written when the install runs, so that it
# names the launcher below the prefix given to `cmake --install --prefix`.
install(CODE "
  set(QUORVANE_PACKAGING_SOURCE \"${_pkg_dir}\")
  set(QUORVANE_PACKAGING_BINARY \"${_pkg_out}\")
  include(\"${_pkg_dir}/InstallDesktopEntry.cmake\")
" COMPONENT desktop)

_quorvane_install_program_folder(lib/quorvane debprogram)
install(PROGRAMS ${_pkg_out}/deb/quorvane DESTINATION bin COMPONENT deblauncher EXCLUDE_FROM_ALL)
install(FILES ${_pkg_out}/deb/quorvane.desktop
        DESTINATION share/applications COMPONENT debdesktop EXCLUDE_FROM_ALL)
install(FILES ${_pkg_dir}/copyright
        DESTINATION share/doc/quorvane COMPONENT debdesktop EXCLUDE_FROM_ALL)
_quorvane_install_icons(debdesktop)

# Packages. Each generator picks its components and prefix in
# packaging/CPackOptions.cmake.
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VENDOR "Quorvane")
set(CPACK_PACKAGE_CONTACT "Quorvane developers <quorvane@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Keyword research: related phrases, search counts, CSV")
set(CPACK_PACKAGE_DESCRIPTION
    "Quorvane gathers search phrases related to a main keyword with their\nsearch counts, asks three web search engines how many pages they report\nfor each phrase, and saves the table as CSV.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME quorvane-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR})
set(CPACK_GENERATOR "TGZ;DEB")
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_PROJECT_CONFIG_FILE ${_pkg_dir}/CPackOptions.cmake)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME quorvane)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6 (>= 2.34), libstdc++6 (>= 12), libgcc-s1 (>= 3.0), libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6network6 (>= 6.4), qt6-qpa-plugins, libglib2.0-0 (>= 2.74), libcurl4 (>= 7.88), libssl3 (>= 3.0)")

include(CPack)
