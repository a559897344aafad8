#include "app/SessionJournal.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <optional>

#include "app/ResultsCsv.h"
#include "app/ResultsCsvReader.h"

namespace quorvane {

namespace {

constexpr std::string_view kFirstLine = "Quorvane results journal 1";
constexpr std::string_view kLineEnd = "\r\n";

// A decimal count, or -1 when the text is none.
long long ReadCount(std::string_view text) {
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return -1;
  return value;
}

// Cuts the next CR LF line off `rest`; nullopt when no line end follows.
std::optional<std::string_view> NextLine(std::string_view& rest) {
  const std::size_t end = rest.find(kLineEnd);
  if (end == std::string_view::npos) return std::nullopt;
  const std::string_view line = rest.substr(0, end);
  rest.remove_prefix(end + kLineEnd.size());
  return line;
}

// "key: value" with this key; the value, or nullopt.
std::optional<std::string_view> Field(std::optional<std::string_view> line, std::string_view key) {
  if (!line || line->size() < key.size() + 2 || line->substr(0, key.size()) != key ||
      line->substr(key.size(), 2) != ": ")
    return std::nullopt;
  return line->substr(key.size() + 2);
}

JournalContents Bad(std::string problem) {
  JournalContents contents;
  contents.problem = std::move(problem);
  return contents;
}

// Ticks the rows that "0-2,7" names; false when the list is not such a
// list or names a row the journal does not have.
bool ApplyTicks(std::string_view list, std::vector<ResultRow>& rows) {
  while (!list.empty()) {
    const std::size_t comma = list.find(',');
    const std::string_view item = list.substr(0, comma);
    list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    const std::size_t dash = item.find('-');
    const long long first = ReadCount(item.substr(0, dash));
    const long long last =
        dash == std::string_view::npos ? first : ReadCount(item.substr(dash + 1));
    if (first < 0 || last < first || last >= static_cast<long long>(rows.size())) return false;
    for (long long row = first; row <= last; ++row)
      rows[static_cast<std::size_t>(row)].checked = true;
  }
  return true;
}

}  // namespace

JournalBuilder::JournalBuilder(int expectedRows) {
  // A row of counts takes some 60 to 100 bytes; growing by doubling would
  // copy the whole text a few times over.
  if (expectedRows > 0) body_.reserve(static_cast<std::size_t>(expectedRows) * 96);
  AppendResultsCsvHeader(body_);
}

void JournalBuilder::Add(const ResultRow& row) {
  AppendResultsCsvLine(body_, row);
  if (row.checked) {
    if (runStart_ < 0) runStart_ = rows_;
    runEnd_ = rows_;
  } else {
    CloseRun();
  }
  ++rows_;
}

void JournalBuilder::CloseRun() {
  if (runStart_ < 0) return;
  if (!ticked_.empty()) ticked_ += ',';
  ticked_ += std::to_string(runStart_);
  if (runEnd_ > runStart_) ticked_.append("-").append(std::to_string(runEnd_));
  runStart_ = runEnd_ = -1;
}

std::string JournalBuilder::Finish() {
  CloseRun();
  std::string out;
  out.reserve(body_.size() + ticked_.size() + 96);
  out.append(kFirstLine).append(kLineEnd);
  out.append("rows: ").append(std::to_string(rows_)).append(kLineEnd);
  out.append("ticked: ").append(ticked_).append(kLineEnd);
  out.append("bytes: ").append(std::to_string(body_.size())).append(kLineEnd);
  out.append(kLineEnd);
  out.append(body_);
  body_.clear();
  body_.shrink_to_fit();
  return out;
}

JournalContents ParseJournal(std::string_view bytes) {
  std::string_view rest = bytes;
  if (NextLine(rest) != kFirstLine) return Bad("is not a results journal");
  const auto rows = Field(NextLine(rest), "rows");
  const auto ticked = Field(NextLine(rest), "ticked");
  const auto length = Field(NextLine(rest), "bytes");
  const auto blank = NextLine(rest);
  const long long rowCount = rows ? ReadCount(*rows) : -1;
  const long long byteCount = length ? ReadCount(*length) : -1;
  if (rowCount < 0 || !ticked || byteCount < 0 || blank != std::string_view())
    return Bad("has a damaged header");
  if (static_cast<unsigned long long>(byteCount) != rest.size()) {
    return Bad(rest.size() < static_cast<unsigned long long>(byteCount)
                   ? "ends before its last row"
                   : "goes on after its last row");
  }
  ResultsText text = ParseResultsText(rest);
  if (!text.table) return Bad("has no table header");
  if (!text.ok())
    return Bad("has a damaged row (line " + std::to_string(text.badLine) + " " + text.problem +
               ")");
  if (static_cast<long long>(text.rows.size()) != rowCount)
    return Bad("holds " + std::to_string(text.rows.size()) + " rows instead of " +
               std::to_string(rowCount));
  if (!ApplyTicks(*ticked, text.rows)) return Bad("has a damaged list of ticked rows");
  JournalContents contents;
  contents.rows = std::move(text.rows);
  contents.ok = true;
  return contents;
}

JournalContents ReadJournalFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return Bad("cannot be opened (" + std::string(std::strerror(errno)) + ")");
  const std::streamoff size = in.tellg();
  if (size < 0) return Bad("cannot be read");
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.seekg(0);
  if (!in.read(bytes.data(), size)) return Bad("cannot be read");
  return ParseJournal(bytes);
}

}  // namespace quorvane
