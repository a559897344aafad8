#include "base/TextRoutines.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

#include "base/AsciiText.h"

namespace quorvane {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// Replaces every occurrence present in `text` once, left to right, without
// looking at the inserted text again.
std::string ReplaceEachOnce(const std::string& text, std::string_view searched,
                            std::string_view replacement) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  for (std::size_t hit = text.find(searched); hit != std::string::npos;
       hit = text.find(searched, pos)) {
    out.append(text, pos, hit - pos);
    out.append(replacement);
    pos = hit + searched.size();
  }
  out.append(text, pos);
  return out;
}

}  // namespace

// The one implementation behind both CutBetween overloads.
std::string_view TextWalker::Cut(std::string_view start, std::string_view end) {
  const std::size_t startPos = FindNoCase(text_, start, offset_);
  if (startPos == kNone) return {};
  offset_ = startPos + start.size();
  const std::size_t endPos = FindNoCase(text_, end, offset_);
  if (endPos == kNone) return {};
  const std::string_view field = text_.substr(offset_, endPos - offset_);
  offset_ = endPos;  // the end marker stays in the working text
  return field;
}

std::string CutBetween(std::string& work, std::string_view start, std::string_view end) {
  TextWalker walker(work);
  std::string field(walker.Cut(start, end));
  work.erase(0, walker.Offset());
  return field;
}

std::string CutBetween(TextWalker& work, std::string_view start, std::string_view end) {
  return std::string(work.Cut(start, end));
}

// Same result as "find the first occurrence from the beginning, replace it,
// start over", in linear time. The output buffer never contains `searched`;
// bytes move into it from a push-back stack (text produced by replacements,
// to be examined again) or else from the input. When the output comes to end
// with `searched`, that is the leftmost occurrence of the whole current text,
// so it is cut off and the replacement is pushed back. While the output's
// tail is a plain copy of the input, whole stretches are copied up to the
// next occurrence that the input itself shows.
std::string ReplaceAll(std::string text, std::string_view searched, std::string_view replacement) {
  if (searched.empty()) return text;
  if (text.find(searched) == std::string::npos) return text;
  // A replacement holding the searched text would be found again forever;
  // replacing what was there once is the only answer that ends.
  if (replacement.find(searched) != std::string_view::npos)
    return ReplaceEachOnce(text, searched, replacement);

  const std::size_t m = searched.size();
  const std::size_t n = text.size();
  std::string out;
  out.reserve(n);
  std::string pending;    // pushed-back bytes, the next one at the back
  std::size_t in = 0;     // next input byte
  std::size_t clean = 0;  // output tail bytes equal to text[in - clean, in)

  auto endsWithSearched = [&] {
    return out.size() >= m && out.back() == searched.back() &&
           std::memcmp(out.data() + out.size() - m, searched.data(), m - 1) == 0;
  };

  for (;;) {
    if (!pending.empty()) {
      out.push_back(pending.back());
      pending.pop_back();
      clean = 0;
      if (!endsWithSearched()) continue;
    } else if (in == n) {
      break;
    } else if (clean >= m - 1 || clean == out.size()) {
      // Any occurrence ending past `in` starts inside the clean tail at the
      // earliest, and there the output equals the input.
      const std::size_t back = std::min(clean, m - 1);
      const std::size_t hit = text.find(searched, in - back);
      if (hit == std::string::npos) {
        out.append(text, in, std::string::npos);
        break;
      }
      out.append(text, in, hit + m - in);
      in = hit + m;
    } else {
      out.push_back(text[in++]);
      ++clean;
      if (!endsWithSearched()) continue;
    }
    out.resize(out.size() - m);
    pending.append(replacement.rbegin(), replacement.rend());
    clean = 0;
  }
  return out;
}

std::string StripHtml(std::string_view fragment) {
  // Order matters: step 1 can form "&nbsp;" for step 2, and the late "<BR>"
  // catches only those formed by the deletions in between.
  static constexpr std::string_view kSteps[][2] = {
      {"&amp;", "&"},       {"&nbsp;", " "},  {"\t", " "},      {"<wbr>", ""},      {"&#039;", "'"},
      {"Tel : ", ""},       {"Fax : ", ""},   {"<strong>", ""}, {"</strong>", ""},  {"<em>", ""},
      {"<hr>", ""},         {"<h3>", ""},     {"</h3>", ""},    {"<H3>", ""},       {"</H3>", ""},
      {"</em>", ""},        {"<u>", ""},      {"</u>", ""},     {"</INVALID>", ""}, {"<br>", " "},
      {"<BR>", " "},        {"<tr>", ""},     {"</tr>", ""},    {"<td>", ""},       {"</td>", ""},
      {"<table>", ""},      {"</table>", ""}, {"</font>", ""},  {"<b>", ""},        {"<i>", ""},
      {"<blockquote>", ""}, {"</p>", ""},     {"<p>", " "},     {"<P>", " "},       {"</P>", ""},
      {"</b>", ""},         {"</i>", ""},     {"</th>", ""},    {"<br />", ""},     {"</FONT>", ""},
      {"</TD>", ""},        {"<TD>", ""},     {"<B>", ""},      {"</B>", ""},       {"<TR>", ""},
      {"<BR>", ""},         {"</TR>", ""},    {"\"", ""},       {"\n", " "},        {"\r", " "},
  };
  static_assert(std::size(kSteps) == 50);

  std::string text(fragment);
  for (const auto& step : kSteps) text = ReplaceAll(std::move(text), step[0], step[1]);

  return std::string(Trim(text, kControlsAndSpace));
}

void SplitString(char separator, std::string_view text, std::vector<std::string>& pieces) {
  pieces.clear();
  std::size_t pos = 0;
  for (std::size_t hit = text.find(separator); hit != std::string_view::npos;
       hit = text.find(separator, pos)) {
    pieces.emplace_back(text.substr(pos, hit - pos));
    pos = hit + 1;
  }
  // A trailing separator leaves an empty last piece, which is not kept.
  if (pos < text.size()) pieces.emplace_back(text.substr(pos));
}

namespace {

inline int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string DecodeHexEscapes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t dollar = text.find('$', pos);
    if (dollar == std::string_view::npos) {
      out.append(text.substr(pos));
      break;
    }
    out.append(text.substr(pos, dollar - pos));
    // Up to two digits; at the very end of the text one is enough.
    const std::size_t digits = std::min<std::size_t>(2, text.size() - dollar - 1);
    if (digits == 0) return {};
    int value = 0;
    for (std::size_t i = 1; i <= digits; ++i) {
      const int digit = HexValue(text[dollar + i]);
      if (digit < 0) return {};
      value = value * 16 + digit;
    }
    out.push_back(static_cast<char>(value));
    pos = dollar + 1 + digits;
  }
  return out;
}

}  // namespace quorvane
