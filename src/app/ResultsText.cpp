#include "app/ResultsText.h"

#include <algorithm>
#include <optional>

#include "app/FormulaGuard.h"
#include "app/GroupThousands.h"
#include "app/ResultsLimits.h"
#include "base/AsciiText.h"

namespace quorvane {

namespace {

// The column of each header field, or nullopt when the record is not the
// six-column header.
std::optional<std::array<int, kColumnCount>> HeaderColumns(const std::vector<std::string>& fields) {
  if (fields.size() != kColumnCount) return std::nullopt;
  std::array<int, kColumnCount> columns{};
  std::array<bool, kColumnCount> seen{};
  for (std::size_t f = 0; f < fields.size(); ++f) {
    int found = -1;
    for (int c = 0; c < kColumnCount; ++c)
      if (EqualsNoCase(fields[f], kResultColumnNames[static_cast<std::size_t>(c)])) found = c;
    if (found < 0 || seen[static_cast<std::size_t>(found)]) return std::nullopt;
    seen[static_cast<std::size_t>(found)] = true;
    columns[f] = found;
  }
  return columns;
}

std::string Count(std::size_t n, std::string_view parts) {
  std::string text = std::to_string(n) + " ";
  // "1 fields" reads wrong; "field" and "cell" are the singulars.
  text += n == 1 ? parts.substr(0, parts.size() - 1) : parts;
  return text;
}

}  // namespace

std::string CellTooLongProblem() {
  return "holds a cell longer than " + GroupThousands(static_cast<long long>(kMaxCellBytes)) +
         " bytes, the most a cell may hold";
}

ResultsTextBuilder::ResultsTextBuilder(Form form) : form_(form) {
  text_.place = form_.place;
}

void ResultsTextBuilder::Expect(std::size_t rows) {
  text_.rows.reserve(std::min(rows, form_.maxRows));
}

void ResultsTextBuilder::Fail(int line, std::string problem) {
  if (Bad()) return;
  text_.badLine = line;
  text_.problem = std::move(problem);
  text_.rows.clear();
  text_.rows.shrink_to_fit();
}

bool ResultsTextBuilder::CellsFit(const std::vector<std::string>& fields, int line) {
  for (const std::string& field : fields) {
    // The apostrophe of a guarded cell does not count.
    const std::size_t size =
        text_.table && form_.unguardCells ? UnguardFormula(field).size() : field.size();
    if (size > kMaxCellBytes) {
      Fail(line, CellTooLongProblem());
      return false;
    }
  }
  return true;
}

bool ResultsTextBuilder::First(std::vector<std::string>& fields, int line) {
  started_ = true;
  const auto columns = HeaderColumns(fields);
  if (columns) {
    text_.table = true;
    columns_ = *columns;
    return true;
  }
  if (fields.size() != 1) {
    std::string problem = "has " + Count(fields.size(), form_.parts);
    if (!form_.separatorName.empty())
      problem += " separated by " + std::string(form_.separatorName);
    problem += " but is not the header No, Keywords, Searches, Google, Yahoo, Msn";
    Fail(line, std::move(problem));
    return false;
  }
  if (!CellsFit(fields, line)) return false;
  text_.rows.push_back(ResultRow{{std::string(), std::move(fields[0]), {}, {}, {}, {}}, false});
  return true;
}

bool ResultsTextBuilder::Add(std::vector<std::string>& fields, int line) {
  if (Bad()) return false;
  if (!started_) return First(fields, line);

  const std::size_t width = text_.table ? std::size_t{kColumnCount} : std::size_t{1};
  if (fields.size() > width || (fields.size() < width && !form_.fillShortRecords)) {
    Fail(line, "has " + Count(fields.size(), form_.parts) +
                   (text_.table ? ", the header has 6" : ", a list of phrases has 1"));
    return false;
  }
  if (!CellsFit(fields, line)) return false;
  if (text_.rows.size() >= form_.maxRows) {
    Fail(line, "goes past " + GroupThousands(static_cast<long long>(form_.maxRows)) +
                   " rows, the most one file or paste adds");
    return false;
  }
  // Filled in place: a big table is millions of rows.
  ResultRow& row = text_.rows.emplace_back();
  if (text_.table) {
    for (std::size_t f = 0; f < fields.size(); ++f) {
      std::string& cell = row.cells[static_cast<std::size_t>(columns_[f])];
      const std::string_view read =
          form_.unguardCells ? UnguardFormula(fields[f]) : std::string_view(fields[f]);
      if (read.size() != fields[f].size())
        cell.assign(read);
      else
        cell = std::move(fields[f]);
    }
  } else {
    row.cells[kColKeywords] = std::move(fields[0]);
  }
  return true;
}

ResultsText ResultsTextBuilder::Finish() {
  return std::move(text_);
}

}  // namespace quorvane
