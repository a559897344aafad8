# A real configure run over cmake/ServiceHosts.cmake: bad values of all five
# service hosts stop it with a message naming each variable and its value;
# good values configure and reach the generated header.
#   cmake -DSOURCE_DIR=<project source> -DWORK_DIR=<scratch folder>
#         -DGENERATOR=<generator> -P ServiceHostsConfigureTest.cmake
set(project ${CMAKE_CURRENT_LIST_DIR}/ServiceHostsProject)
set(failures "")

function(configure dir result output)
  file(REMOVE_RECURSE ${WORK_DIR}/${dir})
  execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${project} -B ${WORK_DIR}/${dir} -G ${GENERATOR}
            -DQUORVANE_SOURCE_DIR=${SOURCE_DIR} ${ARGN}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
  set(${result} "${rc}" PARENT_SCOPE)
  set(${output} "${out}${err}" PARENT_SCOPE)
endfunction()

# Every variable with a value of another scheme, or none.
set(bad
  QUORVANE_SUGGEST_URL=ftps://freekeywords.example.com
  QUORVANE_GOOGLE_URL=file:///www.google.com
  QUORVANE_YAHOO_URL=ftp://search.example.com
  QUORVANE_MSN_URL=search.msn.com
  QUORVANE_LIVEUPDATE_URL=httpx://update.example.com/liveupdate/quorvane/)
set(args "")
foreach(pair IN LISTS bad)
  list(APPEND args "-D${pair}")
endforeach()
configure(bad rc output ${args})
if(rc EQUAL 0)
  string(APPEND failures "\n  bad values configured cleanly")
endif()
foreach(pair IN LISTS bad)
  string(REPLACE "=" ";" parts "${pair}")
  list(GET parts 0 name)
  list(GET parts 1 value)
  string(FIND "${output}" "${name} must begin with http:// or https://: ${value}" at)
  if(at EQUAL -1)
    string(APPEND failures "\n  no message naming ${name} and ${value}")
  endif()
endforeach()
if(EXISTS ${WORK_DIR}/bad/generated/ServiceHosts.h)
  string(APPEND failures "\n  bad values reached the generated header")
endif()

# Good values, the loopback ones the tests use and https hosts among them.
configure(good rc output
  -DQUORVANE_GOOGLE_URL=http://127.0.0.1:8080
  -DQUORVANE_SUGGEST_URL=https://suggest.example.com
  -DQUORVANE_LIVEUPDATE_URL=HTTPS://127.0.0.1:8081/liveupdate/quorvane/)
if(NOT rc EQUAL 0)
  string(APPEND failures "\n  good values were refused:\n${output}")
else()
  file(READ ${WORK_DIR}/good/generated/ServiceHosts.h header)
  foreach(expected "kGoogleUrl = \"http://127.0.0.1:8080\""
                   "kSuggestUrl = \"https://suggest.example.com\""
                   "kLiveUpdateBaseUrl = \"HTTPS://127.0.0.1:8081/liveupdate/quorvane/\""
                   "kMsnUrl = \"http://search.msn.com\"")
    string(FIND "${header}" "${expected}" at)
    if(at EQUAL -1)
      string(APPEND failures "\n  the generated header lacks ${expected}")
    endif()
  endforeach()
endif()

file(REMOVE_RECURSE ${WORK_DIR}/bad ${WORK_DIR}/good)
if(NOT failures STREQUAL "")
  message(FATAL_ERROR "Service host configure test failed:${failures}")
endif()
