// The crash-recovery journal without a window: its text read back row for
// row with numbers and ticks, damaged journals told apart from whole ones,
// the slots' locks between copies of the program, and the writer thread.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/BackgroundFileWriter.h"
#include "app/JournalSlot.h"
#include "app/SessionJournal.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace {

namespace fs = std::filesystem;

std::vector<ResultRow> Rows() {
  // Cells a CSV must carry with care, numbers out of order after deletes
  // and sorts, a row of empty cells, ticked runs and single ticks.
  std::vector<ResultRow> rows = {
      {{"12", "golf clubs", "1,200", "1,230,000", "", "7"}, true},
      {{"3", "say \"hi\", twice", "", "", "", ""}, true},
      {{"3", "two\r\nlines", "", "", "", ""}, false},
      {{"", "", "", "", "", ""}, true},
      {{"40", "caf\xe9\t", "5", "6", "7", "8"}, false},
      {{"41", " lead", "", "", "", ""}, true},
  };
  return rows;
}

std::string Journal(const std::vector<ResultRow>& rows) {
  JournalBuilder builder;
  for (const ResultRow& row : rows) builder.Add(row);
  return builder.Finish();
}

void ExpectSame(const std::vector<ResultRow>& got, const std::vector<ResultRow>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(got[i].cells, want[i].cells) << "row " << i;
    EXPECT_EQ(got[i].checked, want[i].checked) << "row " << i;
  }
}

TEST(SessionJournalTest, ReadsBackEveryRowWithItsNumberAndTick) {
  const std::string journal = Journal(Rows());
  EXPECT_EQ(journal.substr(0, journal.find("\"No\"")),
            "Quorvane results journal 1\r\nrows: 6\r\nticked: 0-1,3,5\r\nbytes: " +
                std::to_string(journal.size() - journal.find("\"No\"")) + "\r\n\r\n");
  const JournalContents back = ParseJournal(journal);
  ASSERT_TRUE(back.ok) << back.problem;
  ExpectSame(back.rows, Rows());

  const JournalContents empty = ParseJournal(Journal({}));
  EXPECT_TRUE(empty.ok);
  EXPECT_TRUE(empty.rows.empty());
}

