#include "publisher/IniFile.h"

#include <fstream>
#include <iterator>

#include "base/AsciiText.h"

namespace quorvane {

namespace {

std::string_view Unquoted(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

std::string ReadIniStringFromText(std::string_view text, std::string_view section,
                                  std::string_view key) {
  bool inSection = false;
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    std::string_view line = Trim(text.substr(0, end), kWhiteSpace);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);

    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const std::size_t close = line.find(']');
      if (close == std::string_view::npos) continue;
      inSection = EqualsNoCase(Trim(line.substr(1, close - 1), kWhiteSpace), section);
      continue;
    }
    if (!inSection) continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    if (EqualsNoCase(Trim(line.substr(0, equals), kWhiteSpace), key)) {
      return std::string(Unquoted(Trim(line.substr(equals + 1), kWhiteSpace)));
    }
  }
  return {};
}

std::string ReadIniString(const std::filesystem::path& file, std::string_view section,
                          std::string_view key) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return {};
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return ReadIniStringFromText(text, section, key);
}

}  // namespace quorvane
