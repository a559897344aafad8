#pragma once

#include <string>
#include <string_view>

namespace quorvane {

// Spreadsheets take a CSV cell that starts with =, +, -, @, a tab or a CR
// as a formula, and keyword phrases come from servers: a suggestion like
// =HYPERLINK("http://x","y") would become a live link (or worse) in the
// user's spreadsheet. Such a cell is written with an apostrophe in front,
// which spreadsheets take as "this is text" and do not show.
//
// The rule, so that reading a written cell back gives the same bytes:
// a cell needs the apostrophe when it starts with one of those bytes and
// is not a plain number (-5, +3, 1,200, -12.5), or when it starts with
// apostrophes followed by such a cell ('=x is written ''=x). Every other
// cell is written as it is.
bool NeedsFormulaGuard(std::string_view cell);

// The cell as written: with the apostrophe when it needs one.
std::string GuardFormula(std::string_view cell);
// Appends the cell as written to `out`.
void AppendGuarded(std::string& out, std::string_view cell);

// The cell as read back: a written cell without the apostrophe that
// GuardFormula put there; any other text as it is.
std::string_view UnguardFormula(std::string_view written);

}  // namespace quorvane
