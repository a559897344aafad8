#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/ResultRow.h"

namespace quorvane {

// The journal of a session's results table: what a crash would otherwise
// lose, written now and then while the table holds rows not yet saved, and
// read back at the next start. A small header, then the table as Save
// Results writes it (so a journal set aside still opens in a spreadsheet
// once the header lines are cut):
//
//   Quorvane results journal 1
//   rows: 1000
//   ticked: 0-2,7
//   bytes: 81234
//   (an empty line)
//   "No","Keywords","Searches","Google","Yahoo","Msn"
//   "1","golf clubs","","1,230,000","",""
//   ...
//
// `ticked` lists the rows whose check box is ticked, as 0-based indexes in
// file order and ranges; `bytes` is the length of the table part, so that
// a journal cut short or run on is told from a whole one. Lines end with
// CR LF.

// Builds a journal a row at a time, so that a big table can be written out
// in slices between other work.
class JournalBuilder {
 public:
  // `expectedRows` only sizes the buffer ahead.
  explicit JournalBuilder(int expectedRows = 0);

  void Add(const ResultRow& row);
  int Rows() const { return rows_; }
  // The whole journal; the builder is spent afterwards.
  std::string Finish();

 private:
  std::string body_;
  std::string ticked_;
  int rows_ = 0;
  int runStart_ = -1;  // the open run of ticked rows, -1 if none
  int runEnd_ = -1;

  void CloseRun();
};

// A journal read back: its rows with their numbers and check boxes, or
// what is wrong with it.
struct JournalContents {
  std::vector<ResultRow> rows;
  bool ok = false;
  std::string problem;  // when not ok: a clause ("ends before its last row")
};

JournalContents ParseJournal(std::string_view bytes);
// Reads a journal file; a file that cannot be read comes back not ok.
JournalContents ReadJournalFile(const std::filesystem::path& path);

}  // namespace quorvane
