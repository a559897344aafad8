#include "settings/LastNewsMarker.h"

#include <algorithm>
#include <string_view>

#include "base/AsciiText.h"
#include "base/TextRoutines.h"

namespace quorvane {

namespace {

constexpr std::string_view kStartTag = "<%%LastNewsId%%>";
constexpr std::string_view kEndTag = "<%%/LastNewsId%%>";

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
  const std::size_t end = FindNoCase(line, kEndTag, start + kStartTag.size());
  if (end == std::string::npos) {
    lines.insert(found, MarkerPair(id));
    return;
  }
  line.replace(start, end + kEndTag.size() - start, MarkerPair(id));
}

}  // namespace quorvane
