#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "app/ResultsLimits.h"
#include "app/ResultsText.h"

namespace quorvane {

// Reading a file as results, for Open Results and for files dropped on the
// table. Only a regular file is opened (a pipe or device put in its place
// cannot hold the window), and only up to the size it had when it was
// opened, so that a file that grows meanwhile cannot make the read go on
// for ever. A file over kMaxResultsBytes is refused before it is read.
//
// What is in it decides how it is read (see SniffFile): a workbook
// (ParseResultsWorkbook), a picture, archive or other binary file
// (refused), or text: a results table or, without the header, a list of
// phrases.
struct ReadOptions {
  // How a text without the header is read: false, as CSV with one field a
  // line (Open Results); true, one phrase a whole line, as a keyword list
  // (ParseResultsOrLines: a drop).
  bool linesArePhrases = false;
  ReadProgress progress;
};
ResultsFile ReadResultsFile(const std::filesystem::path& path, const ReadOptions& options = {});

// What is wrong with a file that adds nothing, as a clause that follows
// the file's name: "cannot be opened: Permission denied", "is not a
// results table: line 3 opens a quote that is never closed". Empty for a
// good or cancelled file.
std::string ResultsFileProblem(const ResultsFile& file);

// The one message for a file that adds nothing: it names the file and
// what is wrong with it.
std::string ResultsFileMessage(const std::string& path, const ResultsFile& file);

// The note on a text that stopped at a NUL byte (`subject` is "The file
// \"x\"" or "The pasted text").
std::string StopsAtNulNote(const std::string& subject, int linesBefore);

// One message for several files that added nothing, each named with its
// problem on a line of its own; past `shown` files the rest are counted.
std::string ResultsFilesSummary(const std::vector<std::string>& lines, std::size_t shown = 10);

}  // namespace quorvane
