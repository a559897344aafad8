#include "newsd/NewsItems.h"

#include <algorithm>
#include <charconv>

#include "base/AsciiText.h"
#include "publisher/NewsReply.h"

namespace quorvane::newsd {

namespace {

// A title or date goes into the list reply unescaped: it may not hold the
// bytes that cut the reply into records and fields, nor a line break.
std::optional<std::string> FieldTrouble(std::string_view value) {
  if (value.empty()) return "is empty";
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '^') return "holds ^, which separates the fields of a news record";
    if (c == kNewsRecordSeparator) {
      return "holds the byte 0xAF, which separates the news records (in UTF-8 it is part of "
             "some letters): reword it";
    }
    if (byte < 0x20 || byte == 0x7F) return "holds a control character";
  }
  return std::nullopt;
}

std::optional<std::int32_t> ParseId(std::string_view text) {
  if (text.empty() || text.front() == '0') return std::nullopt;
  std::int32_t id = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
  if (error != std::errc() || end != text.data() + text.size() || id < 1) return std::nullopt;
  return id;
}

}  // namespace

NewsItemParse ParseNewsItem(std::string_view text) {
  NewsItemParse result;
  const auto fail = [&result](int line, std::string why) {
    result.line = line;
    result.error = std::move(why);
    return result;
  };
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // a byte-order mark

  NewsItem item;
  bool hasId = false;
  bool hasTitle = false;
  bool hasDate = false;
  int line = 0;
  for (;;) {
    ++line;
    if (text.empty()) return fail(0, "no empty line before the body");
    const auto end = text.find('\n');
    if (end == std::string_view::npos) return fail(0, "no empty line before the body");
    std::string_view field = text.substr(0, end);
    text.remove_prefix(end + 1);
    if (field.ends_with('\r')) field.remove_suffix(1);
    if (field.empty()) break;

    const auto colon = field.find(':');
    if (colon == std::string_view::npos) {
      return fail(line, "not a field: write Id:, Title: or Date: and the value");
    }
    const std::string_view name = Trim(field.substr(0, colon), kSpaceTab);
    const std::string_view value = Trim(field.substr(colon + 1), kSpaceTab);
    const auto once = [&](bool& seen) {
      const bool first = !seen;
      seen = true;
      return first;
    };
    if (EqualsNoCase(name, "Id")) {
      if (!once(hasId)) return fail(line, "Id given twice");
      const auto id = ParseId(value);
      if (!id) {
        return fail(line, "Id must be a whole number from 1 to 2147483647, without leading zeros");
      }
      item.id = *id;
      item.idText = std::string(value);
    } else if (EqualsNoCase(name, "Title")) {
      if (!once(hasTitle)) return fail(line, "Title given twice");
      if (auto trouble = FieldTrouble(value)) return fail(line, "Title " + *trouble);
      item.title = std::string(value);
    } else if (EqualsNoCase(name, "Date")) {
      if (!once(hasDate)) return fail(line, "Date given twice");
      if (auto trouble = FieldTrouble(value)) return fail(line, "Date " + *trouble);
      item.date = std::string(value);
    } else {
      return fail(line,
                  "unknown field " + std::string(name) + " (the fields are Id, Title and Date)");
    }
  }
  if (!hasId) return fail(0, "no Id field");
  if (!hasTitle) return fail(0, "no Title field");
  if (!hasDate) return fail(0, "no Date field");
  if (text.size() > kMaxNewsBody) return fail(0, "the body is larger than 1 MiB");
  item.body = std::string(text);
  result.item = std::move(item);
  return result;
}

std::string EscapeNewsBody(std::string_view body) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(body.size() + body.size() / 8);
  for (std::size_t i = 0; i < body.size(); ++i) {
    const auto byte = static_cast<unsigned char>(body[i]);
    const bool leadingBlank = i == 0 && byte == ' ';
    if (byte >= 0x20 && byte < 0x7F && byte != '$' && byte != '^' && !leadingBlank) {
      out += static_cast<char>(byte);
      continue;
    }
    out += '$';
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
  }
  return out;
}

NewsSet::NewsSet(std::vector<NewsItem> items) : size_(items.size()) {
  std::sort(items.begin(), items.end(),
            [](const NewsItem& a, const NewsItem& b) { return a.id > b.id; });
  const std::string end = kNewsRecordSeparator + std::string("OK");
  for (const NewsItem& item : items) {
    list_ += item.idText + '^' + item.title + '^' + item.date + kNewsRecordSeparator;
    details_.emplace(item.idText, EscapeNewsBody(item.body) + end);
  }
  list_ += "OK";
  if (items.empty()) {
    newest_ = "OK";
  } else {
    newestId_ = items.front().idText;
    newest_ = items.front().idText + '^' + items.front().title + end;
  }
}

const std::string* NewsSet::DetailsReply(std::string_view idText) const {
  const auto it = details_.find(idText);
  return it == details_.end() ? nullptr : &it->second;
}

}  // namespace quorvane::newsd
