#include "sim/SimRequest.h"

#include "sim/SimText.h"

namespace quorvane::sim {

const char* ToString(SimService service) {
  switch (service) {
    case SimService::kSuggest:
      return "suggest";
    case SimService::kSecurityImageAnswer:
      return "captcha-answer";
    case SimService::kSecurityImage:
      return "captcha-image";
    case SimService::kGoogle:
      return "google";
    case SimService::kYahoo:
      return "yahoo";
    case SimService::kMsn:
      return "msn";
    case SimService::kNewsList:
      return "news-list";
    case SimService::kNewsDetails:
      return "news-details";
    case SimService::kUpdate:
      return "update";
    case SimService::kFault:
      return "fault";
    case SimService::kInfo:
      return "info";
    case SimService::kUnknown:
      break;
  }
  return "unknown";
}

std::string SimRequest::Header(std::string_view name) const {
  for (const auto& [key, value] : headers) {
    if (EqualsNoCase(key, name)) return value;
  }
  return {};
}

bool SimRequest::HasHeader(std::string_view name) const {
  for (const auto& header : headers) {
    if (EqualsNoCase(header.first, name)) return true;
  }
  return false;
}

const SimFormField* SimRequest::Field(std::string_view name) const {
  for (const auto& field : fields) {
    if (field.name == name) return &field;
  }
  return nullptr;
}

}  // namespace quorvane::sim
