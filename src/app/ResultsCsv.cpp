#include "app/ResultsCsv.h"

#include <array>
#include <string_view>

namespace quorvane {

namespace {

constexpr std::array<std::string_view, kColumnCount> kHeader = {"No",     "Keywords", "Searches",
                                                                "Google", "Yahoo",    "Msn"};

// How the lines of one text form are written.
struct LineForm {
  char separator;
  // Quote every field, or only a field that would break the line apart.
  bool quoteEveryField;
  std::string_view lineEnd;
};

// Save Results' file and the clipboard's text/csv.
constexpr LineForm kCsvLines{',', true, "\r\n"};
// The clipboard's text for spreadsheets.
constexpr LineForm kTabLines{'\t', false, "\n"};

void AppendField(std::string& out, std::string_view cell) {
  out += '"';
  // Doubling keeps a phrase with a quote in it one well-formed field; the
  // text between quotes goes in whole pieces.
  for (std::size_t quote; (quote = cell.find('"')) != std::string_view::npos;) {
    out.append(cell.substr(0, quote + 1)).append(1, '"');
    cell.remove_prefix(quote + 1);
  }
  out.append(cell);
  out += '"';
}

bool NeedsQuotes(std::string_view cell, char separator) {
  for (const char c : cell)
    if (c == separator || c == '\r' || c == '\n' || c == '"') return true;
  return false;
}

template <class Cells>
void AppendLine(std::string& out, const Cells& cells, const LineForm& form) {
  bool first = true;
  for (const auto& cell : cells) {
    if (!first) out += form.separator;
    first = false;
    const std::string_view text(cell);
    if (form.quoteEveryField || NeedsQuotes(text, form.separator))
      AppendField(out, text);
    else
      out += text;
  }
  out += form.lineEnd;
}

}  // namespace

std::string BuildResultsCsv(const ResultStore& rows) {
  std::string out;
  AppendLine(out, kHeader, kCsvLines);
  for (int i = 0; i < rows.Count(); ++i) AppendLine(out, rows.Row(i).cells, kCsvLines);
  return out;
}

std::string BuildResultsCsv(const ResultStore& rows, const std::vector<int>& which) {
  std::string out;
  AppendLine(out, kHeader, kCsvLines);
  for (const int i : which) AppendLine(out, rows.Row(i).cells, kCsvLines);
  return out;
}

void AppendResultsCsvHeader(std::string& out) {
  AppendLine(out, kHeader, kCsvLines);
}

void AppendResultsCsvLine(std::string& out, const ResultRow& row) {
  AppendLine(out, row.cells, kCsvLines);
}

std::string BuildResultsTabText(const ResultStore& rows, const std::vector<int>& which) {
  std::string out;
  AppendLine(out, kHeader, kTabLines);
  for (const int i : which) AppendLine(out, rows.Row(i).cells, kTabLines);
  return out;
}

}  // namespace quorvane
