# The name of the folders the program keeps in the user's configuration,
# state and data folders (~/.config/NAME, ~/.local/state/NAME,
# ~/.local/share/NAME). A branded product sets its own, so that two
# products on one desktop keep apart.
set(QUORVANE_PRODUCT_FOLDER "quorvane" CACHE STRING
    "Name of the program's folders in the user's configuration, state and data folders")
if(QUORVANE_PRODUCT_FOLDER STREQUAL "" OR QUORVANE_PRODUCT_FOLDER MATCHES "[/\\\"]"
   OR QUORVANE_PRODUCT_FOLDER STREQUAL "." OR QUORVANE_PRODUCT_FOLDER STREQUAL "..")
  message(FATAL_ERROR "QUORVANE_PRODUCT_FOLDER must be a plain folder name, not "
                      "\"${QUORVANE_PRODUCT_FOLDER}\"")
endif()
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/ProductFolder.h
     CONTENT "#pragma once\n#define QUORVANE_PRODUCT_FOLDER \"@QUORVANE_PRODUCT_FOLDER@\"\n"
     @ONLY)
