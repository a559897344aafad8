#include "keywords/KeywordFile.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

std::vector<std::string> SplitKeywordLines(std::string_view bytes) {
  const std::size_t nul = bytes.find('\0');
  if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);

  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(bytes.substr(start));
      break;
    }
    lines.emplace_back(bytes.substr(start, end - start));
    start = end + 1;
    if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
  }
  return lines;
}

bool KeywordFileExists(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec) && !std::filesystem::is_directory(path, ec);
}

std::vector<std::string> ReadKeywordFile(const std::filesystem::path& path) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                             &std::fclose);
  if (!file) {
    throw std::system_error(errno, std::generic_category(),
                            "Cannot open the keyword list \"" + path.string() + "\"");
  }
  std::string bytes;
  char buffer[1 << 16];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.append(buffer, got);
  if (std::ferror(file.get())) {
    throw std::system_error(errno, std::generic_category(),
                            "Cannot read the keyword list \"" + path.string() + "\"");
  }
  return SplitKeywordLines(bytes);
}
