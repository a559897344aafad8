#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::newsd {

// multipart/form-data request bodies (RFC 7578 over RFC 2046), read whole
// from bytes a client sent: nothing in them is trusted.

// The boundary a Content-Type value names, when it is multipart/form-data
// with a boundary of 1 to 70 bytes; nothing otherwise.
std::optional<std::string> FormBoundary(std::string_view contentType);

struct FormPart {
  std::string name;
  std::string value;        // the bytes between the part's headers and the next delimiter
  std::string filename;     // the disposition's filename, if any
  std::string contentType;  // the part's Content-Type header, if any
};

struct FormData {
  std::vector<FormPart> parts;

  // The first part of that name, or nothing.
  const std::string* Value(std::string_view name) const;
};

// A body holds at most this many parts; the news requests send six.
inline constexpr std::size_t kMaxFormParts = 16;

// The parts of `body`, or why it is not a form: every part needs a
// form-data disposition with a name, the closing delimiter must come, and
// no more than kMaxFormParts parts may. A preamble before the first
// delimiter and an epilogue after the closing one are ignored. The CR LF
// before a delimiter belongs to it, not to the value before.
struct FormParse {
  std::optional<FormData> form;
  std::string error;  // why not, when there is no form
};
FormParse ParseFormData(std::string_view body, std::string_view boundary);

}  // namespace quorvane::newsd
