#include "settings/SettingsLines.h"

namespace quorvane {

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t begin = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const char c = text[pos];
    if (c != '\r' && c != '\n') {
      ++pos;
      continue;
    }
    lines.emplace_back(text.substr(begin, pos - begin));
    pos += (c == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
    begin = pos;
  }
  if (begin < text.size()) lines.emplace_back(text.substr(begin));
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

}  // namespace quorvane
