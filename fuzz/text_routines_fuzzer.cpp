// The five text routines on arbitrary text, each held against a plain
// reference or a property that follows from its definition.
//
// Input: two short texts (markers, or searched text and replacement), each
// ended by a backslash and one more byte ("\\" is a backslash inside them),
// then the working text.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "base/TextRoutines.h"

using namespace quorvane;

namespace {

// Naive comparisons below are quadratic; they run on small texts only.
constexpr std::size_t kSmallText = 1024;
// Calls of one CutBetween walk; each call that finds its start marker
// moves the working text forward, so the walk ends well before on most
// inputs.
constexpr int kWalkSteps = 64;

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = FoldUpper(c);
  return out;
}

// CutBetween by the letter of its definition, on upper-cased copies.
std::string ReferenceCut(std::string& work, std::string_view start, std::string_view end) {
  if (start.empty()) return {};
  const std::size_t s = Upper(work).find(Upper(start));
  if (s == std::string::npos) return {};
  work.erase(0, s + start.size());
  if (end.empty()) return {};
  const std::size_t e = Upper(work).find(Upper(end));
  if (e == std::string::npos) return {};
  std::string field = work.substr(0, e);
  work.erase(0, e);
  return field;
}

void CheckCutBetween(std::string_view text, std::string_view start, std::string_view end) {
  std::string work(text);
  std::string reference(text);
  TextWalker walker(text);
  for (int step = 0; step < kWalkSteps; ++step) {
    const std::string before = work;
    const std::string field = CutBetween(work, start, end);
    FUZZ_CHECK(CutBetween(walker, start, end) == field);
    FUZZ_CHECK(walker.Rest() == work);
    FUZZ_CHECK(walker.Offset() + work.size() == text.size());
    if (text.size() <= kSmallText) {
      FUZZ_CHECK(ReferenceCut(reference, start, end) == field);
      FUZZ_CHECK(reference == work);
    }
    if (work == before) break;
  }
}

// "Find from the beginning, replace, start over" until nothing is found.
// Returns false when the rewriting runs too long to compare.
bool NaiveReplaceAll(std::string text, std::string_view searched, std::string_view replacement,
                     std::string& out) {
  for (std::size_t rounds = 0; rounds <= 4 * kSmallText; ++rounds) {
    const std::size_t hit = text.find(searched);
    if (hit == std::string::npos) {
      out = std::move(text);
      return true;
    }
    text.replace(hit, searched.size(), replacement);
  }
  return false;
}

// Each occurrence present in the text replaced once, left to right.
std::string ReplaceOncePerOccurrence(std::string_view text, std::string_view searched,
                                     std::string_view replacement) {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text.substr(i, searched.size()) == searched) {
      out += replacement;
      i += searched.size();
    } else {
      out += text[i++];
    }
  }
  return out;
}

void CheckReplaceAll(std::string_view text, std::string_view searched,
                     std::string_view replacement) {
  if (searched.empty()) {
    FUZZ_CHECK(ReplaceAll(std::string(text), searched, replacement) == text);
    return;
  }
  const bool holdsSearched = replacement.find(searched) != std::string_view::npos;
  // Pairs the program uses shorten the text or swap one byte for another,
  // so the repetition ends. A longer replacement that does not hold the
  // searched text may go on forming new occurrences without end
  // ("ab" -> "bbaa" on "aab"); the definition gives no answer there.
  const bool ends =
      replacement.size() < searched.size() || (replacement.size() == 1 && searched.size() == 1);
  if (!holdsSearched && !ends) return;

  const std::string result = ReplaceAll(std::string(text), searched, replacement);
  if (holdsSearched) {
    // Repeating would never end: each occurrence is replaced once instead.
    FUZZ_CHECK(result == ReplaceOncePerOccurrence(text, searched, replacement));
    return;
  }
  FUZZ_CHECK(result.find(searched) == std::string::npos);
  std::string naive;
  if (text.size() <= kSmallText && NaiveReplaceAll(std::string(text), searched, replacement, naive))
    FUZZ_CHECK(result == naive);
}

void CheckStripHtml(std::string_view text) {
  const std::string plain = StripHtml(text);
  FUZZ_CHECK(!HasBlankEdge(plain));
  // Tabs, line breaks and double quotes all go, and nothing later makes them.
  FUZZ_CHECK(plain.find_first_of("\t\r\n\"") == std::string::npos);
  FUZZ_CHECK(plain.size() <= text.size());
}

void CheckSplitString(char separator, std::string_view text) {
  std::vector<std::string> pieces;
  SplitString(separator, text, pieces);
  std::string joined;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    FUZZ_CHECK(pieces[i].find(separator) == std::string::npos);
    if (i > 0) joined += separator;
    joined += pieces[i];
  }
  // The pieces give the text back, but for a trailing separator.
  if (!text.empty() && text.back() == separator) joined += separator;
  FUZZ_CHECK(joined == text);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string ReferenceDecode(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] != '$') {
      out += text[i++];
      continue;
    }
    const std::string_view digits = text.substr(i + 1, 2);
    if (digits.empty()) return {};
    int value = 0;
    for (char d : digits) {
      if (HexDigit(d) < 0) return {};
      value = value * 16 + HexDigit(d);
    }
    out += static_cast<char>(value);
    i += 1 + digits.size();
  }
  return out;
}

// What a news service sends: "$" and every byte with its upper bit set
// written as escapes, the rest as it is.
std::string Escape(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '$' || byte >= 0x80) {
      out += '$';
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  return out;
}

void CheckDecodeHexEscapes(std::string_view text) {
  const std::string decoded = DecodeHexEscapes(text);
  FUZZ_CHECK(decoded == ReferenceDecode(text));
  FUZZ_CHECK(DecodeHexEscapes(Escape(text)) == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string first = in.ConsumeRandomLengthString(64);
  const std::string second = in.ConsumeRandomLengthString(64);
  const std::string text = in.ConsumeRemainingBytesAsString();

  CheckCutBetween(text, first, second);
  CheckReplaceAll(text, first, second);
  CheckStripHtml(text);
  CheckSplitString('^', text);
  CheckSplitString('\xAF', text);
  if (!first.empty()) CheckSplitString(first.front(), text);
  CheckDecodeHexEscapes(text);
  return 0;
}
