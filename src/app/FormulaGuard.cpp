#include "app/FormulaGuard.h"

#include "base/AsciiText.h"

namespace quorvane {

namespace {

constexpr char kApostrophe = '\'';

bool StartsFormula(char c) {
  return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r';
}

// An optional sign, digits with commas among them, and an optional
// decimal part: a spreadsheet reads it as a number, never as a formula.
bool PlainNumber(std::string_view cell) {
  std::size_t i = 0;
  if (i < cell.size() && (cell[i] == '+' || cell[i] == '-')) ++i;
  if (i >= cell.size() || !IsAsciiDigit(cell[i])) return false;
  while (i < cell.size() && (IsAsciiDigit(cell[i]) || cell[i] == ',')) ++i;
  if (i < cell.size() && cell[i] == '.') {
    ++i;
    if (i >= cell.size()) return false;
    while (i < cell.size() && IsAsciiDigit(cell[i])) ++i;
  }
  return i == cell.size();
}

}  // namespace

bool NeedsFormulaGuard(std::string_view cell) {
  std::size_t first = 0;
  while (first < cell.size() && cell[first] == kApostrophe) ++first;
  const std::string_view rest = cell.substr(first);
  return !rest.empty() && StartsFormula(rest.front()) && !PlainNumber(rest);
}

std::string GuardFormula(std::string_view cell) {
  std::string out;
  AppendGuarded(out, cell);
  return out;
}

void AppendGuarded(std::string& out, std::string_view cell) {
  if (NeedsFormulaGuard(cell)) out += kApostrophe;
  out += cell;
}

std::string_view UnguardFormula(std::string_view written) {
  if (!written.empty() && written.front() == kApostrophe && NeedsFormulaGuard(written.substr(1)))
    written.remove_prefix(1);
  return written;
}

}  // namespace quorvane
