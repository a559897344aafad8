#pragma once

#include <string>

namespace quorvane {

// The two requests sent to the keyword-suggestion service. `base` is its
// scheme://host[:port]. Values are inserted as they are: the service
// expects them unencoded. Only the bytes no request line can carry
// (blanks left in them, control bytes, DEL) are percent-encoded.

// "/?seed=" + main keyword (blanks as "+") + the fixed filter and button.
std::string SuggestionsUrl(const std::string& base, const std::string& mainKeyword);

// The answer to a security-image page: the typed characters and the two
// hidden values that page carried.
std::string SecurityImageAnswerUrl(const std::string& base, const std::string& typed,
                                   const std::string& randomValue, const std::string& seedValue);

}  // namespace quorvane
