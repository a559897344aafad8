# Install rules and packages. Names, version, maintainer and the texts of
# the desktop entry, software-centre data, copyright file and manual page
# follow the product's identity (cmake/Identity.cmake); <package> below is
# its package and command name (quorvane for Quorvane itself).
#
# Two programs are built from the same code and differ only in where their
# program folder is:
#   quorvane            the folder of the executable: a portable program
#                       folder, started in place (build/bin, the archive,
#                       a plain install)
#   quorvane_installed  the user's data folder, ~/.local/share/<folder>,
#                       filled with a copy of the brand's data files from
#                       /usr/share/<package> on every start; Updater.exe is
#                       started from /usr/lib/<package> (the Debian package)
#
#   cmake --install build --prefix P   P/<package>/           the program folder
#                                      P/bin/<package>        link to the program
#                                      P/share/applications/  desktop entry
#                                      P/share/icons/hicolor/ icons
#   cpack -G TGZ                       <package>/ alone, ready to unpack anywhere
#   cpack -G DEB                       <package>:
#                                      /usr/bin/<package>     the installed program
#                                      /usr/share/<package>/  the brand's data files
#                                      /usr/lib/<package>/    Updater.exe, if any
#                                      /usr/share/...         desktop entry, icons,
#                                                             AppStream data, manual
#                                      quorvane-tools (the same for every brand):
#                                      /usr/bin/quorvane-brand, quorvane-sim

set(_pkg_dir ${PROJECT_SOURCE_DIR}/packaging)
set(_pkg_out ${CMAKE_BINARY_DIR}/packaging)
set(_package ${QUORVANE_PACKAGE})

include(${CMAKE_CURRENT_LIST_DIR}/ProductFiles.cmake)
quorvane_write_product_files(${_pkg_out})

# Application icon: the identity's picture (packaging/quorvane.svg for
# Quorvane), drawn at build time into every size the icon theme needs by
# our own tool (tools/icon), with Qt's SVG renderer or PNG reader.
set(_icon_sizes 16 24 32 48 64 128 256)
set(_icon_pngs)
foreach(_s IN LISTS _icon_sizes)
  set(_png ${_pkg_out}/icons/${_s}x${_s}/${_package}.png)
  add_custom_command(OUTPUT ${_png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_pkg_out}/icons/${_s}x${_s}
    COMMAND quorvane-icon ${QUORVANE_ICON_PICTURE} ${_png} ${_s}
    DEPENDS ${QUORVANE_ICON_PICTURE} quorvane-icon
    COMMENT "Drawing the ${_s}x${_s} application icon"
    VERBATIM)
  list(APPEND _icon_pngs ${_png})
endforeach()
set(_icon_svg "")
if(QUORVANE_ICON_PICTURE MATCHES "\\.svg$")
  set(_icon_svg ${QUORVANE_ICON_PICTURE})
endif()

# Manual pages and the Debian changelog, compressed as Debian wants them:
# gzip -9 without a name or time stamp, so that builds are reproducible.
# The tools' pages carry the version of the build in their title line.
find_program(QUORVANE_GZIP gzip REQUIRED)
set(_gz_outputs)
set(_gz ${_pkg_out}/man/${_package}.1.gz)
add_custom_command(OUTPUT ${_gz}
  COMMAND sh -c "\"$1\" -9n -c \"$2\" >\"$3\"" sh ${QUORVANE_GZIP} ${_pkg_out}/man/${_package}.1 ${_gz}
  DEPENDS ${_pkg_out}/man/${_package}.1
  VERBATIM)
