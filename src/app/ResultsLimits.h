#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace quorvane {

// How much Open Results, Paste and drops take in at once. A keyword list
// of a real research stays far below each of them (a spreadsheet holds
// about a million rows and 32,767 characters a cell); past them a file is
// refused with a message instead of filling the memory or holding the
// window for minutes.

// The largest results file, keyword list or pasted text: 256 MiB.
inline constexpr std::size_t kMaxResultsBytes = std::size_t{256} << 20;
// The most rows one file or paste adds.
inline constexpr std::size_t kMaxResultRows = 5'000'000;
// The longest cell, in bytes: what a spreadsheet cell holds.
inline constexpr std::size_t kMaxCellBytes = 32'767;
// The most a part of a workbook (its sheet, its shared strings) may unpack
// to: a zip of 256 MiB could unpack to hundreds of GiB.
inline constexpr std::size_t kMaxWorkbookPartBytes = std::size_t{1} << 30;

// The limits as people read them ("256 MiB", "5,000,000 rows").
std::string ByteSizeText(std::size_t bytes);

// Called now and then during a long read with the share of the work done
// (0 to 1). Returning false cancels the read: it then ends as soon as it
// can, and adds nothing.
using ReadProgress = std::function<bool(double done)>;

}  // namespace quorvane
