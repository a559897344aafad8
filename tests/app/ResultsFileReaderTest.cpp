// Files read as results: what is in them decides how (text, workbook, or
// refused), the size they may have, and a file that grows while it is read.
#include "app/ResultsFileReader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/FileKind.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace {

using namespace std::string_literals;

const std::string kHeader = "\"No\",\"Keywords\",\"Searches\",\"Google\",\"Yahoo\",\"Msn\"\r\n";

// A file that is no results table nor keyword list, and the clause that
// follows its name in the message.
struct RefusedCase {
  const char* name;
  std::string bytes;
  std::string problem;
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
  *os << c.name;
}

class RefusedFileTest : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedFileTest, IsRefusedWithOneLineWhetherOpenedOrDropped) {
  TempFolder folder;
  folder.Write("file", GetParam().bytes);
  const std::string path = folder.File("file").string();
  for (const bool dropped : {false, true}) {
    ReadOptions options;
    options.linesArePhrases = dropped;
    const ResultsFile file = ReadResultsFile(path, options);
    EXPECT_FALSE(file.readable);
    EXPECT_TRUE(file.text.rows.empty());
    EXPECT_EQ(ResultsFileMessage(path, file),
              "The file \"" + path + "\" " + GetParam().problem + ".");
  }
}

const std::string kNotText = ", not a results table or a list of phrases";

INSTANTIATE_TEST_SUITE_P(
    Kinds, RefusedFileTest,
    ::testing::Values(
        RefusedCase{"Png", "\x89PNG\r\n\x1a\n\0\0\0\rIHDR"s, "is a PNG picture" + kNotText},
        RefusedCase{"Gif", "GIF89a\x01\x00\x01\x00"s, "is a GIF picture" + kNotText},
        RefusedCase{"Jpeg", "\xFF\xD8\xFF\xE0golf"s, "is a JPEG picture" + kNotText},
        RefusedCase{"Pdf", "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n"s, "is a PDF document" + kNotText},
        RefusedCase{"Gzip", "\x1F\x8B\x08\x00"s, "is a gzip archive" + kNotText},
        RefusedCase{"Program",
                    "\x7F"
                    "ELF\x02\x01\x01"s,
                    "is a program" + kNotText},
        RefusedCase{"NulInTheFirstBlock", std::string(4000, 'a') + "\0b"s,
                    "is a binary file (a NUL byte in its first 4,096 bytes)" + kNotText},
        RefusedCase{"Utf16Text", "g\0o\0l\0f\0"s,
                    "is a binary file (a NUL byte in its first 4,096 bytes)" + kNotText},
        // An empty ZIP archive: a zip, but no workbook.
        RefusedCase{"ZipWithoutWorkbook", "PK\x05\x06"s + std::string(18, '\0'),
                    "is a ZIP archive, not a workbook (it holds no xl/workbook.xml)"},
        RefusedCase{"TruncatedZip", "PK\x03\x04\x14\x00\x00\x00"s,
                    "is a damaged ZIP archive: Not a zip archive"}));

TEST(ResultsFileReaderTest, TextThatOnlyLooksLikeASignatureIsText) {
  TempFolder folder;
  folder.Write("list.txt", "GIFs for sale\nBZh golf\nPK tees\n");
  const ResultsFile file = ReadResultsFile(folder.File("list.txt"));
  ASSERT_TRUE(file.readable) << file.problem;
  ASSERT_TRUE(file.text.ok());
  EXPECT_EQ(file.text.rows.size(), 3u);
}

