#include "settings/LastNewsMarker.h"

#include <algorithm>
#include <string_view>

#include "web/UUtils.h"

namespace quorvane {

namespace {

constexpr std::string_view kStartTag = "<%%LastNewsId%%>";
constexpr std::string_view kEndTag = "<%%/LastNewsId%%>";

char FoldAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::size_t FindIgnoringCase(std::string_view text, std::string_view searched, std::size_t from) {
  const auto it =
      std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), searched.begin(),
                  searched.end(), [](char a, char b) { return FoldAscii(a) == FoldAscii(b); });
  return it == text.end() ? std::string::npos : static_cast<std::size_t>(it - text.begin());
}

std::string MarkerPair(const std::string& id) {
  return std::string(kStartTag) + id + std::string(kEndTag);
}

}  // namespace

std::string FindLastNewsId(const std::string& settingsText) {
  std::string work = settingsText;
  return CutBetween(work, kStartTag, kEndTag);
}

void PutLastNewsId(std::vector<std::string>& lines, const std::string& id) {
  const auto found = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
    return line.find(kStartTag) != std::string::npos;
  });
  if (found == lines.end()) {
    lines.push_back(MarkerPair(id));
    return;
  }
  std::string& line = *found;
  const std::size_t start = line.find(kStartTag);
  const std::size_t end = FindIgnoringCase(line, kEndTag, start + kStartTag.size());
  if (end == std::string::npos) {
    lines.insert(found, MarkerPair(id));
    return;
  }
  line.replace(start, end + kEndTag.size() - start, MarkerPair(id));
}

}  // namespace quorvane
