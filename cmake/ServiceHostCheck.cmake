# Checks of the service host values of cmake/ServiceHosts.cmake. The HTTP
# client speaks http and https only: a value with another scheme, or with
# none, would build a program whose every request to that service fails,
# so such a value stops the configuration instead.

# Sets <out> to what is wrong with <value>, the value of the cache variable
# <name>, or to "" when nothing is. <kind> is HOST for a host value
# (http[s]://host[:port], no trailing slash) or LIVEUPDATE for the
# live-update base (http[s]://host[:port]/.../liveupdate/quorvane/).
function(quorvane_service_url_problem out name value kind)
  set(problem "")
  string(TOLOWER "${value}" lower)
  if(value MATCHES "[ \t\r\n]")
    set(problem "${name} must not contain blanks or line breaks: ${value}")
  elseif(NOT lower MATCHES "^https?://")
    set(problem "${name} must begin with http:// or https://: ${value}")
  elseif(lower MATCHES "^https?://($|[/?#:])")
    string(REGEX MATCH "^[A-Za-z]+://" scheme "${value}")
    set(problem "${name} names no host after ${scheme}: ${value}")
  elseif(kind STREQUAL "HOST" AND value MATCHES "/$")
    set(problem "${name} must not end in a slash: ${value}")
  elseif(kind STREQUAL "LIVEUPDATE" AND NOT value MATCHES "/liveupdate/quorvane/$")
    set(problem "${name} must end in /liveupdate/quorvane/: ${value}")
  endif()
  set(${out} "${problem}" PARENT_SCOPE)
endfunction()

# Stops the configuration, naming every service host value that is wrong.
function(quorvane_check_service_hosts)
  set(problems "")
  foreach(name QUORVANE_SUGGEST_URL QUORVANE_GOOGLE_URL QUORVANE_YAHOO_URL QUORVANE_MSN_URL
               QUORVANE_LIVEUPDATE_URL)
    set(kind HOST)
    if(name STREQUAL "QUORVANE_LIVEUPDATE_URL")
      set(kind LIVEUPDATE)
    endif()
    quorvane_service_url_problem(problem ${name} "${${name}}" ${kind})
    if(NOT problem STREQUAL "")
      string(APPEND problems "\n  ${problem}")
    endif()
  endforeach()
  if(NOT problems STREQUAL "")
    message(FATAL_ERROR "Service host values that cannot work:${problems}")
  endif()
endfunction()
