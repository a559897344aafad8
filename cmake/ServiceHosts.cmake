# Addresses of the outside services. They are fixed when the program is
# built: the program itself reads no command line and no environment.
# Each host value is http:// or https://, a host and an optional port,
# with no trailing slash.
set(QUORVANE_SUGGEST_URL "http://freekeywords.wordtracker.com" CACHE STRING
    "Keyword-suggestion service (http[s]://host[:port])")
set(QUORVANE_GOOGLE_URL "http://www.google.com" CACHE STRING
    "Google web search (http[s]://host[:port])")
set(QUORVANE_YAHOO_URL "http://search.yahoo.com" CACHE STRING
    "Yahoo web search (http[s]://host[:port])")
set(QUORVANE_MSN_URL "http://search.msn.com" CACHE STRING
    "MSN web search (http[s]://host[:port])")
set(QUORVANE_LIVEUPDATE_URL "http://update.quorvane.com/liveupdate/quorvane/" CACHE STRING
    "Live-update base URL, ending in /liveupdate/quorvane/")

include(${CMAKE_CURRENT_LIST_DIR}/ServiceHostCheck.cmake)
quorvane_check_service_hosts()

configure_file(${CMAKE_CURRENT_LIST_DIR}/ServiceHosts.h.in
               ${CMAKE_BINARY_DIR}/generated/ServiceHosts.h @ONLY)
