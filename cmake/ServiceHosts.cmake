# Addresses of the outside services. They are fixed when the program is
# built: the program itself reads no command line and no environment.
# Each host value is a scheme, a host and an optional port, with no
# trailing slash.
set(QUORVANE_SUGGEST_URL "http://freekeywords.wordtracker.com" CACHE STRING
    "Keyword-suggestion service (scheme://host[:port])")
set(QUORVANE_GOOGLE_URL "http://www.google.com" CACHE STRING
    "Google web search (scheme://host[:port])")
set(QUORVANE_YAHOO_URL "http://search.yahoo.com" CACHE STRING
    "Yahoo web search (scheme://host[:port])")
set(QUORVANE_MSN_URL "http://search.msn.com" CACHE STRING
    "MSN web search (scheme://host[:port])")
set(QUORVANE_LIVEUPDATE_URL "http://update.quorvane.com/liveupdate/quorvane/" CACHE STRING
    "Live-update base URL, ending in /liveupdate/quorvane/")

foreach(_v QUORVANE_SUGGEST_URL QUORVANE_GOOGLE_URL QUORVANE_YAHOO_URL QUORVANE_MSN_URL)
  if(${_v} MATCHES "/$")
    message(FATAL_ERROR "${_v} must not end in a slash: ${${_v}}")
  endif()
endforeach()
if(NOT QUORVANE_LIVEUPDATE_URL MATCHES "/liveupdate/quorvane/$")
  message(FATAL_ERROR "QUORVANE_LIVEUPDATE_URL must end in /liveupdate/quorvane/: ${QUORVANE_LIVEUPDATE_URL}")
endif()

configure_file(${CMAKE_CURRENT_LIST_DIR}/ServiceHosts.h.in
               ${CMAKE_BINARY_DIR}/generated/ServiceHosts.h @ONLY)
