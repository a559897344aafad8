#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// Small text routines on 8-bit byte strings (a NUL byte is an ordinary
// character). Case-insensitive comparisons fold only the ASCII letters.

// Cuts the text between the first `start` (case-insensitive) and the next
// `end` (case-insensitive) out of `work`, and moves `work` to begin at that
// `end`. No start: empty result, `work` unchanged. Start but no end: empty
// result, `work` begins right after the start marker. Empty markers never
// occur.
std::string CutBetween(std::string& work, std::string_view start, std::string_view end);

// A forward-only working text for parsers that walk big pages: it views
// caller-owned text (which must outlive it) and only advances an offset,
// where the std::string overload erases the consumed prefix on every call.
class TextWalker {
 public:
  explicit TextWalker(std::string_view text) : text_(text) {}

  // The working text: what is left after the calls so far.
  std::string_view Rest() const { return text_.substr(offset_); }
  std::size_t Offset() const { return offset_; }

  // CutBetween on the working text; the field views the caller's text.
  std::string_view Cut(std::string_view start, std::string_view end);

 private:
  std::string_view text_;
  std::size_t offset_ = 0;
};

// Same as the std::string overload, advancing `work` instead of rewriting it.
std::string CutBetween(TextWalker& work, std::string_view start, std::string_view end);

// Replaces `searched` (exact bytes) by `replacement` until none is left;
// text formed by a replacement is searched again.
std::string ReplaceAll(std::string text, std::string_view searched, std::string_view replacement);

// Turns a small HTML fragment into plain text by a fixed list of
// replacements, then trims bytes 0..32 from both ends.
std::string StripHtml(std::string_view fragment);

// Splits `text` at every `separator` into `pieces` (cleared first). Empty
// pieces before a separator are kept; a trailing separator adds no piece.
void SplitString(char separator, std::string_view text, std::vector<std::string>& pieces);

// Decodes "$" + two hex digits into one byte. A malformed escape makes the
// whole result empty.
std::string DecodeHexEscapes(std::string_view text);

}  // namespace quorvane
