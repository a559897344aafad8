# The product's identity and the brand folder.
#
# One file says what the product is called, its package and command, its
# version, its menu entry, software-centre data, maintainer and copyright,
# and the name of its folders in the user's home: identity.ini in the
# brand folder, or packaging/identity.ini (Quorvane) when the brand folder
# has none or there is no brand folder. That file documents every key.
#
# The brand folder (QUORVANE_BRAND_DIR) holds the files that go into the
# program folder (dbsettings.dat, bannerN.dat, mainskin.dat, main.ico,
# Updater.exe, pictures of the welcome page) and identity.ini with the
# picture it names. The folder is looked at again on every build: a file
# added or removed after configuring makes the next build configure again,
# and the packages take the files as they are when they are made.
#
# Sets, for the rest of the build:
#   QUORVANE_PRODUCT_NAME, QUORVANE_PACKAGE, QUORVANE_VERSION,
#   QUORVANE_PRODUCT_FOLDER, QUORVANE_DESKTOP_NAME, _GENERIC_NAME,
#   _COMMENT, _CATEGORIES, _KEYWORDS, QUORVANE_ICON_PICTURE (full path),
#   QUORVANE_APPSTREAM_ID, _NAME, _SUMMARY, _DEVELOPER, QUORVANE_MAINTAINER,
#   QUORVANE_COPYRIGHT_HOLDER, _YEARS, QUORVANE_RELEASE_DATE,
#   QUORVANE_IDENTITY_FILE, QUORVANE_BRAND_FILES (paths relative to the
#   brand folder of the files that go into the program folder),
#   QUORVANE_BRANDED (the brand folder has brand settings),
#   QUORVANE_INSTALLED_DATA_DIR, _HELPER_DIR (the package's folders)
# and writes generated/ProductIdentityValues.h for the program.
include(${CMAKE_CURRENT_LIST_DIR}/IdentityFile.cmake)

set(QUORVANE_BRAND_DIR "" CACHE PATH
    "Brand folder: identity.ini and the files of the program folder (dbsettings.dat, bannerN.dat, mainskin.dat, main.ico, Updater.exe)")
# Settings that identity.ini replaced: said once, then dropped, so that
# neither a command line nor an old cache looks as if they still counted.
foreach(_old PRODUCT_FOLDER:Folder MAINTAINER:Maintainer INSTALL_FOLDER:Package)
  string(REPLACE ":" ";" _old "${_old}")
  list(GET _old 0 _var)
  list(GET _old 1 _key)
  if(DEFINED CACHE{QUORVANE_${_var}})
    message(WARNING "QUORVANE_${_var} is no longer read: the product identity's ${_key} "
                    "(identity.ini in the brand folder) says it")
    unset(QUORVANE_${_var} CACHE)
  endif()
endforeach()

