#include "base/AsciiText.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

using namespace quorvane;

namespace {

using namespace std::string_view_literals;

struct TrimCase {
  std::string_view text;
  std::string_view blanks;
  std::string_view start;  // TrimStart
  std::string_view end;    // TrimEnd
  std::string_view both;   // Trim
};

TEST(AsciiTextTest, TrimDropsOnlyTheNamedBlanksAtTheEnds) {
  const TrimCase cases[] = {
      {"", kSpaceTab, "", "", ""},
      {" \t ", kSpaceTab, "", "", ""},
      {" a b\t", kSpaceTab, "a b\t", " a b", "a b"},
      {"\r\n a \r\n", kSpaceTab, "\r\n a \r\n", "\r\n a \r\n", "\r\n a \r\n"},
      {" a \r\n", kSpaceTabLineEnd, "a \r\n", " a", "a"},
      {"\v\f a\t\r", kWhiteSpace, "a\t\r", "\v\f a", "a"},
      // The NUL byte and every control byte are blanks of that set, 0x7F and
      // code-page bytes are not.
      {"\0\x01\x1f a\x7f \x20"sv, kControlsAndSpace, "a\x7f \x20", "\0\x01\x1f a\x7f"sv, "a\x7f"},
      {"\xa0x\xa0", kControlsAndSpace, "\xa0x\xa0", "\xa0x\xa0", "\xa0x\xa0"},
      {"xx", "x", "", "", ""},
  };
  for (const TrimCase& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.text)));
    EXPECT_EQ(TrimStart(c.text, c.blanks), c.start);
    EXPECT_EQ(TrimEnd(c.text, c.blanks), c.end);
    EXPECT_EQ(Trim(c.text, c.blanks), c.both);
  }
}

TEST(AsciiTextTest, OnlyAsciiLettersFold) {
  const struct {
    std::string_view a;
    std::string_view b;
    bool equal;
  } cases[] = {
      {"", "", true},     {"Content-Length", "content-LENGTH", true},
      {"az", "AZ", true}, {"@[`{", "@[`{", true},
      {"@", "`", false},                            // one apart from A and a, but no letters
      {"[", "{", false},  {"\xc9", "\xe9", false},  // É and é of the code page stay apart
      {"a", "ab", false}, {"a\0b"sv, "A\0B"sv, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " / " + std::string(c.b));
    EXPECT_EQ(EqualsNoCase(c.a, c.b), c.equal);
    EXPECT_EQ(EqualsNoCase(c.b, c.a), c.equal);
  }
  EXPECT_EQ(LowerAscii("MiXed \xc9\xe9 1-Z"), "mixed \xc9\xe9 1-z");
  EXPECT_EQ(UpperAscii('q'), 'Q');
  EXPECT_EQ(UpperAscii('\xe9'), '\xe9');
  EXPECT_EQ(LowerAscii('\xc9'), '\xc9');
}

TEST(AsciiTextTest, FindNoCaseFindsTheFirstPlaceFromTheStart) {
  const auto npos = std::string_view::npos;
  const struct {
    std::string_view text;
    std::string_view needle;
    std::size_t from;
    std::size_t at;
  } cases[] = {
      {"Transfer: CHUNKED", "chunked", 0, 10},
      {"aXbxcx", "X", 0, 1},
      {"aXbxcx", "x", 2, 3},
      {"aXbxcx", "x", 6, npos},
      {"aXbxcx", "x", 99, npos},
      {"end</TD>", "</td>", 0, 3},
      {"end</TD>", "</td>", 3, 3},
      {"end</TD>", "</td>", 4, npos},
      {"short", "longer than it", 0, npos},
      {"anything", "", 0, npos},  // an empty needle stands nowhere
      {"1.1.", "1.", 1, 2},       // no letter to fold
      {"\xc9t\xe9t", "\xe9T", 0, 2},
      {"a\0B"sv, "\0b"sv, 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " / " + std::string(c.needle));
    EXPECT_EQ(FindNoCase(c.text, c.needle, c.from), c.at);
  }
}

// The set of controls is spelled out byte by byte; and no byte of the code
// page is a letter, a digit or a blank.
TEST(AsciiTextTest, TheByteClassesAreAsciiOnly) {
  for (int i = 0; i < 256; ++i) {
    const char c = static_cast<char>(i);
    EXPECT_EQ(IsBlank(c, kControlsAndSpace), i <= 32) << i;
    if (i >= 0x80) {
      EXPECT_FALSE(IsAsciiAlnum(c) || IsBlank(c, kWhiteSpace)) << i;
      EXPECT_EQ(LowerAscii(c), c) << i;
      EXPECT_EQ(UpperAscii(c), c) << i;
    }
  }
  EXPECT_TRUE(IsAsciiAlnum('z') && IsAsciiAlnum('A') && IsAsciiAlnum('0') && IsAsciiAlnum('9'));
  EXPECT_FALSE(IsAsciiAlnum('/') || IsAsciiAlnum(':') || IsAsciiAlnum('@') || IsAsciiAlnum('['));
  EXPECT_TRUE(IsAsciiLetter('a') && !IsAsciiLetter('1') && IsAsciiDigit('1') && !IsAsciiDigit('a'));
}

}  // namespace
