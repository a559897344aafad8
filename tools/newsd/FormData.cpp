#include "newsd/FormData.h"

#include "base/AsciiText.h"

namespace quorvane::newsd {

namespace {

constexpr std::size_t kMaxBoundary = 70;

// Reads "type; key=value; key="quoted value"" one piece at a time.
class HeaderValue {
 public:
  explicit HeaderValue(std::string_view text) : rest_(text) {}

  // The leading value, up to the first ";".
  std::string_view Head() {
    const auto semicolon = rest_.find(';');
    const std::string_view head = Trim(rest_.substr(0, semicolon), kSpaceTab);
    rest_ = semicolon == std::string_view::npos ? std::string_view{} : rest_.substr(semicolon + 1);
    return head;
  }

  // The next parameter; false when there is none left, or the text does
  // not follow the form (then `broken` is set).
  bool Next(std::string& key, std::string& value) {
    rest_ = TrimStart(rest_, kSpaceTab);
    while (rest_.starts_with(';')) rest_ = TrimStart(rest_.substr(1), kSpaceTab);
    if (rest_.empty()) return false;
    const auto equals = rest_.find('=');
    if (equals == std::string_view::npos) return Broken();
    key = LowerAscii(Trim(rest_.substr(0, equals), kSpaceTab));
    rest_ = TrimStart(rest_.substr(equals + 1), kSpaceTab);
    if (rest_.starts_with('"')) {
      value.clear();
      std::size_t i = 1;
      for (; i < rest_.size() && rest_[i] != '"'; ++i) {
        if (rest_[i] == '\\' && i + 1 < rest_.size()) ++i;
        value += rest_[i];
      }
      if (i >= rest_.size()) return Broken();
      rest_ = rest_.substr(i + 1);
    } else {
      const auto end = rest_.find(';');
      value = std::string(Trim(rest_.substr(0, end), kSpaceTab));
      rest_ = end == std::string_view::npos ? std::string_view{} : rest_.substr(end);
    }
    return !key.empty() || Broken();
  }

  bool broken = false;

 private:
  bool Broken() {
    broken = true;
    rest_ = {};
    return false;
  }
  std::string_view rest_;
};

// The part's name (and file name and type) from its header block; false
// and why when it has none or the block does not parse.
bool ReadPartHeaders(std::string_view headers, FormPart& part, std::string& error) {
  bool named = false;
  while (!headers.empty()) {
    const auto end = headers.find("\r\n");
    const std::string_view line = headers.substr(0, end);
    headers = end == std::string_view::npos ? std::string_view{} : headers.substr(end + 2);
    const auto colon = line.find(':');
    if (colon == std::string_view::npos) {
      error = "a part header without a colon";
      return false;
    }
    const std::string_view field = Trim(line.substr(0, colon), kSpaceTab);
    if (EqualsNoCase(field, "Content-Type")) {
      part.contentType = std::string(Trim(line.substr(colon + 1), kSpaceTab));
      continue;
    }
    if (!EqualsNoCase(field, "Content-Disposition")) continue;
    HeaderValue disposition(line.substr(colon + 1));
    if (!EqualsNoCase(disposition.Head(), "form-data")) {
      error = "a part that is not form-data";
      return false;
    }
    std::string key;
    std::string value;
    while (disposition.Next(key, value)) {
      if (key == "name" && !named) {
        part.name = value;
        named = true;
      } else if (key == "filename") {
        part.filename = value;
      }
    }
    if (disposition.broken) {
      error = "a part's disposition does not parse";
      return false;
    }
  }
  if (!named) error = "a part without a name";
  return named;
}

}  // namespace

const std::string* FormData::Value(std::string_view name) const {
  for (const FormPart& part : parts) {
    if (part.name == name) return &part.value;
  }
  return nullptr;
}

std::optional<std::string> FormBoundary(std::string_view contentType) {
  HeaderValue type(contentType);
  if (!EqualsNoCase(type.Head(), "multipart/form-data")) return std::nullopt;
  std::string key;
  std::string value;
  while (type.Next(key, value)) {
    if (key == "boundary") {
      if (value.empty() || value.size() > kMaxBoundary) return std::nullopt;
      return value;
    }
  }
  return std::nullopt;
}

FormParse ParseFormData(std::string_view body, std::string_view boundary) {
  FormParse result;
  const auto fail = [&result](std::string why) {
    result.error = std::move(why);
    return result;
  };
  if (boundary.empty()) return fail("no boundary");
  const std::string dashBoundary = "--" + std::string(boundary);
  const std::string delimiter = "\r\n" + dashBoundary;

  // The first delimiter may open the body without the CR LF before it.
  std::size_t cursor;
  if (body.starts_with(dashBoundary)) {
    cursor = dashBoundary.size();
  } else {
    const auto first = body.find(delimiter);
    if (first == std::string_view::npos) return fail("no delimiter of the boundary");
    cursor = first + delimiter.size();
  }

  FormData form;
  for (;;) {
    // After a delimiter: "--" closes the body, else padding and CR LF.
    if (body.substr(cursor, 2) == "--") break;
    while (cursor < body.size() && IsBlank(body[cursor], kSpaceTab)) ++cursor;
    if (body.substr(cursor, 2) != "\r\n") return fail("a delimiter line that does not end");
    cursor += 2;

    if (form.parts.size() == kMaxFormParts) return fail("too many parts");
    std::string_view headers;
    if (body.substr(cursor, 2) == "\r\n") {
      cursor += 2;
    } else {
      const auto blank = body.find("\r\n\r\n", cursor);
      if (blank == std::string_view::npos) return fail("part headers that do not end");
      headers = body.substr(cursor, blank - cursor);
      cursor = blank + 4;
    }
    const auto next = body.find(delimiter, cursor);
    if (next == std::string_view::npos) return fail("no closing delimiter");
    FormPart part;
    std::string why;
    if (!ReadPartHeaders(headers, part, why)) return fail(why);
    part.value = std::string(body.substr(cursor, next - cursor));
    form.parts.push_back(std::move(part));
    cursor = next + delimiter.size();
  }
  result.form = std::move(form);
  return result;
}

}  // namespace quorvane::newsd
