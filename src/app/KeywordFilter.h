#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// The words of the results table's filter field. Words are separated by
// spaces or tabs; a word starting with "-" is a negative keyword: a phrase
// containing it is hidden. Every other word must be contained in a shown
// phrase. Matching is by substring and folds only the ASCII letters A-Z, the
// same under every locale (code-page bytes from 0x80 on compare as they
// are). A lone "-" is no word at all.
class KeywordFilter {
 public:
  KeywordFilter() = default;
  explicit KeywordFilter(std::string_view text);

  // No words: every phrase is shown.
  bool Empty() const { return required_.empty() && excluded_.empty(); }
  bool Matches(std::string_view phrase) const;

  // The words folded to lower case, in the order typed.
  const std::vector<std::string>& Required() const { return required_; }
  const std::vector<std::string>& Excluded() const { return excluded_; }

 private:
  std::vector<std::string> required_;
  std::vector<std::string> excluded_;
};

// "12 of 1,000 rows shown": what the filter field says while a filter hides
// rows. Counts are grouped in thousands with commas.
std::string ShownRowsText(int shown, int total);

}  // namespace quorvane