list(APPEND _gz_outputs ${_gz})
# The publisher's tools and their manual pages; a new tool adds its name
# here and its target to the debtools install rule below.
set(QUORVANE_TOOL_PAGES quorvane-brand quorvane-sim quorvane-newsd)
foreach(_page IN LISTS QUORVANE_TOOL_PAGES)
  set(_gz ${_pkg_out}/man/${_page}.1.gz)
  add_custom_command(OUTPUT ${_gz}
    COMMAND sh -c "sed \"1s/\\\"Quorvane [0-9.]*\\\"/\\\"Quorvane $4\\\"/\" \"$2\" | \"$1\" -9n >\"$3\""
            sh ${QUORVANE_GZIP} ${_pkg_dir}/man/${_page}.1 ${_gz} ${QUORVANE_VERSION}
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

# The brand folder's files (QUORVANE_BRAND_FILES, found again on every
# build): data files into `data`, Updater.exe into `helpers` as a program.
function(_quorvane_install_brand data helpers component)
  set(_extra ${ARGN})
  foreach(_f IN LISTS QUORVANE_BRAND_FILES)
    get_filename_component(_name ${_f} NAME)
    get_filename_component(_sub ${_f} DIRECTORY)
    if(_f STREQUAL "Updater.exe")
      install(PROGRAMS ${QUORVANE_BRAND_FOLDER}/${_f} DESTINATION ${helpers}
              COMPONENT ${component} ${_extra})
    elseif(_f STREQUAL _package)
      message(WARNING "${QUORVANE_BRAND_FOLDER}/${_f} is left out: the build installs the program")
    else()
      install(FILES ${QUORVANE_BRAND_FOLDER}/${_f} DESTINATION ${data}/${_sub}
              COMPONENT ${component} ${_extra})
    endif()
  endforeach()
endfunction()

function(_quorvane_install_icons component)
  set(_extra ${ARGN})
  if(_icon_svg)
    install(FILES ${_icon_svg} DESTINATION share/icons/hicolor/scalable/apps
            RENAME ${_package}.svg COMPONENT ${component} ${_extra})
  endif()
  foreach(_s IN LISTS _icon_sizes)
    install(FILES ${_pkg_out}/icons/${_s}x${_s}/${_package}.png
            DESTINATION share/icons/hicolor/${_s}x${_s}/apps COMPONENT ${component} ${_extra})
  endforeach()
endfunction()

# Components:
#   program, command, desktop   plain install (default) and the archive
#   debprogram, debdesktop      the Debian package <package>
#   debtools                    the Debian package quorvane-tools: the
#                               publisher's brand tool and simulator

# The plain install and the archive: a portable program folder.
install(TARGETS quorvane RUNTIME DESTINATION ${_package} COMPONENT program)
_quorvane_install_brand(${_package} ${_package} program)
# The command on PATH is a link into the program folder; the program finds
# its folder through the link.
install(CODE "
  set(_bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
  file(MAKE_DIRECTORY \"\${_bin}\")
  file(REMOVE \"\${_bin}/${_package}\")
  file(CREATE_LINK \"../${_package}/${_package}\" \"\${_bin}/${_package}\" SYMBOLIC)
" COMPONENT command)
_quorvane_install_icons(desktop)
# The plain desktop entry is written when the install runs, so that it
# names the command below the prefix given to `cmake --install --prefix`.
install(CODE "
  set(QUORVANE_PACKAGE \"${_package}\")
  set(QUORVANE_PACKAGING_BINARY \"${_pkg_out}\")
  include(\"${_pkg_dir}/InstallDesktopEntry.cmake\")
" COMPONENT desktop)

# The Debian package <package>.
install(TARGETS quorvane_installed RUNTIME DESTINATION bin COMPONENT debprogram EXCLUDE_FROM_ALL)
_quorvane_install_brand(${QUORVANE_INSTALLED_DATA_DIR} ${QUORVANE_INSTALLED_HELPER_DIR}
                        debprogram EXCLUDE_FROM_ALL)
install(FILES ${_pkg_out}/man/${_package}.1.gz
        DESTINATION share/man/man1 COMPONENT debprogram EXCLUDE_FROM_ALL)
install(FILES ${_pkg_out}/deb/${_package}.desktop
        DESTINATION share/applications COMPONENT debdesktop EXCLUDE_FROM_ALL)
install(FILES ${_pkg_out}/${QUORVANE_APPSTREAM_ID}.metainfo.xml
        DESTINATION share/metainfo COMPONENT debdesktop EXCLUDE_FROM_ALL)
install(FILES ${_pkg_out}/copyright ${_pkg_out}/changelog.gz
        DESTINATION share/doc/${_package} COMPONENT debdesktop EXCLUDE_FROM_ALL)
_quorvane_install_icons(debdesktop EXCLUDE_FROM_ALL)

# The Debian package quorvane-tools, for the machine where a publisher
# prepares a branded copy. Its names are the same in every brand's build:
# the tools belong to the publisher, not to the product.
install(TARGETS quorvane-brand quorvane-sim quorvane-newsd RUNTIME
        DESTINATION bin COMPONENT debtools EXCLUDE_FROM_ALL)
foreach(_page IN LISTS QUORVANE_TOOL_PAGES)
  install(FILES ${_pkg_out}/man/${_page}.1.gz
          DESTINATION share/man/man1 COMPONENT debtools EXCLUDE_FROM_ALL)
endforeach()
install(FILES ${_pkg_out}/changelog.gz DESTINATION share/doc/quorvane-tools
        COMPONENT debtools EXCLUDE_FROM_ALL)
install(FILES ${_pkg_dir}/copyright-tools DESTINATION share/doc/quorvane-tools
        RENAME copyright COMPONENT debtools EXCLUDE_FROM_ALL)

# Packages. Each generator picks its components and prefix in
# packaging/CPackOptions.cmake.
set(_description
"${QUORVANE_PRODUCT_NAME} gathers search phrases related to a main keyword with their
search counts, asks three web search engines how many pages they report
for each phrase, and saves the table as CSV.")
if(NOT QUORVANE_BRANDED)
  # Said where a publisher and a user both see it.
  string(APPEND _description "
.
This package carries no publisher's brand settings.")
endif()
set(CPACK_PACKAGE_NAME ${_package})
set(CPACK_PACKAGE_VENDOR "${QUORVANE_APPSTREAM_DEVELOPER}")
set(CPACK_PACKAGE_CONTACT "${QUORVANE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Keyword research: related phrases, search counts, CSV")
set(CPACK_PACKAGE_VERSION ${QUORVANE_VERSION})
set(CPACK_PACKAGE_FILE_NAME ${_package}-${QUORVANE_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR})
set(CPACK_GENERATOR "TGZ;DEB")
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_PROJECT_CONFIG_FILE ${_pkg_dir}/CPackOptions.cmake)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# One Debian package per component group.
foreach(_c debprogram debdesktop)
  string(TOUPPER ${_c} _C)
  set(CPACK_COMPONENT_${_C}_GROUP program)
endforeach()
set(CPACK_COMPONENT_DEBTOOLS_GROUP tools)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE ${_package})
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME ${_package})
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PROGRAM_DESCRIPTION
    "keyword research: related phrases, search counts, CSV
${_description}")
# Each package names the package of every library its programs load (the
# packaging test checks it against the programs). A new library adds its
# package here.
set(CPACK_DEBIAN_PROGRAM_PACKAGE_DEPENDS
    "libc6 (>= 2.34), libstdc++6 (>= 12), libgcc-s1 (>= 3.0), libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6network6 (>= 6.4), libqt6dbus6 (>= 6.4), qt6-qpa-plugins, libglib2.0-0 (>= 2.74), libcurl4 (>= 7.88), libssl3 (>= 3.0), ca-certificates, libxlsxwriter4 (>= 1.1.4), libzip4 (>= 1.7.3), libexpat1 (>= 2.5.0)")
# Qt's Wayland platform plug-in: without it the program falls back to X11
# on a Wayland desktop and stops when QT_QPA_PLATFORM=wayland is set.
set(CPACK_DEBIAN_PROGRAM_PACKAGE_RECOMMENDS "qt6-wayland")
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
# the brand check's picture decoders: both in quorvane-tools. Beside its
# program and manual page (above), the service comes with an example
# configuration and a systemd unit that is not enabled until the publisher
# has written the configuration.
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
