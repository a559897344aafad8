# Reading and checking a product identity file (identity.ini). Only
# functions, so that tests can run them in script mode; cmake/Identity.cmake
# applies them to the build. packaging/identity.ini describes every key.
#
# The format: lines of `Key=Value` below `[Section]` lines; blanks around
# the key and the value are dropped; whole lines starting with # or ; are
# comments (a value may hold # and ;, as Categories=Office; does). Keys and
# sections are spelled exactly as in the table below; an unknown one is an
# error, so that a typing mistake cannot go unnoticed.

# Section, key, REQUIRED or OPTIONAL, and what a value must be:
#   TEXT     any text on one line without control characters
#   PACKAGE  a Debian package name, which is also the command's name
#   VERSION  a decimal number with a point (the live update compares it)
#   FOLDER   a plain folder name
#   CATEGORIES, KEYWORDS, PICTURE, APPID, MAINTAINER, YEARS, DATE: below
set(QUORVANE_IDENTITY_KEYS
  "Product|Name|REQUIRED|TEXT"
  "Product|Package|REQUIRED|PACKAGE"
  "Product|Version|REQUIRED|VERSION"
  "Product|Folder|OPTIONAL|FOLDER"
  "Desktop|Name|REQUIRED|TEXT"
  "Desktop|GenericName|OPTIONAL|TEXT"
  "Desktop|Comment|REQUIRED|TEXT"
  "Desktop|Categories|REQUIRED|CATEGORIES"
  "Desktop|Keywords|OPTIONAL|KEYWORDS"
  "Desktop|Icon|REQUIRED|PICTURE"
  "AppStream|Id|REQUIRED|APPID"
  "AppStream|Name|REQUIRED|TEXT"
  "AppStream|Summary|REQUIRED|SUMMARY"
  "AppStream|Developer|REQUIRED|TEXT"
  "Package|Maintainer|REQUIRED|MAINTAINER"
  "Package|CopyrightHolder|REQUIRED|TEXT"
  "Package|CopyrightYears|REQUIRED|YEARS"
  "Package|Date|OPTIONAL|DATE")

# The main categories of the desktop menu specification; an entry names
# exactly one, or menus show it twice.
set(QUORVANE_MAIN_CATEGORIES
  AudioVideo Audio Video Development Education Game Graphics Network Office Science
  Settings System Utility)

# The kinds a pattern decides, with what the value must be otherwise.
set(_QUORVANE_PATTERN_PACKAGE "^[a-z0-9][a-z0-9+.-]+$")
set(_QUORVANE_MUST_PACKAGE "must be a Debian package name: at least two lower-case letters, digits, +, - or ., beginning with a letter or digit")
set(_QUORVANE_PATTERN_VERSION "^[0-9]+(\\.[0-9]+)?$")
set(_QUORVANE_MUST_VERSION "must be a decimal number with a point, such as 2.1")
set(_QUORVANE_PATTERN_CATEGORIES "^([A-Za-z0-9-]+;)+$")
set(_QUORVANE_MUST_CATEGORIES "must be categories each followed by ;, such as Office;")
set(_QUORVANE_PATTERN_KEYWORDS "^([^;]+;)+$")
set(_QUORVANE_MUST_KEYWORDS "must be words each followed by ;, such as keyword;search;")
set(_QUORVANE_PATTERN_PICTURE "\\.(svg|png)$")
set(_QUORVANE_MUST_PICTURE "must name an SVG or PNG picture (.svg or .png)")
# Reverse domain name: software centres warn about anything else.
set(_QUORVANE_PATTERN_APPID "^[a-z][a-z0-9_-]*(\\.[a-z0-9_-]+)(\\.[A-Za-z0-9_-]+)+$")
set(_QUORVANE_MUST_APPID "must be a reverse domain name of at least three parts, such as com.example.keywords")
set(_QUORVANE_PATTERN_MAINTAINER "^[^<>]*[^<> ] <[^<> @]+@[^<> ]+>$")
set(_QUORVANE_MUST_MAINTAINER "must be a name and an e-mail address, such as Jane Doe <jane@example.com>")
set(_QUORVANE_PATTERN_YEARS "^[0-9][0-9][0-9][0-9](-[0-9][0-9][0-9][0-9])?(, [0-9][0-9][0-9][0-9](-[0-9][0-9][0-9][0-9])?)*$")
set(_QUORVANE_MUST_YEARS "must be years such as 2026 or 2025-2026")
set(_QUORVANE_PATTERN_DATE "^[0-9][0-9][0-9][0-9]-[01][0-9]-[0-3][0-9]$")
set(_QUORVANE_MUST_DATE "must be a date written YYYY-MM-DD")

