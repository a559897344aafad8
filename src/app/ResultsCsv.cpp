#include "app/ResultsCsv.h"

#include <array>
#include <string_view>

#include "app/FormulaGuard.h"

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

// The header's captions are written as they are; the rows' cells with
// the apostrophe that keeps a spreadsheet from taking one for a formula.
template <class Cells>
void AppendLine(std::string& out, const Cells& cells, const LineForm& form, bool guard) {
  bool first = true;
  std::string guarded;
  for (const auto& cell : cells) {
    if (!first) out += form.separator;
    first = false;
    std::string_view text(cell);
    if (guard && NeedsFormulaGuard(text)) {
      guarded = GuardFormula(text);
      text = guarded;
    }
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
  AppendLine(out, kHeader, kCsvLines, false);
  for (int i = 0; i < rows.Count(); ++i) AppendLine(out, rows.Row(i).cells, kCsvLines, true);
  return out;
}

std::string BuildResultsCsv(const ResultStore& rows, const std::vector<int>& which) {
  std::string out;
  AppendLine(out, kHeader, kCsvLines, false);
  for (const int i : which) AppendLine(out, rows.Row(i).cells, kCsvLines, true);
  return out;
}

void AppendResultsCsvHeader(std::string& out) {
  AppendLine(out, kHeader, kCsvLines, false);
}

void AppendResultsCsvLine(std::string& out, const ResultRow& row) {
  AppendLine(out, row.cells, kCsvLines, true);
}

std::string BuildResultsTabText(const ResultStore& rows, const std::vector<int>& which) {
  std::string out;
  AppendLine(out, kHeader, kTabLines, false);
  for (const int i : which) AppendLine(out, rows.Row(i).cells, kTabLines, true);
  return out;
}

}  // namespace quorvane
