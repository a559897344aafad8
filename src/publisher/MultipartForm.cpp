#include "publisher/MultipartForm.h"

#include <cstdio>

namespace quorvane {

std::string MakeFormBoundary(const LocalTime& t) {
  char digits[32];
  std::snprintf(digits, sizeof digits, "%02d%02d%02d%02d%02d%02d%03d", t.month % 100, t.day % 100,
                t.year % 100, t.hour % 100, t.minute % 100, t.second % 100, t.millisecond % 1000);
  return "--------" + std::string(digits);
}

MultipartBody BuildMultipartBody(const std::string& boundary,
                                 const std::vector<FormField>& fields) {
  MultipartBody result;
  result.boundary = boundary;
  result.contentType = "multipart/form-data; boundary=" + boundary;
  std::string& body = result.body;
  for (const auto& field : fields) {
    body += "--" + boundary + "\r\n";
    body += "Content-Disposition: form-data; name=\"" + field.name + "\"\r\n";
    body += "\r\n";
    body += field.value + "\r\n";
  }
  body += "\r\n--" + boundary + "--\r\n";
  return result;
}

}  // namespace quorvane