# What is wrong with `value` as a value of this kind ("" when nothing is).
# `folder` is the identity file's folder (pictures are named relative to it).
function(quorvane_identity_value_problem out kind value folder)
  set(problem "")
  string(ASCII 1 first)
  string(ASCII 31 last)
  string(ASCII 127 delete)
  string(REGEX MATCH "[${first}-${last}${delete}]" control "${value}")
  if(NOT control STREQUAL "")
    set(problem "must be one line without control characters")
  elseif(DEFINED _QUORVANE_PATTERN_${kind} AND NOT value MATCHES "${_QUORVANE_PATTERN_${kind}}")
    set(problem "${_QUORVANE_MUST_${kind}}")
  elseif(kind STREQUAL "PACKAGE" AND value STREQUAL "quorvane-tools")
    set(problem "is the name of the publisher's tools package")
  elseif(kind STREQUAL "FOLDER")
    if(value MATCHES "[/\\\"]" OR value STREQUAL "." OR value STREQUAL "..")
      set(problem "must be a plain folder name")
    endif()
  elseif(kind STREQUAL "CATEGORIES")
    string(REPLACE ";" "|" names "${value}")
    set(mains 0)
    foreach(main IN LISTS QUORVANE_MAIN_CATEGORIES)
      if("|${names}" MATCHES "\\|${main}\\|")
        math(EXPR mains "${mains} + 1")
      endif()
    endforeach()
    if(NOT mains EQUAL 1)
      string(REPLACE ";" " " list "${QUORVANE_MAIN_CATEGORIES}")
      set(problem "must name exactly one main category (${list})")
    endif()
  elseif(kind STREQUAL "PICTURE")
    if(NOT EXISTS "${folder}/${value}" OR IS_DIRECTORY "${folder}/${value}")
      set(problem "names a picture that is not beside the identity file")
    endif()
  elseif(kind STREQUAL "SUMMARY" AND value MATCHES "\\.$")
    set(problem "must not end in a full stop")
  endif()
  set(${out} "${problem}" PARENT_SCOPE)
endfunction()

