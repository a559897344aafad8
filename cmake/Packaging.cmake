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
#   cpack -G DEB                       quorvane:
#                                      /usr/lib/quorvane/      read-only master copy
#                                      /usr/bin/quorvane       launcher that runs a
#                                                              per-user copy
#                                      /usr/share/...          desktop entry, icons,
#                                                              AppStream data, manual
#                                      quorvane-tools:
#                                      /usr/bin/quorvane-brand, quorvane-sim
#
# The launcher (packaging/quorvane-launcher.in) starts a writable folder in
# place and otherwise keeps a copy in ~/.local/share/quorvane.

set(QUORVANE_INSTALL_FOLDER "quorvane" CACHE STRING
    "Program folder below the install prefix")
set(QUORVANE_BRAND_DIR "" CACHE PATH
    "Folder whose files (dbsettings.dat, bannerN.dat, mainskin.dat, main.ico, Updater.exe) are installed into the program folder")

set(_pkg_dir ${PROJECT_SOURCE_DIR}/packaging)
set(_pkg_out ${CMAKE_BINARY_DIR}/packaging)

# Application icon: drawn by hand as SVG; the PNG sizes are drawn at build
# time by our own tool (tools/icon) with Qt's SVG renderer.
set(_icon_sizes 16 24 32 48 64 128 256)
set(_icon_pngs)
foreach(_s IN LISTS _icon_sizes)
  set(_png ${_pkg_out}/icons/${_s}x${_s}/quorvane.png)
  add_custom_command(OUTPUT ${_png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_pkg_out}/icons/${_s}x${_s}
    COMMAND quorvane-icon ${_pkg_dir}/quorvane.svg ${_png} ${_s}
    DEPENDS ${_pkg_dir}/quorvane.svg quorvane-icon
    COMMENT "Drawing the ${_s}x${_s} application icon"
    VERBATIM)
  list(APPEND _icon_pngs ${_png})
endforeach()

# Manual pages and the Debian changelog, compressed as Debian wants them:
# gzip -9 without a name or time stamp, so that builds are reproducible.
find_program(QUORVANE_GZIP gzip REQUIRED)
set(QUORVANE_MAINTAINER "Quorvane developers <developers@quorvane.com>" CACHE STRING
    "Maintainer named in the Debian packages and their changelog")
configure_file(${_pkg_dir}/changelog.in ${_pkg_out}/changelog @ONLY)
set(_gz_outputs)
foreach(_page quorvane quorvane-brand quorvane-sim)
  set(_gz ${_pkg_out}/man/${_page}.1.gz)
  add_custom_command(OUTPUT ${_gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_pkg_out}/man
    COMMAND sh -c "\"$1\" -9n -c \"$2\" >\"$3\"" sh ${QUORVANE_GZIP} ${_pkg_dir}/man/${_page}.1 ${_gz}
    DEPENDS ${_pkg_dir}/man/${_page}.1
    VERBATIM)
  list(APPEND _gz_outputs ${_gz})
endforeach()
add_custom_command(OUTPUT ${_pkg_out}/changelog.gz
  COMMAND sh -c "\"$1\" -9n -c \"$2\" >\"$3\"" sh ${QUORVANE_GZIP} ${_pkg_out}/changelog ${_pkg_out}/changelog.gz
  DEPENDS ${_pkg_out}/changelog
  VERBATIM)
list(APPEND _gz_outputs ${_pkg_out}/changelog.gz)
add_custom_target(quorvane_package_files ALL DEPENDS ${_icon_pngs} ${_gz_outputs})

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
#   debdesktop                      the Debian package quorvane
#   debtools                        the Debian package quorvane-tools: the
#                                   publisher's brand tool and simulator
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
    install(FILES ${_pkg_out}/icons/${_s}x${_s}/quorvane.png
            DESTINATION share/icons/hicolor/${_s}x${_s}/apps COMPONENT ${component} ${_extra})
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

# The Debian package quorvane.
_quorvane_install_program_folder(lib/quorvane debprogram)
install(PROGRAMS ${_pkg_out}/deb/quorvane DESTINATION bin COMPONENT deblauncher EXCLUDE_FROM_ALL)
install(FILES ${_pkg_out}/man/quorvane.1.gz
        DESTINATION share/man/man1 COMPONENT deblauncher EXCLUDE_FROM_ALL)
install(FILES ${_pkg_out}/deb/quorvane.desktop
        DESTINATION share/applications COMPONENT debdesktop EXCLUDE_FROM_ALL)
install(FILES ${_pkg_dir}/com.quorvane.quorvane.metainfo.xml
        DESTINATION share/metainfo COMPONENT debdesktop EXCLUDE_FROM_ALL)
install(FILES ${_pkg_dir}/copyright ${_pkg_out}/changelog.gz
        DESTINATION share/doc/quorvane COMPONENT debdesktop EXCLUDE_FROM_ALL)