set(QUORVANE_BRAND_FILES "")
set(QUORVANE_IDENTITY_FILE ${CMAKE_CURRENT_LIST_DIR}/../packaging/identity.ini)
get_filename_component(QUORVANE_IDENTITY_FILE ${QUORVANE_IDENTITY_FILE} ABSOLUTE)
if(QUORVANE_BRAND_DIR)
  get_filename_component(_brand ${QUORVANE_BRAND_DIR} ABSOLUTE)
  if(NOT IS_DIRECTORY ${_brand})
    message(FATAL_ERROR "QUORVANE_BRAND_DIR is not a folder: ${QUORVANE_BRAND_DIR}")
  endif()
  # CONFIGURE_DEPENDS: every build checks the folder again and configures
  # afresh when a file came or went.
  file(GLOB_RECURSE _found LIST_DIRECTORIES false CONFIGURE_DEPENDS
       RELATIVE ${_brand} ${_brand}/*)
  list(SORT _found)
  if("identity.ini" IN_LIST _found)
    set(QUORVANE_IDENTITY_FILE ${_brand}/identity.ini)
  endif()
endif()

quorvane_read_identity(${QUORVANE_IDENTITY_FILE} _id _problems)
if(NOT _problems STREQUAL "")
  string(REPLACE "\n" "\n  " _text "${_problems}")
  message(FATAL_ERROR "The product identity ${QUORVANE_IDENTITY_FILE} is not usable:\n  ${_text}")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${QUORVANE_IDENTITY_FILE})

set(QUORVANE_PRODUCT_NAME "${_id_Product_Name}")
set(QUORVANE_PACKAGE "${_id_Product_Package}")
set(QUORVANE_VERSION "${_id_Product_Version}")
set(QUORVANE_PRODUCT_FOLDER "${_id_Product_Folder}")
set(QUORVANE_DESKTOP_NAME "${_id_Desktop_Name}")
set(QUORVANE_DESKTOP_GENERIC_NAME "${_id_Desktop_GenericName}")
set(QUORVANE_DESKTOP_COMMENT "${_id_Desktop_Comment}")
set(QUORVANE_DESKTOP_CATEGORIES "${_id_Desktop_Categories}")
set(QUORVANE_DESKTOP_KEYWORDS "${_id_Desktop_Keywords}")
get_filename_component(_identity_folder ${QUORVANE_IDENTITY_FILE} DIRECTORY)
set(QUORVANE_ICON_PICTURE "${_identity_folder}/${_id_Desktop_Icon}")
set(QUORVANE_APPSTREAM_ID "${_id_AppStream_Id}")
set(QUORVANE_APPSTREAM_NAME "${_id_AppStream_Name}")
set(QUORVANE_APPSTREAM_SUMMARY "${_id_AppStream_Summary}")
set(QUORVANE_APPSTREAM_DEVELOPER "${_id_AppStream_Developer}")
set(QUORVANE_MAINTAINER "${_id_Package_Maintainer}")
set(QUORVANE_COPYRIGHT_HOLDER "${_id_Package_CopyrightHolder}")
set(QUORVANE_COPYRIGHT_YEARS "${_id_Package_CopyrightYears}")
set(QUORVANE_RELEASE_DATE "${_id_Package_Date}")
if(NOT QUORVANE_RELEASE_DATE)
  # Honours SOURCE_DATE_EPOCH, so that a reproducible build gets its date.
  string(TIMESTAMP QUORVANE_RELEASE_DATE "%Y-%m-%d" UTC)
endif()

# Where the Debian package's program finds the brand's files, relative to
# the prefix (and so to the folder of its executable, bin/).
set(QUORVANE_INSTALLED_DATA_DIR share/${QUORVANE_PACKAGE})
set(QUORVANE_INSTALLED_HELPER_DIR lib/${QUORVANE_PACKAGE})

# The brand folder's files for the program folder: everything but the
# identity and its picture, which are for the build.
set(QUORVANE_BRANDED OFF)
if(QUORVANE_BRAND_DIR)
  get_filename_component(_picture_name ${QUORVANE_ICON_PICTURE} NAME)
  foreach(_f IN LISTS _found)
    if(_f STREQUAL "identity.ini"
       OR (QUORVANE_IDENTITY_FILE STREQUAL "${_brand}/identity.ini" AND _f STREQUAL _picture_name))
      continue()
    endif()
    list(APPEND QUORVANE_BRAND_FILES ${_f})
  endforeach()
  if("dbsettings.dat" IN_LIST QUORVANE_BRAND_FILES)
    set(QUORVANE_BRANDED ON)
  endif()
  set(QUORVANE_BRAND_FOLDER ${_brand})
endif()

if(NOT QUORVANE_BRAND_DIR)
  message(STATUS "Product: ${QUORVANE_PRODUCT_NAME} ${QUORVANE_VERSION} (package "
                 "${QUORVANE_PACKAGE}); no brand folder (QUORVANE_BRAND_DIR), so the "
                 "packages carry no brand settings")
elseif(NOT QUORVANE_BRANDED)
  message(STATUS "Product: ${QUORVANE_PRODUCT_NAME} ${QUORVANE_VERSION} (package "
                 "${QUORVANE_PACKAGE}); the brand folder ${QUORVANE_BRAND_FOLDER} holds no "
                 "dbsettings.dat, so the packages carry no brand settings")
else()
  message(STATUS "Product: ${QUORVANE_PRODUCT_NAME} ${QUORVANE_VERSION} (package "
                 "${QUORVANE_PACKAGE}), brand folder ${QUORVANE_BRAND_FOLDER}")
endif()

# The values the program is built with. file(CONFIGURE) leaves the header
# alone when nothing changed, so a reconfigure rebuilds nothing.
quorvane_escape_c(_c_NAME "${QUORVANE_PRODUCT_NAME}")
quorvane_escape_c(_c_PACKAGE "${QUORVANE_PACKAGE}")
quorvane_escape_c(_c_VERSION "${QUORVANE_VERSION}")
quorvane_escape_c(_c_FOLDER "${QUORVANE_PRODUCT_FOLDER}")
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/ProductIdentityValues.h
     CONTENT "#pragma once
// Written by the build from the product's identity file (identity.ini).
#define QUORVANE_IDENTITY_NAME \"@_c_NAME@\"
#define QUORVANE_IDENTITY_PACKAGE \"@_c_PACKAGE@\"
#define QUORVANE_IDENTITY_VERSION \"@_c_VERSION@\"
#define QUORVANE_IDENTITY_FOLDER \"@_c_FOLDER@\"
"
     @ONLY)
