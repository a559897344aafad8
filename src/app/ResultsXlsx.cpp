#include "app/ResultsXlsx.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <memory>

#include "base/AsciiText.h"
#include "base/AtomicFileWriter.h"
#include "base/FileError.h"

namespace quorvane {

namespace {

constexpr std::array<const char*, kColumnCount> kHeader = {"No",     "Keywords", "Searches",
                                                           "Google", "Yahoo",    "Msn"};

// A spreadsheet cell holds at most this many bytes of text.
constexpr std::size_t kMaxCellBytes = 32767;
// Widths in characters: wide enough for the auto-filter's button beside a
// heading, and no column wider than a screen.
constexpr double kFilterButtonWidth = 3;
constexpr double kMaxColumnWidth = 100;

// Length of the valid UTF-8 sequence at text[at], 0 when there is none.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // bounds of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
  }
  return length;
}

// The cell as a workbook holds text: UTF-8, as the table shows its cells,
// with U+FFFD for each byte that does not decode (the workbook would be
// unreadable otherwise), cut to the length a spreadsheet cell takes.
// `characters` receives the number of characters, for the column width.
std::string WorkbookText(std::string_view cell, std::size_t& characters) {
  std::string out;
  out.reserve(cell.size());
  characters = 0;
  for (std::size_t at = 0; at < cell.size();) {
    const std::size_t length = Utf8SequenceAt(cell, at);
    const std::string_view piece = length == 0 ? "\xEF\xBF\xBD" : cell.substr(at, length);
    if (out.size() + piece.size() > kMaxCellBytes) break;
    out += piece;
    ++characters;
    at += length == 0 ? 1 : length;
  }
  return out;
}

struct WorkbookDeleter {
  // Only reached when the cells could not all be written: the workbook is
  // dropped unwritten.
  void operator()(lxw_workbook* workbook) const { lxw_workbook_free(workbook); }
};

std::error_code WorkbookError(lxw_error error) {
  if (error == LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE)
    return std::make_error_code(std::errc::file_too_large);
  if (error == LXW_ERROR_MEMORY_MALLOC_FAILED)
    return std::make_error_code(std::errc::not_enough_memory);
  // The library stops at the call that failed, so errno still names the
  // reason of a failed file operation.
  return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

// Writes the workbook to `file`; the caller has made the file and removes
// it unless this succeeds.
std::error_code WriteWorkbook(const std::filesystem::path& file, const ResultStore& rows) {
  // One row for the header; the rest must fit the sheet.
  if (rows.Count() >= LXW_ROW_MAX) return std::make_error_code(std::errc::file_too_large);

  errno = 0;
  std::unique_ptr<lxw_workbook, WorkbookDeleter> workbook(workbook_new(file.c_str()));
  if (!workbook) return WorkbookError(LXW_ERROR_MEMORY_MALLOC_FAILED);
  lxw_worksheet* sheet = workbook_add_worksheet(workbook.get(), "Results");
  lxw_format* bold = workbook_add_format(workbook.get());
  lxw_format* grouped = workbook_add_format(workbook.get());
  if (sheet == nullptr || bold == nullptr || grouped == nullptr)
    return WorkbookError(LXW_ERROR_MEMORY_MALLOC_FAILED);
  format_set_bold(bold);
  // A count written with thousands separators keeps them on screen.
  format_set_num_format(grouped, "#,##0");

  std::array<double, kColumnCount> widths{};
  for (int c = 0; c < kColumnCount; ++c) {
    widths[static_cast<std::size_t>(c)] =
        static_cast<double>(std::string_view(kHeader[static_cast<std::size_t>(c)]).size()) +
        kFilterButtonWidth;
    if (const lxw_error error = worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c),
                                                       kHeader[static_cast<std::size_t>(c)], bold))
      return WorkbookError(error);
  }

  for (int r = 0; r < rows.Count(); ++r) {
    const auto sheetRow = static_cast<lxw_row_t>(r + 1);
    for (int c = 0; c < kColumnCount; ++c) {
      const auto column = static_cast<lxw_col_t>(c);
      const std::string& cell = rows.Cell(r, c);
      if (cell.empty()) continue;
      std::size_t characters = cell.size();
      lxw_error error = LXW_NO_ERROR;
      if (const std::optional<double> number = CountValue(cell)) {
        error = worksheet_write_number(sheet, sheetRow, column, *number,
                                       cell.find(',') == std::string::npos ? nullptr : grouped);
      } else {
        const std::string text = WorkbookText(cell, characters);
        error = worksheet_write_string(sheet, sheetRow, column, text.c_str(), nullptr);
      }
      if (error != LXW_NO_ERROR) return WorkbookError(error);
      double& width = widths[static_cast<std::size_t>(c)];
      width = std::max(width, static_cast<double>(characters) + 1);
    }
  }

  for (int c = 0; c < kColumnCount; ++c) {
    const auto column = static_cast<lxw_col_t>(c);
    worksheet_set_column(sheet, column, column,
                         std::min(widths[static_cast<std::size_t>(c)], kMaxColumnWidth), nullptr);
  }
  worksheet_freeze_panes(sheet, 1, 0);
  worksheet_autofilter(sheet, 0, 0, static_cast<lxw_row_t>(rows.Count()), kColumnCount - 1);

  errno = 0;
  const lxw_error closed = workbook_close(workbook.release());
  return closed == LXW_NO_ERROR ? std::error_code() : WorkbookError(closed);
}

}  // namespace

std::optional<double> CountValue(std::string_view cell) {
  if (cell.empty() || !IsAsciiDigit(cell.front())) return std::nullopt;
  if (cell.front() == '0' && cell.size() > 1) return std::nullopt;
  const bool grouped = cell.find(',') != std::string_view::npos;
  double value = 0;
  int digits = 0;
  std::size_t sinceComma = 0;
  for (std::size_t i = 0; i < cell.size(); ++i) {
    const char c = cell[i];
    if (c == ',') {
      // Every group after the first has three digits, the first one to three.
      if (sinceComma == 0 || sinceComma > 3 || (i > sinceComma && sinceComma != 3))
        return std::nullopt;
      sinceComma = 0;
      continue;
    }
    if (!IsAsciiDigit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
    ++digits;
    ++sinceComma;
  }
  if (grouped && sinceComma != 3) return std::nullopt;
  if (digits > 15) return std::nullopt;
  return value;
}

std::error_code WriteResultsXlsx(const std::filesystem::path& path, const ResultStore& rows) {
  try {
    // The library writes to a file name only: it fills the atomic writer's
    // own temporary file (same folder, so the final rename stays atomic),
    // and the writer syncs and renames it or, on failure, removes it.
    AtomicFileWriter out(path);
    if (const std::error_code error = WriteWorkbook(out.TempPath(), rows)) return error;
    out.Commit();
  } catch (const FileError& error) {
    return error.code();
  }
  return {};
}

}  // namespace quorvane
