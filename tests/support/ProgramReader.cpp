#include "support/ProgramReader.h"

#include <algorithm>
#include <cctype>

namespace quorvane {

namespace program_reader {

namespace {

std::size_t FindNoCase(std::string_view text, std::string_view needle) {
  if (needle.empty()) return std::string_view::npos;
  const auto it =
      std::search(text.begin(), text.end(), needle.begin(), needle.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
      });
  return it == text.end() ? std::string_view::npos : static_cast<std::size_t>(it - text.begin());
}

std::string ReplaceAll(std::string text, std::string_view searched, std::string_view with) {
  for (auto at = text.find(searched); at != std::string::npos; at = text.find(searched)) {
    text.replace(at, searched.size(), with);
  }
  return text;
}

}  // namespace

std::string CutBetween(std::string& work, std::string_view start, std::string_view end) {
  const auto s = FindNoCase(work, start);
  if (s == std::string::npos) return {};
  work.erase(0, s + start.size());
  const auto e = FindNoCase(work, end);
  if (e == std::string::npos) return {};
  std::string field = work.substr(0, e);
  work.erase(0, e);
  return field;
}

std::string StripHtml(std::string_view fragment) {
  std::string text(fragment);
  text = ReplaceAll(text, "&amp;", "&");
  text = ReplaceAll(text, "&nbsp;", " ");
  text = ReplaceAll(text, "&#039;", "'");
  text = ReplaceAll(text, "<b>", "");
  text = ReplaceAll(text, "</b>", "");
  text = ReplaceAll(text, "\"", "");
  const auto keep = [](char c) { return static_cast<unsigned char>(c) > 32; };
  const auto first = std::find_if(text.begin(), text.end(), keep);
  const auto last = std::find_if(text.rbegin(), text.rend(), keep).base();
  return first < last ? std::string(first, last) : std::string{};
}

std::vector<Row> Suggestions(const std::string& page, bool skipFooter) {
  std::vector<Row> rows;
  std::string work = page;
  if (skipFooter) {
    if (page.find("</tfoot>") == std::string::npos) return rows;
    CutBetween(work, "</tfoot>", ">");
  }
  for (std::string count = StripHtml(CutBetween(work, "<tr><td>", "</td>")); !count.empty();
       count = StripHtml(CutBetween(work, "<tr><td>", "</td>"))) {
    rows.push_back({count, StripHtml(CutBetween(work, "\">", "</a>"))});
  }
  return rows;
}

Challenge ChallengeFields(const std::string& page) {
  std::string work = page;
  Challenge c;
  c.random = CutBetween(work, "<input type=\"hidden\" name=\"random\" value=\"", "\"");
  c.seed = CutBetween(work, "<input type=\"hidden\" name=\"seed\" value=\"", "\"");
  // One left-to-right pass: text made by a replacement is not searched again.
  const std::string src = CutBetween(work, "src=\"", "\"");
  for (std::size_t i = 0; i < src.size(); ++i) {
    const bool entity = src.compare(i, 5, "&amp;") == 0;
    c.imageSrc += src[i];
    if (entity) i += 4;
  }
  return c;
}

std::string Count(const std::string& page, std::string_view narrowing, std::string_view start,
                  std::string_view end) {
  std::string work = page;
  if (!narrowing.empty()) CutBetween(work, narrowing, start);
  return CutBetween(work, start, end);
}

std::string DecodeHexEscapes(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '$') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return {};
    const std::string hex(text.substr(i + 1, 2));
    if (!std::isxdigit(static_cast<unsigned char>(hex[0])) ||
        !std::isxdigit(static_cast<unsigned char>(hex[1]))) {
      return {};
    }
    out += static_cast<char>(std::stoi(hex, nullptr, 16));
    i += 2;
  }
  return out;
}

}  // namespace program_reader

}  // namespace quorvane
