#include "sim/MultipartParser.h"

#include <utility>

#include "newsd/FormData.h"

namespace quorvane::sim {

// The simulator reads the news forms with the publisher service's own
// parser: one reading of the format for the stand-in and the real service.

std::optional<std::string> MultipartBoundary(std::string_view contentType) {
  return newsd::FormBoundary(contentType);
}

MultipartResult ParseMultipart(std::string_view body, std::string_view boundary) {
  MultipartResult result;
  newsd::FormParse parsed = newsd::ParseFormData(body, boundary);
  if (!parsed.form) {
    result.error = std::move(parsed.error);
    return result;
  }
  for (newsd::FormPart& part : parsed.form->parts) {
    result.fields.push_back({std::move(part.name), std::move(part.value), std::move(part.filename),
                             std::move(part.contentType)});
  }
  result.ok = true;
  return result;
}

}  // namespace quorvane::sim
