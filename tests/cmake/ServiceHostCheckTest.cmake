# Which service host values pass the configure-time check, and the message
# for each one that does not.
#   cmake -DSOURCE_DIR=<project source> -P ServiceHostCheckTest.cmake
include(${SOURCE_DIR}/cmake/ServiceHostCheck.cmake)

set(failures "")
# Checks one value; `expected` is the message without the variable's name
# before it and the value after it, or "" when the value is fine.
function(check kind value expected)
  quorvane_service_url_problem(problem QUORVANE_TEST_URL "${value}" ${kind})
  if(NOT expected STREQUAL "")
    set(expected "QUORVANE_TEST_URL ${expected}: ${value}")
  endif()
  if(NOT problem STREQUAL expected)
    set(failures "${failures}\n  ${kind} \"${value}\": got \"${problem}\", want \"${expected}\""
        PARENT_SCOPE)
  endif()
endfunction()

set(scheme "must begin with http:// (the program speaks plain HTTP only)")
set(nohost "names no host after http://")

check(HOST "http://www.google.com" "")
check(HOST "http://127.0.0.1:8080" "")
check(HOST "HTTP://Search.Example.com" "")
check(HOST "http://example.com/search-root" "")
check(HOST "https://www.google.com" "${scheme}")
check(HOST "HTTPS://www.google.com" "${scheme}")
check(HOST "ftp://www.google.com" "${scheme}")
check(HOST "httpx://www.google.com" "${scheme}")
check(HOST "http:/www.google.com" "${scheme}")
check(HOST "www.google.com" "${scheme}")
check(HOST "www.google.com:80" "${scheme}")
check(HOST "" "${scheme}")
check(HOST "http://" "${nohost}")
check(HOST "http://:8080" "${nohost}")
check(HOST "http:///search" "${nohost}")
check(HOST "http://www.google.com/" "must not end in a slash")
check(HOST "http://www.google.com " "must not contain blanks or line breaks")
check(HOST "http://www.goo gle.com" "must not contain blanks or line breaks")
check(LIVEUPDATE "http://update.example.com/liveupdate/quorvane/" "")
check(LIVEUPDATE "http://127.0.0.1:8080/x/liveupdate/quorvane/" "")
check(LIVEUPDATE "https://update.example.com/liveupdate/quorvane/" "${scheme}")
check(LIVEUPDATE "update.example.com/liveupdate/quorvane/" "${scheme}")
check(LIVEUPDATE "http:///liveupdate/quorvane/" "${nohost}")
check(LIVEUPDATE "http://update.example.com/liveupdate/quorvane" "must end in /liveupdate/quorvane/")
check(LIVEUPDATE "http://update.example.com/" "must end in /liveupdate/quorvane/")

if(NOT failures STREQUAL "")
  message(FATAL_ERROR "Wrong verdicts:${failures}")
endif()
