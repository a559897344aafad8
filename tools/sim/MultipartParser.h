#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/SimRequest.h"

namespace quorvane::sim {

// multipart/form-data (RFC 2388 over RFC 2046), parsed from the whole body.

// The boundary named by a Content-Type value, or nothing when the type is
// not multipart/form-data or names no boundary.
std::optional<std::string> MultipartBoundary(std::string_view contentType);

struct MultipartResult {
  bool ok = false;
  std::string error;  // why not, when !ok
  std::vector<SimFormField> fields;
};

// Splits `body` at the delimiter lines of `boundary`. A preamble before the
// first delimiter and an epilogue after the closing one are skipped. Every
// part needs a Content-Disposition header with a name.
MultipartResult ParseMultipart(std::string_view body, std::string_view boundary);

}  // namespace quorvane::sim
