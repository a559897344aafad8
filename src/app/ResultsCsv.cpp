#include "app/ResultsCsv.h"

#include <array>
#include <string_view>

#include "base/AsciiText.h"

namespace quorvane {

namespace {

constexpr std::array<std::string_view, kColumnCount> kHeader = {"No",     "Keywords", "Searches",
                                                                "Google", "Yahoo",    "Msn"};

void AppendField(std::string& out, std::string_view cell) {
  out += '"';
  for (const char c : cell) {
    // Doubling keeps a phrase with a quote in it one well-formed field.
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

template <class Cells>
void AppendLine(std::string& out, const Cells& cells) {
  bool first = true;
  for (const auto& cell : cells) {
    if (!first) out += ',';
    first = false;
    AppendField(out, cell);
  }
  out += "\r\n";
}

}  // namespace

std::string BuildResultsCsv(const ResultStore& rows) {
  std::string out;
  AppendLine(out, kHeader);
  for (int i = 0; i < rows.Count(); ++i) AppendLine(out, rows.Row(i).cells);
  return out;
}

std::string BuildResultsCsv(const ResultStore& rows, const std::vector<int>& which) {
  std::string out;
  AppendLine(out, kHeader);
  for (const int i : which) AppendLine(out, rows.Row(i).cells);
  return out;
}

namespace {

template <class Cells>
void AppendTabLine(std::string& out, const Cells& cells) {
  bool first = true;
  for (const auto& cell : cells) {
    if (!first) out += '\t';
    first = false;
    const std::string_view text(cell);
    if (text.find_first_of("\t\r\n\"") == std::string_view::npos)
      out += text;
    else
      AppendField(out, text);
  }
  out += '\n';
}

}  // namespace

std::string BuildResultsTabText(const ResultStore& rows, const std::vector<int>& which) {
  std::string out;
  AppendTabLine(out, kHeader);
  for (const int i : which) AppendTabLine(out, rows.Row(i).cells);
  return out;
}

std::string CompleteCsvFileName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = path.find_last_of('.');
  std::string_view extension;
  if (dot != std::string::npos && dot >= nameStart) extension = std::string_view(path).substr(dot);
  return EqualsNoCase(extension, ".csv") ? path : path + ".csv";
}

}  // namespace quorvane
