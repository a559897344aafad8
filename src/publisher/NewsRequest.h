#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "publisher/MultipartForm.h"

namespace quorvane {

// The three requests of the news service: where they go and what they carry.

inline constexpr std::string_view kNewsListScript = "getlastnews.php";
inline constexpr std::string_view kNewsDetailsScript = "getnewsdetails.php";

// The base URL with the script name; a base with or without its trailing
// "/" gives the same URL. Blanks and control bytes of the brand's base
// (its value is not trimmed) are percent-encoded so that it can be sent.
std::string NewsScriptUrl(std::string_view baseUrl, std::string_view script);

// The six fields in the order the service reads them. `selectorName` and
// `selectorValue` are the fourth field: "conttype" with "all" or
// "lastcode", or "newsid" with an item's id.
std::vector<FormField> NewsFormFields(const std::string& publisherId, const std::string& brandCode,
                                      const std::string& productType,
                                      const std::string& selectorName,
                                      const std::string& selectorValue, const std::string& target);

}  // namespace quorvane
