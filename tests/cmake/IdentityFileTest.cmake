# Which identity files the build takes, and the message for each mistake.
#   cmake -DSOURCE_DIR=<project source> -DWORK_DIR=<scratch folder> -P IdentityFileTest.cmake
cmake_minimum_required(VERSION 3.25)
include(${SOURCE_DIR}/cmake/IdentityFile.cmake)

set(failures "")
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
file(WRITE ${WORK_DIR}/logo.png "png")
file(WRITE ${WORK_DIR}/logo.svg "<svg/>")

# A complete identity; each case below changes it with one REPLACE pair
# (a line of it for another text) or appends a line.
set(good "[Product]
Name=Acme Keywords & Co \"Pro\"
Package=acme-keywords
Version=2.1
[Desktop]
Name=Acme Keywords
Comment=Find phrases; count results
Categories=Office;Finance;
Icon=logo.png
[AppStream]
Id=com.acme.keywords
Name=Acme Keywords
Summary=Find phrases and count their results
Developer=Acme Ltd
[Package]
Maintainer=Acme Packaging <packages@acme.example>
CopyrightHolder=Acme Ltd
CopyrightYears=2024-2026
")

# Reads `text` as identity.ini; `expected` is its one problem without the
# leading "identity.ini", or "" for none.
function(check label text expected)
  file(WRITE ${WORK_DIR}/identity.ini "${text}")
  quorvane_read_identity(${WORK_DIR}/identity.ini id problems)
  set(want "")
  if(NOT expected STREQUAL "")
    set(want "identity.ini${expected}")
  endif()
  if(NOT "${problems}" STREQUAL "${want}")
    set(failures "${failures}\n  ${label}:\n    got:  ${problems}\n    want: ${want}"
        PARENT_SCOPE)
  endif()
endfunction()

function(changed out from to)
  string(REPLACE "${from}" "${to}" text "${good}")
  if(text STREQUAL good)
    message(FATAL_ERROR "the case changes nothing: ${from}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

check("complete" "${good}" "")
string(REPLACE "\n" "\r\n" crlf "${good}")
check("CR LF lines, comments, blanks around =" "# comment\r\n; comment\r\n\r\n${crlf}" "")
changed(t "Version=2.1" "Version  =  2.1  ")
check("blanks around the value" "${t}" "")

# Each required key left out.
function(without line section key)
  changed(t "${line}\n" "")
  check("without ${key}" "${t}" ": [${section}] ${key} is missing")
  set(failures "${failures}" PARENT_SCOPE)
endfunction()
without("Name=Acme Keywords & Co \"Pro\"" Product Name)
without("Package=acme-keywords" Product Package)
without("Version=2.1" Product Version)
without("Comment=Find phrases; count results" Desktop Comment)
without("Categories=Office;Finance;" Desktop Categories)
without("Icon=logo.png" Desktop Icon)
without("Id=com.acme.keywords" AppStream Id)
without("Summary=Find phrases and count their results" AppStream Summary)
without("Developer=Acme Ltd" AppStream Developer)
without("Maintainer=Acme Packaging <packages@acme.example>" Package Maintainer)
without("CopyrightHolder=Acme Ltd" Package CopyrightHolder)
without("CopyrightYears=2024-2026" Package CopyrightYears)
changed(t "Version=2.1" "Version=")
check("an empty value is a missing one" "${t}" ": [Product] Version is missing")

# Values that are not what their key needs: the line `from` of the good
# file becomes `to`.
function(bad from to expected)
  changed(t "${from}" "${to}")
  check("${to}" "${t}" "${expected}")
  set(failures "${failures}" PARENT_SCOPE)
endfunction()
set(debian "must be a Debian package name: at least two lower-case letters, digits, +, - or ., beginning with a letter or digit")
set(decimal "must be a decimal number with a point, such as 2.1")
set(mains "must name exactly one main category (AudioVideo Audio Video Development Education Game Graphics Network Office Science Settings System Utility)")
set(rdns "must be a reverse domain name of at least three parts, such as com.example.keywords")
bad("Package=acme-keywords" "Package=Acme" ": [Product] Package ${debian}: Acme")
bad("Package=acme-keywords" "Package=a" ": [Product] Package ${debian}: a")
bad("Package=acme-keywords" "Package=acme keywords" ": [Product] Package ${debian}: acme keywords")
bad("Package=acme-keywords" "Package=quorvane-tools"
    ": [Product] Package is the name of the publisher's tools package: quorvane-tools")
bad("Version=2.1" "Version=2.1a" ": [Product] Version ${decimal}: 2.1a")
bad("Version=2.1" "Version=2.1.3" ": [Product] Version ${decimal}: 2.1.3")
bad("Version=2.1" "Version=2,1" ": [Product] Version ${decimal}: 2,1")
bad("Version=2.1" "Version=2.1\nFolder=a/b" ": [Product] Folder must be a plain folder name: a/b")
bad("Version=2.1" "Version=2.1\nFolder=.." ": [Product] Folder must be a plain folder name: ..")
bad("Categories=Office;Finance;" "Categories=Office"
    ": [Desktop] Categories must be categories each followed by ;, such as Office;: Office")
bad("Categories=Office;Finance;" "Categories=Office;Network;"
    ": [Desktop] Categories ${mains}: Office;Network;")
bad("Categories=Office;Finance;" "Categories=Finance;"
    ": [Desktop] Categories ${mains}: Finance;")
bad("Icon=logo.png" "Icon=logo.svg" "")
bad("Icon=logo.png" "Icon=logo.jpg"
    ": [Desktop] Icon must name an SVG or PNG picture (.svg or .png): logo.jpg")
bad("Icon=logo.png" "Icon=missing.png"
    ": [Desktop] Icon names a picture that is not beside the identity file: missing.png")
bad("Id=com.acme.keywords" "Id=acme.keywords" ": [AppStream] Id ${rdns}: acme.keywords")
bad("Id=com.acme.keywords" "Id=Com.acme.keywords" ": [AppStream] Id ${rdns}: Com.acme.keywords")
bad("Summary=Find phrases and count their results" "Summary=Find phrases."
    ": [AppStream] Summary must not end in a full stop: Find phrases.")
bad("Maintainer=Acme Packaging <packages@acme.example>" "Maintainer=packages@acme.example"
    ": [Package] Maintainer must be a name and an e-mail address, such as Jane Doe <jane@example.com>: packages@acme.example")
bad("CopyrightYears=2024-2026" "CopyrightYears=2024, 2026" "")
bad("CopyrightYears=2024-2026" "CopyrightYears=since 2024"
    ": [Package] CopyrightYears must be years such as 2026 or 2025-2026: since 2024")
bad("CopyrightYears=2024-2026" "CopyrightYears=2024-2026\nDate=10.12.2026"
    ": [Package] Date must be a date written YYYY-MM-DD: 10.12.2026")
bad("Developer=Acme Ltd" "Developer=Acme\tLtd"
    ": [AppStream] Developer must be one line without control characters: Acme\tLtd")

# The shape of the file: each mistake named with its line.
check("unknown key" "${good}Colour=red\n" " line 19: unknown key Colour in [Package]")
check("unknown section"
      "${good}[Extra]\nName=x\n"
      " line 19: unknown section [Extra] (the sections are [Product], [Desktop], [AppStream] and [Package])")
check("a key twice" "${good}Maintainer=B <b@example.com>\n"
      " line 19: [Package] Maintainer is given twice")
check("a key before any section" "Name=x\n${good}" " line 1: Name stands before the first [Section]")
check("a line that is neither" "${good}just text\n"
      " line 19: not a [Section], a Key=Value line or a comment")
quorvane_read_identity(${WORK_DIR}/nothing.ini id problems)
if(NOT problems STREQUAL "${WORK_DIR}/nothing.ini is missing")
  string(APPEND failures "\n  a missing file: ${problems}")
endif()

# The values come through exactly; Folder follows Package unless given.
file(WRITE ${WORK_DIR}/identity.ini "${good}")
quorvane_read_identity(${WORK_DIR}/identity.ini id problems)
function(value var expected)
  if(NOT "${id_${var}}" STREQUAL "${expected}")
    set(failures "${failures}\n  ${var}: got \"${id_${var}}\", want \"${expected}\"" PARENT_SCOPE)
  endif()
endfunction()
value(Product_Name "Acme Keywords & Co \"Pro\"")
value(Product_Folder "acme-keywords")
value(Desktop_Categories "Office;Finance;")
value(Desktop_Comment "Find phrases; count results")
value(Package_Maintainer "Acme Packaging <packages@acme.example>")

# Escaping for each kind of file.
function(escaped kind value want)
  cmake_language(CALL quorvane_escape_${kind} got "${value}")
  if(NOT got STREQUAL want)
    set(failures "${failures}\n  escape ${kind} \"${value}\": got \"${got}\", want \"${want}\""
        PARENT_SCOPE)
  endif()
endfunction()
escaped(c "a\\b\"c" "a\\\\b\\\"c")
escaped(xml "<a & \"b\">" "&lt;a &amp; &quot;b&quot;&gt;")
escaped(desktop "a\\b" "a\\\\b")
escaped(roff ".start-x\\y" "\\&.start\\-x\\ey")

file(REMOVE_RECURSE ${WORK_DIR})
if(NOT failures STREQUAL "")
  message(FATAL_ERROR "Wrong verdicts:${failures}")
endif()
