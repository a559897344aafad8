#include "keywords/KeywordFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "support/TempFolder.h"

namespace {

using Lines = std::vector<std::string>;
using namespace std::string_literals;

struct SplitCase {
  const char* name;
  std::string bytes;
  Lines lines;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
  *os << c.name;
}

class SplitKeywordLinesTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitKeywordLinesTest, Splits) {
  EXPECT_EQ(SplitKeywordLines(GetParam().bytes), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SplitKeywordLinesTest,
    ::testing::Values(
        SplitCase{"CrLf", "golf\r\nsoccer\r\n", {"golf", "soccer"}},
        SplitCase{"Lf", "golf\nsoccer\n", {"golf", "soccer"}},
        SplitCase{"Cr", "golf\rsoccer\r", {"golf", "soccer"}},
        SplitCase{"Mixed", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        SplitCase{"BlankLineInTheMiddle", "golf\r\n\r\nsoccer\r\n", {"golf", "", "soccer"}},
        SplitCase{"CrThenCrLf", "a\r\r\nb", {"a", "", "b"}},
        SplitCase{"LfThenCr", "a\n\rb", {"a", "", "b"}},
        SplitCase{"NoFinalBreak", "golf\r\nsoccer", {"golf", "soccer"}},
        SplitCase{"OnlyABreak", "\r\n", {""}}, SplitCase{"Empty", "", {}},
        SplitCase{"NulEndsTheFile", "golf\r\nsoc\0cer\r\ntennis\r\n"s, {"golf", "soc"}},
        SplitCase{"NulAtTheStart", "\0golf\r\n"s, {}},
        SplitCase{"NothingTrimmed", "  golf clubs \t\r\n", {"  golf clubs \t"}},
        SplitCase{"ByteOrderMarkKept", "\xef\xbb\xbfgolf\n", {"\xef\xbb\xbfgolf"}},
        SplitCase{"EightBitBytes", "caf\xe9\n\xff\n", {"caf\xe9", "\xff"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadKeywordFileTest, ReadsARealFile) {
  TempFolder folder;
  folder.Write("list.txt", "golf\r\n\r\nsoccer");
  EXPECT_TRUE(KeywordFileExists(folder.File("list.txt")));
  EXPECT_EQ(ReadKeywordFile(folder.File("list.txt")), (Lines{"golf", "", "soccer"}));
}

TEST(ReadKeywordFileTest, FoldersAndMissingFilesDoNotExist) {
  TempFolder folder;
  EXPECT_FALSE(KeywordFileExists(folder.Path()));
  EXPECT_FALSE(KeywordFileExists(folder.File("missing.txt")));
  EXPECT_FALSE(KeywordFileExists(""));
}

TEST(ReadKeywordFileTest, AFileThatCannotBeReadThrows) {
  // Exists as a file, but reading it fails (nothing is mapped at address 0).
  ASSERT_TRUE(KeywordFileExists("/proc/self/mem"));
  EXPECT_THROW(ReadKeywordFile("/proc/self/mem"), std::system_error);
}

TEST(ReadKeywordFileTest, AFileWithoutReadPermissionThrows) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads files whatever their permissions";
  TempFolder folder;
  folder.Write("locked.txt", "golf\n");
  std::filesystem::permissions(folder.File("locked.txt"), std::filesystem::perms::none);
  EXPECT_THROW(ReadKeywordFile(folder.File("locked.txt")), std::system_error);
}

}  // namespace
