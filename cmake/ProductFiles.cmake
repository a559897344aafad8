# The text files of the packages, written from the product's identity
# (cmake/Identity.cmake) and the templates in packaging/:
#
#   deb/<package>.desktop           the Debian package's desktop entry
#   plain/<package>.desktop.in      the plain install's, finished when it
#                                   installs (packaging/InstallDesktopEntry.cmake)
#   <appstream id>.metainfo.xml     software-centre data
#   copyright, changelog            /usr/share/doc/<package>/
#   man/<package>.1                 the program's manual page
#
# Each value is escaped for the file it lands in. A file is only rewritten
# when its text changes, so that reconfiguring rebuilds nothing.

set(QUORVANE_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR}/../packaging)
get_filename_component(QUORVANE_PACKAGING_DIR ${QUORVANE_PACKAGING_DIR} ABSOLUTE)

function(quorvane_write_if_changed path text)
  if(EXISTS ${path})
    file(READ ${path} old)
    if(old STREQUAL text)
      return()
    endif()
  endif()
  file(WRITE ${path} "${text}")
endfunction()

# "Thu, 10 Dec 2026 12:00:00 +0000" for a YYYY-MM-DD date, as Debian
# changelogs write it; and "December 2026" for manual pages.
function(quorvane_date_texts date out_changelog out_month)
  string(REGEX MATCH "^([0-9]+)-([0-9]+)-([0-9]+)$" _ "${date}")
  set(y ${CMAKE_MATCH_1})
  math(EXPR m "${CMAKE_MATCH_2} + 0")
  math(EXPR d "${CMAKE_MATCH_3} + 0")
  # Day of the week (Zeller's congruence, 0 = Saturday).
  set(zy ${y})
  set(zm ${m})
  if(m LESS 3)
    math(EXPR zy "${y} - 1")
    math(EXPR zm "${m} + 12")
  endif()
  math(EXPR k "${zy} % 100")
  math(EXPR j "${zy} / 100")
  math(EXPR h "(${d} + (13 * (${zm} + 1)) / 5 + ${k} + ${k} / 4 + ${j} / 4 + 5 * ${j}) % 7")
  set(days Sat Sun Mon Tue Wed Thu Fri)
  list(GET days ${h} day)
  set(short Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  set(long January February March April May June July August September October November
           December)
  math(EXPR i "${m} - 1")
  list(GET short ${i} mon)
  list(GET long ${i} month)
  if(d LESS 10)
    set(d "0${d}")
  endif()
  set(${out_changelog} "${day}, ${d} ${mon} ${y} 12:00:00 +0000" PARENT_SCOPE)
  set(${out_month} "${month} ${y}" PARENT_SCOPE)
endfunction()

function(quorvane_write_product_files out)
  file(MAKE_DIRECTORY ${out}/deb ${out}/plain ${out}/man)

  # The desktop entry. Exec and Icon differ between the package and a
  # plain install, which fills them in when it installs.
  foreach(v NAME GENERIC_NAME COMMENT CATEGORIES KEYWORDS)
    quorvane_escape_desktop(D_${v} "${QUORVANE_DESKTOP_${v}}")
  endforeach()
  file(READ ${QUORVANE_PACKAGING_DIR}/program.desktop.in template)
  set(QUORVANE_DESKTOP_EXEC "@QUORVANE_DESKTOP_EXEC@")
  set(QUORVANE_DESKTOP_ICON "@QUORVANE_DESKTOP_ICON@")
  string(CONFIGURE "${template}" entry @ONLY)
  # Optional keys that the identity leaves out are left out.
  string(REGEX REPLACE "\n(GenericName|Keywords)=\n" "\n" entry "${entry}")
  string(REGEX REPLACE "\n(GenericName|Keywords)=\n" "\n" entry "${entry}")
  quorvane_write_if_changed(${out}/plain/${QUORVANE_PACKAGE}.desktop.in "${entry}")
  string(REPLACE "@QUORVANE_DESKTOP_EXEC@" "${QUORVANE_PACKAGE}" entry "${entry}")
  string(REPLACE "@QUORVANE_DESKTOP_ICON@" "${QUORVANE_PACKAGE}" entry "${entry}")
  quorvane_write_if_changed(${out}/deb/${QUORVANE_PACKAGE}.desktop "${entry}")

  # Software-centre data.
  quorvane_escape_xml(X_PRODUCT_NAME "${QUORVANE_PRODUCT_NAME}")
  quorvane_escape_xml(X_ID "${QUORVANE_APPSTREAM_ID}")
  quorvane_escape_xml(X_NAME "${QUORVANE_APPSTREAM_NAME}")
  quorvane_escape_xml(X_SUMMARY "${QUORVANE_APPSTREAM_SUMMARY}")
  quorvane_escape_xml(X_DEVELOPER "${QUORVANE_APPSTREAM_DEVELOPER}")
  set(X_CATEGORIES "")
  foreach(c IN LISTS QUORVANE_DESKTOP_CATEGORIES)
    if(NOT c STREQUAL "")
      string(APPEND X_CATEGORIES "    <category>${c}</category>\n")
    endif()
  endforeach()
  set(X_KEYWORDS "")
  if(QUORVANE_DESKTOP_KEYWORDS)
    set(X_KEYWORDS "  <keywords>\n")
    foreach(k IN LISTS QUORVANE_DESKTOP_KEYWORDS)
      if(NOT k STREQUAL "")
        quorvane_escape_xml(k "${k}")
        string(APPEND X_KEYWORDS "    <keyword>${k}</keyword>\n")
      endif()
    endforeach()
    string(APPEND X_KEYWORDS "  </keywords>\n")
  endif()
  file(READ ${QUORVANE_PACKAGING_DIR}/metainfo.xml.in template)
  string(CONFIGURE "${template}" text @ONLY)
  quorvane_write_if_changed(${out}/${QUORVANE_APPSTREAM_ID}.metainfo.xml "${text}")

  # Copyright file and changelog.
  quorvane_date_texts(${QUORVANE_RELEASE_DATE} CHANGELOG_DATE month)
  file(READ ${QUORVANE_PACKAGING_DIR}/copyright.in template)
  string(CONFIGURE "${template}" text @ONLY)
  quorvane_write_if_changed(${out}/copyright "${text}")
  file(READ ${QUORVANE_PACKAGING_DIR}/changelog.in template)
  string(CONFIGURE "${template}" text @ONLY)
  quorvane_write_if_changed(${out}/changelog "${text}")

  # The program's manual page.
  string(TOUPPER "${QUORVANE_PACKAGE}" title)
  quorvane_escape_roff(R_TITLE "${title}")
  quorvane_escape_roff(R_COMMAND "${QUORVANE_PACKAGE}")
  quorvane_escape_roff(R_FOLDER "${QUORVANE_PRODUCT_FOLDER}")
  quorvane_escape_roff(R_NAME "${QUORVANE_PRODUCT_NAME}")
  # In the quoted .TH arguments a quote would end the argument.
  string(REPLACE "\"" "\\(dq" R_NAME_TH "${R_NAME}")
  set(R_MONTH "${month}")
  file(READ ${QUORVANE_PACKAGING_DIR}/man/program.1.in template)
  string(REPLACE "\"@R_NAME@ @QUORVANE_VERSION@\"" "\"@R_NAME_TH@ @QUORVANE_VERSION@\""
         template "${template}")
  string(CONFIGURE "${template}" text @ONLY)
  quorvane_write_if_changed(${out}/man/${QUORVANE_PACKAGE}.1 "${text}")

  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${QUORVANE_PACKAGING_DIR}/program.desktop.in
    ${QUORVANE_PACKAGING_DIR}/metainfo.xml.in
    ${QUORVANE_PACKAGING_DIR}/copyright.in
    ${QUORVANE_PACKAGING_DIR}/changelog.in
    ${QUORVANE_PACKAGING_DIR}/man/program.1.in)
endfunction()
