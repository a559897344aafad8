#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/TextRoutines.h"

using namespace quorvane;

using namespace std::string_literals;

namespace {

// Shows bytes readably in failure messages (NUL and high bytes included).
std::string Visible(std::string_view text) {
  std::string out;
  for (unsigned char c : text) {
    if (c >= 32 && c < 127 && c != '\\') {
      out.push_back(static_cast<char>(c));
    } else {
      static const char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    }
  }
  return out;
}

// ---------------------------------------------------------------- CutBetween

struct CutCase {
  const char* name;
  std::string work;
  std::string start;
  std::string end;
  std::string field;
  std::string rest;
};

const std::vector<CutCase>& CutCases() {
  static const std::vector<CutCase> cases = {
      {"both markers found", "x<tr><td>12</td>y<tr><td>7</td>z", "<tr><td>", "</td>", "12",
       "</td>y<tr><td>7</td>z"},
      {"markers fold case both ways", "x<TD>5</td>y", "<td>", "</TD>", "5", "</td>y"},
      {"mixed-case marker", "xAbC1Y", "aBc", "y", "1", "Y"},
      {"no start leaves the text", "abc</td>", "<td>", "</td>", "", "abc</td>"},
      {"start without end stops after start", "a<td>5</tr>", "<td>", "</td>", "", "5</tr>"},
      {"empty start never occurs", "a<td>5</td>", "", "</td>", "", "a<td>5</td>"},
      {"empty end never occurs", "a<td>5</td>", "<td>", "", "", "5</td>"},
      {"both markers empty", "abc", "", "", "", "abc"},
      {"empty working text", "", "<td>", "</td>", "", ""},
      {"start longer than text", "<t", "<td>", ">", "", "<t"},
      {"empty field keeps the end", "<a></a>rest", "<a>", "</a>", "", "</a>rest"},
      {"first occurrence of each", "aXbXcXd", "x", "x", "b",
       "Xc"
       "Xd"},
      {"end searched only after start", "<td>", "<td", "td>", "", ">"},
      {"partial start before the real one", "<t<td>1</td>", "<td>", "</td>", "1", "</td>"},
      {"end may equal start", "|a|b|", "|", "|", "a", "|b|"},
      // Only a-z fold: these pairs differ by the same bit but are not letters.
      {"@ is not `", "x`1]", "@", "]", "", "x`1]"},
      {"[ is not {", "x{1}", "[", "}", "", "x{1}"},
      {"~ is not ^", "a^b~c^", "~", "^", "c", "^"},
      // Bytes above 0x7F match only themselves.
      {"accented letters do not fold", "x\xE9y\xC9z", "\xC9", "z", "", "z"},
      {"high byte matches itself",
       "a\xAF"
       "b\xAF",
       "\xAF", "\xAF", "b", "\xAF"},
      {"high byte vs its low twin",
       "a/b\xAF"
       "c/",
       "\xAF", "/", "c", "/"},
      // NUL is an ordinary byte in text and markers.
      {"NUL inside the field", "a\0b<x>\0c</x>"s, "<X>", "</X>", "\0c"s, "</x>"},
      {"NUL as a marker", "a\0b\0c"s, "\0"s, "\0"s, "b", "\0c"s},
      {"NUL is not a wildcard", "ab"s, "\0"s, "b", "", "ab"},
  };
  return cases;
}

TEST(CutBetween, TableOnBothWorkingTexts) {
  for (const auto& c : CutCases()) {
    SCOPED_TRACE(c.name);
    std::string work = c.work;
    EXPECT_EQ(Visible(CutBetween(work, c.start, c.end)), Visible(c.field));
    EXPECT_EQ(Visible(work), Visible(c.rest));

    TextWalker walker(c.work);
    EXPECT_EQ(Visible(CutBetween(walker, c.start, c.end)), Visible(c.field));
    EXPECT_EQ(Visible(walker.Rest()), Visible(c.rest));
    EXPECT_EQ(walker.Offset(), c.work.size() - c.rest.size());
  }
}

TEST(CutBetween, ConsecutiveCallsWalkForward) {
  const std::string page = "x<tr><td>12</td>y<tr><td>7</td>z";
  std::string work = page;
  TextWalker walker(page);
  const std::pair<const char*, const char*> steps[] = {
      {"12", "</td>y<tr><td>7</td>z"}, {"7", "</td>z"}, {"", "</td>z"}};
  for (const auto& [field, rest] : steps) {
    EXPECT_EQ(CutBetween(work, "<tr><td>", "</td>"), field);
    EXPECT_EQ(work, rest);
    EXPECT_EQ(CutBetween(walker, "<tr><td>", "</td>"), field);
    EXPECT_EQ(walker.Rest(), rest);
  }
}

TEST(CutBetween, MissingEndStillLetsLaterCallsFindFields) {
  std::string work = "<a>no end here<td>9</td>";
  EXPECT_EQ(CutBetween(work, "<a>", "</a>"), "");
  EXPECT_EQ(work, "no end here<td>9</td>");
  EXPECT_EQ(CutBetween(work, "<td>", "</td>"), "9");
  EXPECT_EQ(work, "</td>");
}

// The working-text steps written out directly on folded copies: the oracle
// for the random comparison below.
std::string FoldCopy(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string ReferenceCut(std::string& work, const std::string& start, const std::string& end) {
  if (start.empty()) return "";
  const std::size_t s = FoldCopy(work).find(FoldCopy(start));
  if (s == std::string::npos) return "";
  work.erase(0, s + start.size());
  if (end.empty()) return "";
  const std::size_t e = FoldCopy(work).find(FoldCopy(end));
  if (e == std::string::npos) return "";
  std::string field = work.substr(0, e);
  work.erase(0, e);
  return field;
}

std::string RandomText(std::mt19937& rng, std::string_view alphabet, std::size_t maxLength) {
  std::uniform_int_distribution<std::size_t> length(0, maxLength);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::string out(length(rng), ' ');
  for (char& c : out) c = alphabet[pick(rng)];
  return out;
}

TEST(CutBetween, WalkerAndStringAgreeOnRandomInputs) {
  // Marker bytes in both cases, their non-letter twins, NUL and a high byte.
  const std::string alphabet = "<>/tTdD@`\0\xAF"s;
  std::mt19937 rng(20240611);
  for (int round = 0; round < 20000; ++round) {
    const std::string page = RandomText(rng, alphabet, 40);
    std::string work = page;
    std::string expected = page;
    TextWalker walker(page);
    for (int call = 0; call < 4; ++call) {
      const std::string start = RandomText(rng, alphabet, 3);
      const std::string end = RandomText(rng, alphabet, 3);
      SCOPED_TRACE("page " + Visible(page) + " call " + std::to_string(call) + " start " +
                   Visible(start) + " end " + Visible(end));
      const std::string want = ReferenceCut(expected, start, end);
      ASSERT_EQ(Visible(CutBetween(work, start, end)), Visible(want));
      ASSERT_EQ(Visible(work), Visible(expected));
      ASSERT_EQ(Visible(CutBetween(walker, start, end)), Visible(want));
      ASSERT_EQ(Visible(walker.Rest()), Visible(expected));
    }
  }
}

// ---------------------------------------------------------------- ReplaceAll

struct ReplaceCase {
  const char* name;
  std::string text;
  std::string searched;
  std::string replacement;
  std::string result;
};

TEST(ReplaceAll, Table) {
  const ReplaceCase cases[] = {
      {"repeats until none is left", "aaaa", "aa", "a", "a"},
      {"replacement forms a new match", "&amp;amp;", "&amp;", "&", "&"},
      {"deeply formed matches", "&amp;amp;amp;amp;x&amp;", "&amp;", "&", "&x&"},
      {"match formed to the left", "abbb", "ab", "a", "a"},
      {"nested pairs collapse", "x((()))y(()", "()", "", "xy("},
      {"not found", "golf clubs", "xyz", "", "golf clubs"},
      {"empty searched occurs nowhere", "abc", "", "x", "abc"},
      {"empty text", "", "a", "", ""},
      {"case-sensitive", "<BR><br>", "<br>", " ", "<BR> "},
      {"swap one byte for another", "a\tb\t\tc", "\t", " ", "a b  c"},
      {"deletion", "<b>1</b>,<b>2</b>", "<b>", "", "1</b>,2</b>"},
      {"match at both ends", "ab--ab", "ab", "", "--"},
      {"NUL bytes", "a\0\0\0b"s, "\0\0"s, "\0"s, "a\0b"s},
      {"NUL does not end the text", "x\0<b>y"s, "<b>", "", "x\0y"s},
      {"high bytes exactly", "\xAF\xAF\x8F", "\xAF\xAF", "\xAF", "\xAF\x8F"},
      // A replacement holding the searched text could only loop forever;
      // each occurrence present is replaced once instead.
      {"replacement holding the searched text", "a-a", "a", "aa", "aa-aa"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Visible(ReplaceAll(c.text, c.searched, c.replacement)), Visible(c.result));
  }
}

std::string ReferenceReplaceAll(std::string text, const std::string& searched,
                                const std::string& replacement) {
  for (std::size_t hit; (hit = text.find(searched)) != std::string::npos;)
    text.replace(hit, searched.size(), replacement);
  return text;
}

TEST(ReplaceAll, MatchesRestartingFromTheBeginningOnRandomInputs) {
  const std::string alphabet = "ab&;\0\xAF"s;
  std::mt19937 rng(77);
  for (int round = 0; round < 20000; ++round) {
    const std::string text = RandomText(rng, alphabet, round % 4 == 0 ? 300 : 30);
    std::string searched = RandomText(rng, alphabet, 4);
    if (searched.empty()) searched = "a";
    // Pairs that shorten the text or swap one byte for another always end.
    std::string replacement = RandomText(rng, alphabet, searched.size() - 1);
    if (searched.size() == 1 && round % 3 == 0) replacement = searched == "b" ? "a" : "b";
    if (replacement.find(searched) != std::string::npos) continue;
    SCOPED_TRACE("text " + Visible(text) + " searched " + Visible(searched) + " replacement " +
                 Visible(replacement));
    ASSERT_EQ(Visible(ReplaceAll(text, searched, replacement)),
              Visible(ReferenceReplaceAll(text, searched, replacement)));
  }
}

// ----------------------------------------------------------------- StripHtml

TEST(StripHtml, Table) {
  const std::pair<std::string, std::string> cases[] = {
      {"&amp;nbsp;12", "12"},
      {"a<br />b", "ab"},
      {"a<br>b", "a b"},
      {"a<BR>b", "a b"},
      {" \t\r\n \n\t", ""},
      {"", ""},
      {"1,234", "1,234"},
      {"<td><b>1,234</b></td>", "1,234"},
      {"<strong>golf</strong>&nbsp;clubs", "golf clubs"},
      {"<TR><TD><B>9</B></TD></TR>", "9"},
      {"<P>a</P><p>b</p>", "a b"},
      {"<h3>t</h3><H3>u</H3>", "tu"},
      {"<em>x</em><u>y</u><i>z</i><hr>", "xyz"},
      // Only the closing header cell is in the list.
      {"<table><tr><th>h</th></tr></table>", "<th>h"},
      {"<blockquote>q</INVALID>", "q"},
      {"w<wbr>ord", "word"},
      {"Tel : 555 Fax : 556", "555 556"},
      {"it&#039;s", "it's"},
      {"&amp;amp;lt;", "&lt;"},
      {"say \"hi\"", "say hi"},
      {"a\r\nb", "a  b"},
      {"a\tb", "a b"},
      {"<font color=red>x</font></FONT>", "<font color=red>x"},
      {"<a href=\"/s?q=golf\">golf clubs</a>", "<a href=/s?q=golf>golf clubs</a>"},
      {"<Br>", "<Br>"},
      // Deleting "<b>" forms a "<BR>" after its own step has run: only the
      // late step catches it, and it deletes instead of inserting a blank.
      {"x<B<b>R>y", "xy"},
      // "<b<b>>" becomes "<b>" inside step 29 itself and is deleted too.
      {"x<b<b>>y", "xy"},
      // Only bytes 0..32 are trimmed; DEL and high bytes stay.
      {"\x01\x1F word \x7F", "word \x7F"},
      {"\xA0word\xA0", "\xA0word\xA0"},
      {" \xAF ", "\xAF"},
      {"\0\0x\0y\0"s, "x\0y"s},
  };
  for (const auto& [fragment, plain] : cases) {
    SCOPED_TRACE(Visible(fragment));
    EXPECT_EQ(Visible(StripHtml(fragment)), Visible(plain));
  }
}

// --------------------------------------------------------------- SplitString

TEST(SplitString, Table) {
  using Pieces = std::vector<std::string>;
  const struct {
    char separator;
    std::string text;
    Pieces pieces;
  } cases[] = {
      {'^', "a^^b", {"a", "", "b"}},
      {'^', "^a", {"", "a"}},
      {'^', "a^", {"a"}},
      {'^', "a^b^", {"a", "b"}},
      {'^', "", {}},
      {'^', "^", {""}},
      {'^', "^^", {"", ""}},
      {'^', "abc", {"abc"}},
      {'^', "12^Title^2008-01-02", {"12", "Title", "2008-01-02"}},
      {'\n', "line1\nline2\n\n", {"line1", "line2", ""}},
      {'\0', "a\0b\0"s, {"a", "b"}},
      {'^', "a\0^\0b"s, {"a\0"s, "\0b"s}},
      {'\xAF', "x\xAFy\x2F", {"x", "y\x2F"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Visible(c.text));
    Pieces pieces = {"left", "over"};  // the list is emptied first
    SplitString(c.separator, c.text, pieces);
    EXPECT_EQ(pieces, c.pieces);
  }
}

// ---------------------------------------------------------- DecodeHexEscapes

TEST(DecodeHexEscapes, Table) {
  const std::pair<std::string, std::string> cases[] = {
      {"A$42C", "ABC"},
      {"100$25 sure", "100% sure"},
      {"$ff$FF$aB", "\xFF\xFF\xAB"},
      {"$414", "A4"},
      {"$00", "\0"s},
      {"$4", "\x04"},  // one digit at the very end is enough
      {"x$a", "x\n"},
      {"", ""},
      {"plain", "plain"},
      {"\0\xAF"s, "\0\xAF"s},
      // A bad escape empties everything, also what came before it.
      {"A$4G", ""},
      {"abc$", ""},
      {"$", ""},
      {"$4$", ""},
      {"$$41", ""},
      {"ok$+1", ""},
      {"ok$ 1", ""},
      {"ok$1 ", ""},
      {"$g0", ""},
      {"$41$zz$42", ""},
  };
  for (const auto& [text, decoded] : cases) {
    SCOPED_TRACE(Visible(text));
    EXPECT_EQ(Visible(DecodeHexEscapes(text)), Visible(decoded));
  }
}

}  // namespace
