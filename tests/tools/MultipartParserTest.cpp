#include "sim/MultipartParser.h"

#include <gtest/gtest.h>

using namespace quorvane;
using namespace quorvane::sim;

namespace {

using Parts = std::vector<std::pair<std::string, std::string>>;

Parts NamesAndValues(const MultipartResult& result) {
  Parts parts;
  for (const SimFormField& f : result.fields) parts.emplace_back(f.name, f.value);
  return parts;
}

TEST(MultipartBoundaryTest, ReadsTheBoundaryParameter) {
  EXPECT_EQ(MultipartBoundary("multipart/form-data; boundary=--------061524134501123"),
            "--------061524134501123");
  EXPECT_EQ(MultipartBoundary("Multipart/Form-Data;charset=x; BOUNDARY=\"a b;c\""), "a b;c");
  EXPECT_EQ(MultipartBoundary("multipart/form-data"), std::nullopt);
  EXPECT_EQ(MultipartBoundary("multipart/form-data; boundary="), std::nullopt);
  EXPECT_EQ(MultipartBoundary("multipart/mixed; boundary=x"), std::nullopt);
  EXPECT_EQ(MultipartBoundary("text/html"), std::nullopt);
}

TEST(MultipartParseTest, ValuesAreTheExactBytesBetweenDelimiters) {
  struct Case {
    const char* name;
    std::string body;
    Parts expected;
  };
  const Case cases[] = {
      {"plain fields",
       "--B\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\none\r\n"
       "--B\r\nContent-Disposition: form-data; name=\"b\"\r\n\r\ntwo\r\n--B--\r\n",
       {{"a", "one"}, {"b", "two"}}},
      {"empty value",
       "--B\r\nContent-Disposition: form-data; name=\"e\"\r\n\r\n\r\n--B--\r\n",
       {{"e", ""}}},
      {"CR LF inside a value",
       "--B\r\nContent-Disposition: form-data; name=\"m\"\r\n\r\nline 1\r\nline 2\r\n\r\n--B--",
       {{"m", "line 1\r\nline 2\r\n"}}},
      {"boundary-like text inside a value",
       "--B\r\nContent-Disposition: form-data; name=\"v\"\r\n\r\nx--B y\r\n-B\r\n--B--\r\n",
       {{"v", "x--B y\r\n-B"}}},
      {"an extra CR LF before the closing delimiter stays with the last value",
       "--B\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n1\r\n"
       "--B\r\nContent-Disposition: form-data; name=\"something\"\r\n\r\n\r\n\r\n--B--\r\n",
       {{"a", "1"}, {"something", "\r\n"}}},
      {"preamble, epilogue, padding after the delimiter, other part headers",
       "ignored\r\n--B  \r\ncontent-disposition: form-data; name=f; filename=\"x.txt\"\r\n"
       "Content-Type: text/plain\r\n\r\nfile\r\n--B--\r\nepilogue",
       {{"f", "file"}}},
      {"binary bytes",
       std::string("--B\r\nContent-Disposition: form-data; name=\"z\"\r\n\r\n") +
           std::string("\0\xAF^", 3) + "\r\n--B--",
       {{"z", std::string("\0\xAF^", 3)}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const MultipartResult result = ParseMultipart(c.body, "B");
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(NamesAndValues(result), c.expected);
  }
  const MultipartResult withFile = ParseMultipart(cases[5].body, "B");
  EXPECT_EQ(withFile.fields[0].filename, "x.txt");
  EXPECT_EQ(withFile.fields[0].contentType, "text/plain");
}

TEST(MultipartParseTest, RejectsBrokenBodies) {
  const std::pair<const char*, std::string> cases[] = {
      {"no delimiter", "just text"},
      {"other boundary", "--C\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n1\r\n--C--"},
      {"no closing delimiter", "--B\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n1"},
      {"headers never end", "--B\r\nContent-Disposition: form-data; name=\"a\"\r\n"},
      {"part without a name", "--B\r\nContent-Disposition: form-data\r\n\r\n1\r\n--B--"},
      {"part without disposition", "--B\r\nContent-Type: text/plain\r\n\r\n1\r\n--B--"},
      {"delimiter line not ended",
       "--Bx\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n1\r\n--B--"},
  };
  for (const auto& [name, body] : cases) {
    SCOPED_TRACE(name);
    const MultipartResult result = ParseMultipart(body, "B");
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.empty());
  }
}

}  // namespace
