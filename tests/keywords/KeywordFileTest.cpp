#include "keywords/KeywordFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "support/TempFolder.h"

using namespace quorvane;

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
  // Through a link, too.
  std::filesystem::create_symlink(folder.File("list.txt"), folder.File("link.txt"));
  EXPECT_TRUE(KeywordFileExists(folder.File("link.txt")));
  EXPECT_EQ(ReadKeywordFile(folder.File("link.txt")), (Lines{"golf", "", "soccer"}));
}

// Bytes this process has read through system calls so far.
std::uint64_t BytesRead() {
  std::ifstream io("/proc/self/io");
  std::string key;
  std::uint64_t value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") return value;
  }
  ADD_FAILURE() << "no read accounting in /proc/self/io";
  return 0;
}

TEST(ReadKeywordFileTest, ReadingStopsAtTheFirstNulByte) {
  TempFolder folder;
  // 256 MiB after the NUL, a hole that costs no disk: a reader that went on
  // would read all of it.
  const std::string head = "golf\r\nsoc\0cer\r\ntennis\r\n"s;
  folder.Write("list.txt", head);
  ASSERT_EQ(truncate(folder.File("list.txt").c_str(), 256 << 20), 0);
  const std::uint64_t before = BytesRead();
  EXPECT_EQ(ReadKeywordFile(folder.File("list.txt")), (Lines{"golf", "soc"}));
  EXPECT_LT(BytesRead() - before, 1u << 20) << "read on past the NUL byte";
}

TEST(ReadKeywordFileTest, OnlyRegularFilesAreRead) {
  TempFolder folder;
  ASSERT_EQ(mkfifo(folder.File("pipe.txt").c_str(), 0600), 0);
  std::filesystem::create_symlink(folder.File("pipe.txt"), folder.File("pipe-link.txt"));
  std::filesystem::create_directory(folder.File("folder.txt"));
  // Whatever is not a regular file is no keyword list. Each is checked
  // before it is read: read, the pipe would wait for ever for a writer and
  // /dev/zero would fill the memory.
  for (const std::filesystem::path& path :
       {folder.File("pipe.txt"), folder.File("pipe-link.txt"), folder.File("folder.txt"),
        folder.Path(), std::filesystem::path("/dev/zero"), std::filesystem::path("/dev/null")}) {
    SCOPED_TRACE(path.string());
    ASSERT_FALSE(KeywordFileExists(path));
    EXPECT_EQ(ReadKeywordFile(path), std::nullopt);
  }

  // A pipe that a writer holds open is not read either.
  const int writer = open(folder.File("pipe.txt").c_str(), O_RDWR);
  ASSERT_GE(writer, 0);
  ASSERT_EQ(write(writer, "golf\n", 5), 5);
  EXPECT_EQ(ReadKeywordFile(folder.File("pipe.txt")), std::nullopt);
  close(writer);
}

TEST(ReadKeywordFileTest, FoldersAndMissingFilesDoNotExist) {
  TempFolder folder;
  EXPECT_FALSE(KeywordFileExists(folder.Path()));
  EXPECT_FALSE(KeywordFileExists(folder.File("missing.txt")));
  EXPECT_FALSE(KeywordFileExists(""));
  EXPECT_EQ(ReadKeywordFile(folder.File("missing.txt")), std::nullopt);
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
