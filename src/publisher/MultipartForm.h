#pragma once

#include <string>
#include <vector>

#include "publisher/LocalTime.h"

namespace quorvane {

// A multipart/form-data body (RFC 2388) in the exact shape the news service
// reads: parts with a Content-Disposition header only, values unencoded.
struct FormField {
  std::string name;
  std::string value;
};

struct MultipartBody {
  std::string boundary;
  std::string contentType;  // "multipart/form-data; boundary=" + boundary
  std::string body;
};

// "--------" followed by MMDDYYHHNNSSZZZ of the given local time.
std::string MakeFormBoundary(const LocalTime& time);

MultipartBody BuildMultipartBody(const std::string& boundary, const std::vector<FormField>& fields);

}  // namespace quorvane