TEST(ResultsFileReaderTest, ANulPastTheFirstBlockEndsADroppedListAndSaysWhereAndBadCsv) {
  TempFolder folder;
  std::string bytes;
  for (int i = 1; i <= 600; ++i) bytes += "phrase " + std::to_string(i) + "\n";
  ASSERT_GT(bytes.size(), kSniffBytes);
  folder.Write("list.txt", bytes + "\0after\n"s);

  ReadOptions dropped;
  dropped.linesArePhrases = true;
  const ResultsFile list = ReadResultsFile(folder.File("list.txt"), dropped);
  ASSERT_TRUE(list.readable && list.text.ok());
  EXPECT_EQ(list.text.rows.size(), 600u);
  EXPECT_EQ(list.text.linesBeforeNul, 600);
  EXPECT_EQ(StopsAtNulNote("The file \"x\"", 600),
            "The file \"x\" stops at a NUL byte after line 600: the lines before it were added, "
            "nothing after it.");

  const ResultsFile opened = ReadResultsFile(folder.File("list.txt"));
  EXPECT_EQ(ResultsFileProblem(opened),
            "is not a results table: line 601 holds a NUL byte: this is no text file");
}

TEST(ResultsFileReaderTest, AFileOverTheLimitIsRefusedUnread) {
  TempFolder folder;
  const std::string path = folder.File("huge.csv").string();
  { std::ofstream create(path); }
  // Sparse: the size without the disk space.
  ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(kMaxResultsBytes + (3 << 19))), 0);
  const ResultsFile file = ReadResultsFile(path);
  EXPECT_FALSE(file.readable);
  EXPECT_EQ(ResultsFileMessage(path, file),
            "The file \"" + path +
                "\" is 257.5 MiB, more than the 256 MiB a results file or keyword list may have.");
}

TEST(ResultsFileReaderTest, AFileThatGrowsWhileItIsReadIsReadToTheSizeItHadWhenOpened) {
  TempFolder folder;
  std::string rows;
  for (int i = 0; i < 400000; ++i) rows += "\"1\",\"golf\",\"\",\"\",\"\",\"\"\r\n";
  folder.Write("growing.csv", kHeader + rows);
  const std::string path = folder.File("growing.csv").string();
  bool grown = false;
  ReadOptions options;
  options.progress = [&](double) {
    if (!grown) {
      // Another program appends while the first chunk is in.
      std::ofstream out(path, std::ios::app | std::ios::binary);
      out << rows << rows;
      grown = true;
    }
    return true;
  };
  const ResultsFile file = ReadResultsFile(path, options);
  ASSERT_TRUE(grown);
  ASSERT_TRUE(file.readable && file.text.ok()) << ResultsFileProblem(file);
  EXPECT_EQ(file.text.rows.size(), 400000u);
}

TEST(ResultsFileReaderTest, ManyFilesGiveOneSummaryThatCountsWhatItDoesNotList) {
  std::vector<std::string> lines;
  for (int i = 1; i <= 1000; ++i) lines.push_back("\"f" + std::to_string(i) + "\" is bad.");
  const std::string summary = ResultsFilesSummary(lines);
  EXPECT_EQ(summary.substr(0, summary.find('\n')), "1,000 files were not added:");
  EXPECT_NE(summary.find("\n\"f10\" is bad.\n... and 990 more."), std::string::npos) << summary;
  EXPECT_EQ(summary.find("f11\""), std::string::npos);
  EXPECT_EQ(ResultsFilesSummary({"\"a\" is bad."}), "1 file was not added:\n\"a\" is bad.");
}

TEST(ResultsFileReaderTest, SniffingLooksAtTheFirstBlockOnly) {
  EXPECT_EQ(SniffFile(std::string(kSniffBytes, 'a') + "\0"s).kind, FileKind::kText);
  EXPECT_EQ(SniffFile("PK\x03\x04"s).kind, FileKind::kZip);
  EXPECT_EQ(SniffFile("RIFF\x10\0\0\0WEBPVP8 "s).what, "a WebP picture");
  EXPECT_EQ(SniffFile("BZh91AY&SY"s).what, "a bzip2 archive");
  EXPECT_EQ(SniffFile("").kind, FileKind::kText);
}

}  // namespace
