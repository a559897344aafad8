# Real configure runs over cmake/Identity.cmake and cmake/ProductFiles.cmake:
# without a brand folder the product is Quorvane; a publisher's identity
# reaches the program's header and every package text, which the desktop's
# and software centres' own checkers pass; brand files added and an
# identity changed after configuring are taken by the next build; a broken
# identity stops the configuration with its problems.
#   cmake -DSOURCE_DIR=<project source> -DWORK_DIR=<scratch folder>
#         -DGENERATOR=<generator> -DDESKTOP_FILE_VALIDATE=<path>
#         -DAPPSTREAMCLI=<path> -P IdentityConfigureTest.cmake
cmake_minimum_required(VERSION 3.25)
set(project ${CMAKE_CURRENT_LIST_DIR}/IdentityProject)
set(failures "")
file(REMOVE_RECURSE ${WORK_DIR})

function(run result output)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err
                  TIMEOUT 60)
  set(${result} "${rc}" PARENT_SCOPE)
  set(${output} "${out}${err}" PARENT_SCOPE)
endfunction()

function(configure dir result output)
  run(rc out ${CMAKE_COMMAND} -S ${project} -B ${WORK_DIR}/${dir} -G ${GENERATOR}
      -DQUORVANE_SOURCE_DIR=${SOURCE_DIR} ${ARGN})
  set(${result} "${rc}" PARENT_SCOPE)
  set(${output} "${out}" PARENT_SCOPE)
endfunction()

# Appends a failure unless `text` holds `part`; CMake wraps long messages,
# so runs of blanks and line breaks count as one blank.
function(expect_in label text part)
  string(REGEX REPLACE "[ \n]+" " " text "${text}")
  string(REGEX REPLACE "[ \n]+" " " part "${part}")
  string(FIND "${text}" "${part}" at)
  if(at EQUAL -1)
    set(failures "${failures}\n  ${label} lacks: ${part}" PARENT_SCOPE)
  endif()
endfunction()

function(expect_file_has label file part)
  if(NOT EXISTS ${file})
    set(failures "${failures}\n  ${label}: ${file} is missing" PARENT_SCOPE)
    return()
  endif()
  file(READ ${file} text)
  expect_in("${label}" "${text}" "${part}")
  set(failures "${failures}" PARENT_SCOPE)
endfunction()

# --- Without a brand folder: Quorvane as it always was ----------------------
configure(plain rc output)
if(NOT rc EQUAL 0)
  string(APPEND failures "\n  no brand folder: the configuration failed:\n${output}")
else()
  expect_in("no brand folder, output" "${output}"
    "Product: Quorvane 2.0 (package quorvane); no brand folder (QUORVANE_BRAND_DIR), so the packages carry no brand settings")
  set(header ${WORK_DIR}/plain/generated/ProductIdentityValues.h)
  foreach(line "QUORVANE_IDENTITY_NAME \"Quorvane\"" "QUORVANE_IDENTITY_PACKAGE \"quorvane\""
               "QUORVANE_IDENTITY_VERSION \"2.0\"" "QUORVANE_IDENTITY_FOLDER \"quorvane\"")
    expect_file_has("no brand folder, header" ${header} "${line}")
  endforeach()
  expect_file_has("no brand folder, desktop entry"
    ${WORK_DIR}/plain/packaging/deb/quorvane.desktop "\nName=Quorvane\n")
  expect_file_has("no brand folder, metainfo"
    ${WORK_DIR}/plain/packaging/com.quorvane.quorvane.metainfo.xml "<name>Quorvane</name>")
endif()

