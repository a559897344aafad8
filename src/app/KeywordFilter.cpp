#include "app/KeywordFilter.h"

#include <algorithm>

#include "app/GroupThousands.h"
#include "base/AsciiText.h"

namespace quorvane {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// True when `phrase` holds `word` (already lower case), folding the
// phrase's ASCII letters as it goes: no copy of the phrase per row.
bool ContainsFolded(std::string_view phrase, const std::string& word) {
  return std::search(phrase.begin(), phrase.end(), word.begin(), word.end(),
                     [](char p, char w) { return LowerAscii(p) == w; }) != phrase.end();
}

}  // namespace

KeywordFilter::KeywordFilter(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    const std::size_t start = i;
    while (i < text.size() && !IsBlank(text[i])) ++i;
    if (start == i) break;
    std::string word(text.substr(start, i - start));
    for (char& c : word) c = LowerAscii(c);
    if (word[0] == '-') {
      if (word.size() > 1) excluded_.push_back(word.substr(1));
    } else {
      required_.push_back(std::move(word));
    }
  }
}

bool KeywordFilter::Matches(std::string_view phrase) const {
  for (const std::string& word : excluded_)
    if (ContainsFolded(phrase, word)) return false;
  for (const std::string& word : required_)
    if (!ContainsFolded(phrase, word)) return false;
  return true;
}

std::string ShownRowsText(int shown, int total) {
  return GroupThousands(shown) + " of " + GroupThousands(total) + " rows shown";
}

}  // namespace quorvane
