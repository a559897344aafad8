# Read by cpack once per generator: each package takes its own components,
# all of them in one package file.
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
if(CPACK_GENERATOR STREQUAL "TGZ")
  # The archive holds the program folder alone: unpack it anywhere the user
  # can write and start quorvane/quorvane.
  set(CPACK_COMPONENTS_ALL program)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_ARCHIVE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_PACKAGING_INSTALL_PREFIX "/")
elseif(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_COMPONENTS_ALL debprogram deblauncher debdesktop)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
endif()