# --- A publisher's brand folder ---------------------------------------------
set(brand ${WORK_DIR}/acme-brand)
file(MAKE_DIRECTORY ${brand})
file(WRITE ${brand}/logo.png "a picture")
file(WRITE ${brand}/dbsettings.dat "settings")
set(identity "# Acme's product
[Product]
Name=Acme Keywords & \"Co\"
Package=acme-keywords
Version=2.1
Folder=acme

[Desktop]
Name=Acme Keywords
Comment=Find phrases & count results
Categories=Office;Finance;
Icon=logo.png

[AppStream]
Id=com.acme.keywords
Name=Acme Keywords
Summary=Find search phrases & count their results
Developer=Acme Ltd

[Package]
Maintainer=Acme Packaging <packages@acme.example>
CopyrightHolder=Acme Ltd
CopyrightYears=2024-2026
Date=2026-03-01
")
file(WRITE ${brand}/identity.ini "${identity}")
set(out ${WORK_DIR}/acme)
configure(acme rc output -DQUORVANE_BRAND_DIR=${brand})
if(NOT rc EQUAL 0)
  string(APPEND failures "\n  Acme: the configuration failed:\n${output}")
else()
  expect_in("Acme, output" "${output}"
    "Product: Acme Keywords & \"Co\" 2.1 (package acme-keywords), brand folder ${brand}")
  foreach(line "QUORVANE_IDENTITY_NAME \"Acme Keywords & \\\"Co\\\"\""
               "QUORVANE_IDENTITY_PACKAGE \"acme-keywords\"" "QUORVANE_IDENTITY_VERSION \"2.1\""
               "QUORVANE_IDENTITY_FOLDER \"acme\"")
    expect_file_has("Acme, header" ${out}/generated/ProductIdentityValues.h "${line}")
  endforeach()

  set(entry ${out}/packaging/deb/acme-keywords.desktop)
  foreach(line "\nName=Acme Keywords\n" "\nExec=acme-keywords\n" "\nIcon=acme-keywords\n"
               "\nStartupWMClass=acme-keywords\n" "\nCategories=Office;Finance;\n")
    expect_file_has("Acme, desktop entry" ${entry} "${line}")
  endforeach()
  file(READ ${entry} text)
  if(text MATCHES "\n(GenericName|Keywords)=")
    string(APPEND failures "\n  Acme, desktop entry: keys the identity left out:\n${text}")
  endif()
  run(rc check ${DESKTOP_FILE_VALIDATE} ${entry})
  if(NOT rc EQUAL 0 OR NOT check STREQUAL "")
    string(APPEND failures "\n  Acme, desktop-file-validate:\n${check}")
  endif()

  set(metainfo ${out}/packaging/com.acme.keywords.metainfo.xml)
  foreach(line "<id>com.acme.keywords</id>" "<name>Acme Keywords</name>"
               "<summary>Find search phrases &amp; count their results</summary>"
               "<developer_name>Acme Ltd</developer_name>"
               "<launchable type=\"desktop-id\">acme-keywords.desktop</launchable>"
               "<binary>acme-keywords</binary>" "<category>Finance</category>"
               "<release version=\"2.1\" date=\"2026-03-01\"/>"
               "Acme Keywords &amp; &quot;Co&quot; is a desktop tool")
    expect_file_has("Acme, metainfo" ${metainfo} "${line}")
  endforeach()
  run(rc check ${APPSTREAMCLI} validate --no-net --pedantic ${metainfo})
  if(NOT rc EQUAL 0 OR check MATCHES "(^|\n)[EW]: ")
    string(APPEND failures "\n  Acme, appstreamcli:\n${check}")
  endif()

  expect_file_has("Acme, copyright" ${out}/packaging/copyright
    "Upstream-Name: Acme Keywords & \"Co\"\n")
  expect_file_has("Acme, copyright" ${out}/packaging/copyright
    "Copyright: 2024-2026 Acme Ltd\n")
  # 1 March 2026 is a Sunday.
  expect_file_has("Acme, changelog" ${out}/packaging/changelog
    "acme-keywords (2.1) unstable; urgency=medium\n")
  expect_file_has("Acme, changelog" ${out}/packaging/changelog
    " -- Acme Packaging <packages@acme.example>  Sun, 01 Mar 2026 12:00:00 +0000\n")
  set(page ${out}/packaging/man/acme-keywords.1)
  expect_file_has("Acme, manual page" ${page}
    ".TH ACME\\-KEYWORDS 1 \"March 2026\" \"Acme Keywords & \\(dqCo\\(dq 2.1\" \"User Commands\"\n")
  expect_file_has("Acme, manual page" ${page} "\n.I ~/.local/share/acme/\n")
  expect_file_has("Acme, manual page" ${page} "\n.I /usr/share/acme\\-keywords/\n")
  expect_file_has("Acme, brand files" ${out}/brand-files.txt "dbsettings.dat|ON")

  # Files added and an identity changed after configuring: the next build
  # configures again and takes them.
  file(WRITE ${brand}/banner1.dat "GIF89a")
  file(WRITE ${brand}/Updater.exe "#!/bin/sh\n")
  string(REPLACE "Version=2.1" "Version=2.2" identity "${identity}")
  file(WRITE ${brand}/identity.ini "${identity}")
  run(rc output ${CMAKE_COMMAND} --build ${out})
  if(NOT rc EQUAL 0)
    string(APPEND failures "\n  Acme, build after changes:\n${output}")
  endif()
  expect_file_has("Acme, brand files after adding two" ${out}/brand-files.txt
    "Updater.exe;banner1.dat;dbsettings.dat|ON")
  expect_file_has("Acme, header after the version changed" ${out}/generated/ProductIdentityValues.h
    "QUORVANE_IDENTITY_VERSION \"2.2\"")
endif()

# --- A brand folder without brand settings, and broken identities -----------
file(REMOVE ${brand}/dbsettings.dat)
configure(nosettings rc output -DQUORVANE_BRAND_DIR=${brand})
expect_in("no dbsettings.dat, output" "${output}"
  "the brand folder ${brand} holds no dbsettings.dat, so the packages carry no brand settings")

string(REPLACE "Version=2.2\n" "" broken "${identity}")
string(REPLACE "Categories=Office;Finance;" "Categories=Office;Network;" broken "${broken}")
file(WRITE ${brand}/identity.ini "${broken}")
configure(broken rc output -DQUORVANE_BRAND_DIR=${brand})
if(rc EQUAL 0)
  string(APPEND failures "\n  a broken identity configured cleanly")
endif()
expect_in("broken identity" "${output}" "The product identity ${brand}/identity.ini is not usable:")
expect_in("broken identity" "${output}" "identity.ini: [Product] Version is missing")
expect_in("broken identity" "${output}" "identity.ini: [Desktop] Categories must name exactly one main category")
if(EXISTS ${WORK_DIR}/broken/generated/ProductIdentityValues.h)
  string(APPEND failures "\n  a broken identity reached the generated header")
endif()

configure(missing rc output -DQUORVANE_BRAND_DIR=${WORK_DIR}/no-such-folder)
expect_in("a missing brand folder" "${output}"
  "QUORVANE_BRAND_DIR is not a folder: ${WORK_DIR}/no-such-folder")

file(REMOVE_RECURSE ${WORK_DIR})
if(NOT failures STREQUAL "")
  message(FATAL_ERROR "Identity configure test failed:${failures}")
endif()