TEST(SessionJournalTest, ADamagedJournalIsToldFromAWholeOne) {
  const std::string whole = Journal(Rows());
  const auto replaced = [&](const std::string& from, const std::string& to) {
    std::string text = whole;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  struct Case {
    const char* name;
    std::string bytes;
    std::string problem;
  };
  const std::vector<Case> cases = {
      {"empty file", "", "is not a results journal"},
      {"another file", "\"No\",\"Keywords\"\r\n", "is not a results journal"},
      {"cut in the header", whole.substr(0, 40), "has a damaged header"},
      {"cut in a row", whole.substr(0, whole.size() - 7), "ends before its last row"},
      {"cut after a row", whole.substr(0, whole.rfind("\"41\"")), "ends before its last row"},
      {"run on", whole + "\"99\",\"x\",\"\",\"\",\"\",\"\"\r\n", "goes on after its last row"},
      {"row count", replaced("rows: 6", "rows: 7"), "holds 6 rows instead of 7"},
      {"tick beyond the rows", replaced("0-1,3,5", "0-1,3,6"), "has a damaged list of ticked rows"},
      {"tick list", replaced("0-1,3,5", "0-x"), "has a damaged list of ticked rows"},
      {"byte count", replaced("bytes: ", "bytes: -"), "has a damaged header"},
      {"a row's fields", replaced("\"5\",\"6\",\"7\",\"8\"", "\"5\",\"6\",\"7,x,8\""),
       "has a damaged row (line 7 has 5 fields, the header has 6)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const JournalContents read = ParseJournal(c.bytes);
    EXPECT_FALSE(read.ok);
    EXPECT_TRUE(read.rows.empty());
    EXPECT_EQ(read.problem, c.problem);
  }
  TempFolder folder;
  const JournalContents missing = ReadJournalFile(folder.File("none.journal"));
  EXPECT_FALSE(missing.ok);
  EXPECT_EQ(missing.problem.substr(0, 17), "cannot be opened ");
}

TEST(SessionJournalTest, ASlotIsTheProgramsOwnUntilItsLockIsFree) {
  TempFolder state;
  const fs::path folder = state.File("journals");
  std::optional<JournalSlot> mine = JournalSlot::Open(folder);
  ASSERT_TRUE(mine);
  WriteFileBytes(mine->JournalPath(), Journal(Rows()));
  std::optional<JournalSlot> other = JournalSlot::Open(folder);
  ASSERT_TRUE(other);
  EXPECT_NE(other->JournalPath(), mine->JournalPath());
  WriteFileBytes(other->JournalPath(), Journal({}));

  // Both held (locks of one process conflict like two processes' do).
  EXPECT_TRUE(JournalSlot::Orphans(folder).empty());

  // The holder ends without removing its files: its journal is an orphan,
  // and taking it locks it for the taker alone.
  const fs::path otherPath = other->JournalPath();
  other.reset();
  std::vector<JournalSlot> orphans = JournalSlot::Orphans(folder);
  ASSERT_EQ(orphans.size(), 1u);
  EXPECT_EQ(orphans[0].JournalPath(), otherPath);
  EXPECT_TRUE(JournalSlot::Orphans(folder).empty()) << "taken by the first look";

  orphans[0].Remove();
  EXPECT_EQ(FolderEntries(folder).size(), 2u) << "only my journal and lock are left";
  mine->Remove();
  EXPECT_TRUE(FolderEntries(folder).empty());
}

TEST(SessionJournalTest, OrphansComeNewestFirstAndLoneLocksGo) {
  TempFolder state;
  const fs::path folder = state.File("journals");
  std::vector<fs::path> paths;
  for (int i = 0; i < 3; ++i) {
    auto slot = JournalSlot::Open(folder);
    ASSERT_TRUE(slot);
    WriteFileBytes(slot->JournalPath(), Journal({}));
    fs::last_write_time(slot->JournalPath(),
                        fs::file_time_type::clock::now() - std::chrono::hours(3 - i));
    paths.push_back(slot->JournalPath());
  }
  { auto lone = JournalSlot::Open(folder); }  // a program killed before its first journal
  EXPECT_EQ(FolderEntries(folder).size(), 7u);
  const std::vector<JournalSlot> orphans = JournalSlot::Orphans(folder);
  ASSERT_EQ(orphans.size(), 3u);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(orphans[static_cast<std::size_t>(i)].JournalPath(), paths[2 - i]);
  EXPECT_EQ(FolderEntries(folder).size(), 6u);
}

TEST(SessionJournalTest, ASetAsideJournalKeepsItsBytesUnderANameNoStartReads) {
  TempFolder state;
  const fs::path folder = state.File("journals");
  std::set<std::string> names;
  for (int i = 0; i < 2; ++i) {
    auto slot = JournalSlot::Open(folder);
    ASSERT_TRUE(slot);
    WriteFileBytes(slot->JournalPath(), "damaged " + std::to_string(i));
  }
  std::vector<JournalSlot> orphans = JournalSlot::Orphans(folder);
  ASSERT_EQ(orphans.size(), 2u);
  for (JournalSlot& slot : orphans) {
    const auto aside = slot.SetAside();
    ASSERT_TRUE(aside);
    EXPECT_EQ(aside->extension(), ".unreadable");
    EXPECT_EQ(ReadFileBytes(*aside).substr(0, 8), "damaged ");
    names.insert(aside->filename().string());
  }
  EXPECT_EQ(FolderEntries(folder), names) << "no journal or lock is left";
  EXPECT_TRUE(JournalSlot::Orphans(folder).empty());
}

TEST(SessionJournalTest, TheWriterThreadWritesTheNewestContentWhole) {
  TempFolder folder;
  const fs::path file = folder.File("j");
  const auto settle = [](const BackgroundFileWriter& writer) {
    while (writer.Busy()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  };
  const auto whole = [](const std::string& bytes) {
    return bytes == "last" ||
           (bytes.size() == 100000 && bytes.find_first_not_of(bytes[0]) == std::string::npos);
  };
  {
    BackgroundFileWriter writer;
    for (int i = 0; i < 50; ++i)
      writer.Write(file, std::string(100000, static_cast<char>('a' + i % 26)));
    writer.Write(file, "last");
    settle(writer);
    EXPECT_EQ(ReadFileBytes(file), "last") << "the newest content wins";
    EXPECT_FALSE(writer.TakeError());

    writer.Write(folder.File("no/such/folder/j"), "x");
    settle(writer);
    EXPECT_TRUE(writer.TakeError());
    EXPECT_FALSE(writer.TakeError()) << "reported once";

    // Wait drops what waits and lets what runs end: the file is whole,
    // and stays as it is afterwards.
    for (int i = 0; i < 20; ++i)
      writer.Write(file, std::string(100000, static_cast<char>('a' + i % 26)));
    writer.Wait();
    EXPECT_FALSE(writer.Busy());
    const std::string after = ReadFileBytes(file);
    EXPECT_TRUE(whole(after));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(ReadFileBytes(file), after);
    writer.Write(file, "last");
  }
  // The destructor finishes a write in progress or drops a waiting one;
  // either way the file is whole and no temporary file is left.
  EXPECT_TRUE(whole(ReadFileBytes(file)));
  EXPECT_EQ(FolderEntries(folder.Path()), (std::set<std::string>{"j"}));
}

}  // namespace
