# Read by cpack once per generator: each package takes its own components.
if(CPACK_GENERATOR STREQUAL "TGZ")
  # The archive holds the program folder alone: unpack it anywhere the user
  # can write and start <package>/<package>.
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
  set(CPACK_COMPONENTS_ALL program)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_ARCHIVE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_PACKAGING_INSTALL_PREFIX "/")
elseif(CPACK_GENERATOR STREQUAL "DEB")
  # Two packages: <package> (the program) and quorvane-tools (the
  # publisher's tools), one per component group.
  set(CPACK_COMPONENTS_GROUPING ONE_PER_GROUP)
  set(CPACK_COMPONENTS_ALL debprogram debdesktop debtools)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  # Each package's description carries its own first (synopsis) line;
  # cpack would put the project's summary before it.
  unset(CPACK_PACKAGE_DESCRIPTION_SUMMARY)
  set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
endif()