# Reads `file` into variables ${prefix}_<Section>_<Key> (in the caller's
# scope) and puts its problems into `out`, one line each ("" when there
# are none). Not a list: values such as categories hold semicolons.
# Derived values of optional keys are filled in: Folder from Package.
function(quorvane_read_identity file prefix out)
  set(problems "")
  get_filename_component(name "${file}" NAME)
  get_filename_component(folder "${file}" DIRECTORY)
  if(NOT EXISTS "${file}")
    set(${out} "${file} is missing" PARENT_SCOPE)
    return()
  endif()
  file(READ "${file}" text)
  # Lines become list items: the list separator and brackets in the text
  # stand aside as bytes that never occur in text files meanwhile.
  string(ASCII 1 semicolon)
  string(ASCII 2 open)
  string(ASCII 3 close)
  string(REPLACE ";" "${semicolon}" text "${text}")
  string(REPLACE "[" "${open}" text "${text}")
  string(REPLACE "]" "${close}" text "${text}")
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")

  set(section "")
  set(seen "")
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    string(STRIP "${line}" line)
    string(REPLACE "${semicolon}" ";" line "${line}")
    string(REPLACE "${open}" "[" line "${line}")
    string(REPLACE "${close}" "]" line "${line}")
    if(line STREQUAL "" OR line MATCHES "^[#;]")
      continue()
    endif()
    if(line MATCHES "^\\[([A-Za-z]+)\\]$")
      set(section "${CMAKE_MATCH_1}")
      if(NOT section MATCHES "^(Product|Desktop|AppStream|Package)$")
        string(APPEND problems "\n${name} line ${number}: unknown section [${section}] (the sections are [Product], [Desktop], [AppStream] and [Package])")
        set(section "?")
      endif()
      continue()
    endif()
    if(NOT line MATCHES "^([A-Za-z]+)[ \t]*=[ \t]*(.*)$")
      string(APPEND problems "\n${name} line ${number}: not a [Section], a Key=Value line or a comment")
      continue()
    endif()
    set(key "${CMAKE_MATCH_1}")
    set(value "${CMAKE_MATCH_2}")
    if(section STREQUAL "?")
      continue()
    endif()
    if(section STREQUAL "")
      string(APPEND problems "\n${name} line ${number}: ${key} stands before the first [Section]")
      continue()
    endif()
    set(kind "")
    foreach(entry IN LISTS QUORVANE_IDENTITY_KEYS)
      string(REPLACE "|" ";" parts "${entry}")
      list(GET parts 0 s)
      list(GET parts 1 k)
      if(s STREQUAL section AND k STREQUAL key)
        list(GET parts 3 kind)
      endif()
    endforeach()
    if(kind STREQUAL "")
      string(APPEND problems "\n${name} line ${number}: unknown key ${key} in [${section}]")
      continue()
    endif()
    if("${section}.${key}" IN_LIST seen)
      string(APPEND problems "\n${name} line ${number}: [${section}] ${key} is given twice")
      continue()
    endif()
    list(APPEND seen "${section}.${key}")
    if(value STREQUAL "")
      continue()  # as if absent
    endif()
    quorvane_identity_value_problem(problem ${kind} "${value}" "${folder}")
    if(NOT problem STREQUAL "")
      string(APPEND problems "\n${name}: [${section}] ${key} ${problem}: ${value}")
    endif()
    set(${prefix}_${section}_${key} "${value}" PARENT_SCOPE)
    set(_${section}_${key} "${value}")
  endforeach()

  foreach(entry IN LISTS QUORVANE_IDENTITY_KEYS)
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 0 s)
    list(GET parts 1 k)
    list(GET parts 2 need)
    if(need STREQUAL "REQUIRED" AND "${_${s}_${k}}" STREQUAL "")
      string(APPEND problems "\n${name}: [${s}] ${k} is missing")
    endif()
  endforeach()
  if("${_Product_Folder}" STREQUAL "")
    set(${prefix}_Product_Folder "${_Product_Package}" PARENT_SCOPE)
  endif()
  string(REGEX REPLACE "^\n" "" problems "${problems}")
  set(${out} "${problems}" PARENT_SCOPE)
endfunction()

# The value written for each kind of file it is put in.
function(quorvane_escape_c out value)  # inside "..." of C++
  string(REPLACE "\\" "\\\\" value "${value}")
  string(REPLACE "\"" "\\\"" value "${value}")
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

function(quorvane_escape_xml out value)
  string(REPLACE "&" "&amp;" value "${value}")
  string(REPLACE "<" "&lt;" value "${value}")
  string(REPLACE ">" "&gt;" value "${value}")
  string(REPLACE "\"" "&quot;" value "${value}")
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

function(quorvane_escape_desktop out value)  # a desktop entry's string value
  string(REPLACE "\\" "\\\\" value "${value}")
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

function(quorvane_escape_roff out value)  # running text of a manual page
  string(REPLACE "\\" "\\e" value "${value}")
  string(REPLACE "-" "\\-" value "${value}")
  if(value MATCHES "^[.']")
    set(value "\\&${value}")
  endif()
  set(${out} "${value}" PARENT_SCOPE)
endfunction()