_quorvane_install_icons(debdesktop)

# The Debian package quorvane-tools, for the machine where a publisher
# prepares a branded copy.
install(TARGETS quorvane-brand quorvane-sim RUNTIME
        DESTINATION bin COMPONENT debtools EXCLUDE_FROM_ALL)
install(FILES ${_pkg_out}/man/quorvane-brand.1.gz ${_pkg_out}/man/quorvane-sim.1.gz
        DESTINATION share/man/man1 COMPONENT debtools EXCLUDE_FROM_ALL)
install(FILES ${_pkg_out}/changelog.gz DESTINATION share/doc/quorvane-tools
        COMPONENT debtools EXCLUDE_FROM_ALL)
install(FILES ${_pkg_dir}/copyright-tools DESTINATION share/doc/quorvane-tools
        RENAME copyright COMPONENT debtools EXCLUDE_FROM_ALL)

# Packages. Each generator picks its components and prefix in
# packaging/CPackOptions.cmake.
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VENDOR "Quorvane")
set(CPACK_PACKAGE_CONTACT "${QUORVANE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Keyword research: related phrases, search counts, CSV")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME quorvane-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR})
set(CPACK_GENERATOR "TGZ;DEB")
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_PROJECT_CONFIG_FILE ${_pkg_dir}/CPackOptions.cmake)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# One Debian package per component group.
foreach(_c debprogram deblauncher debdesktop)
  string(TOUPPER ${_c} _C)
  set(CPACK_COMPONENT_${_C}_GROUP program)
endforeach()
set(CPACK_COMPONENT_DEBTOOLS_GROUP tools)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE quorvane)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME quorvane)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PROGRAM_DESCRIPTION
    "keyword research: related phrases, search counts, CSV
Quorvane gathers search phrases related to a main keyword with their
search counts, asks three web search engines how many pages they report
for each phrase, and saves the table as CSV.")
set(CPACK_DEBIAN_PROGRAM_PACKAGE_DEPENDS
    "libc6 (>= 2.34), libstdc++6 (>= 12), libgcc-s1 (>= 3.0), libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6network6 (>= 6.4), libqt6dbus6 (>= 6.4), qt6-qpa-plugins, libglib2.0-0 (>= 2.74), libcurl4 (>= 7.88), libssl3 (>= 3.0), libxlsxwriter4 (>= 1.1.4)")
set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME quorvane-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_TOOLS_DESCRIPTION
    "publisher's tools for branded copies of Quorvane
quorvane-brand writes and reads the encrypted brand settings file that a
branded copy of Quorvane reads at start-up. quorvane-sim answers in place
of every outside service Quorvane talks to, on 127.0.0.1, so that a
branded copy can be tried without the internet.")
set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS
    "libc6 (>= 2.34), libstdc++6 (>= 12), libgcc-s1 (>= 3.0), libcurl4 (>= 7.88), libssl3 (>= 3.0), libcpp-httplib0.11")

# --- quorvane-newsd, the news and update service a publisher hosts, and
# the brand check's picture decoders: both in quorvane-tools. The service
# comes with its manual page, an example configuration and a systemd unit
# that is not enabled until the publisher has written the configuration.
set(_newsd_man ${_pkg_out}/man/quorvane-newsd.1.gz)
add_custom_command(OUTPUT ${_newsd_man}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_pkg_out}/man
  COMMAND sh -c "\"$1\" -9n -c \"$2\" >\"$3\"" sh ${QUORVANE_GZIP} ${_pkg_dir}/man/quorvane-newsd.1 ${_newsd_man}
  DEPENDS ${_pkg_dir}/man/quorvane-newsd.1
  VERBATIM)
add_custom_target(quorvane_newsd_package_files ALL DEPENDS ${_newsd_man})
install(TARGETS quorvane-newsd RUNTIME DESTINATION bin COMPONENT debtools EXCLUDE_FROM_ALL)
install(FILES ${_newsd_man} DESTINATION share/man/man1 COMPONENT debtools EXCLUDE_FROM_ALL)
install(FILES ${_pkg_dir}/quorvane-newsd.conf
        DESTINATION share/doc/quorvane-tools/examples COMPONENT debtools EXCLUDE_FROM_ALL)
install(FILES ${_pkg_dir}/quorvane-newsd.service
        DESTINATION lib/systemd/system COMPONENT debtools EXCLUDE_FROM_ALL)
# quorvane-brand check decodes pictures with Qt's readers (their plug-ins
# for GIF, JPEG and ICO are in libqt6gui6).
string(APPEND CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS ", libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4)")
string(APPEND CPACK_DEBIAN_TOOLS_DESCRIPTION "
quorvane-brand check checks a brand folder before it ships. quorvane-newsd
is the news and update service a publisher hosts for its branded copies,
with a systemd unit.")
# --- end of quorvane-newsd

include(CPack)
