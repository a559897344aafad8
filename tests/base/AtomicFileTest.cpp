#include "base/AtomicFileWriter.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <set>
#include <string>

#include "support/TempFolder.h"

using namespace quorvane;

namespace {

TEST(AtomicFileTest, CreatesAndReplacesWithExactBytes) {
  TempFolder folder;
  const std::string bytes("a\r\nb\0c\xff", 7);
  EXPECT_FALSE(WriteFileAtomically(folder.File("f.csv"), bytes));
  EXPECT_EQ(folder.Read("f.csv"), bytes);
  EXPECT_FALSE(WriteFileAtomically(folder.File("f.csv"), "shorter"));
  EXPECT_EQ(folder.Read("f.csv"), "shorter");
  EXPECT_FALSE(WriteFileAtomically(folder.File("f.csv"), ""));
  EXPECT_EQ(folder.Read("f.csv"), "");
  EXPECT_EQ(folder.Entries(), std::set<std::string>{"f.csv"});
}

TEST(AtomicFileTest, ANewFileGetsOrdinaryPermissionsAndAnOldOneKeepsItsOwn) {
  TempFolder folder;
  const mode_t mask = ::umask(022);
  EXPECT_FALSE(WriteFileAtomically(folder.File("new.csv"), "x"));
  EXPECT_EQ(std::filesystem::status(folder.File("new.csv")).permissions(),
            std::filesystem::perms(0644));
  folder.Write("old.csv", "x");
  std::filesystem::permissions(folder.File("old.csv"), std::filesystem::perms(0640));
  EXPECT_FALSE(WriteFileAtomically(folder.File("old.csv"), "y"));
  EXPECT_EQ(std::filesystem::status(folder.File("old.csv")).permissions(),
            std::filesystem::perms(0640));
  ::umask(mask);
}

TEST(AtomicFileTest, FollowsASymbolicLink) {
  TempFolder folder;
  folder.Write("real.csv", "old");
  std::filesystem::create_symlink(folder.File("real.csv"), folder.File("link.csv"));
  EXPECT_FALSE(WriteFileAtomically(folder.File("link.csv"), "new"));
  EXPECT_TRUE(std::filesystem::is_symlink(folder.File("link.csv")));
  EXPECT_EQ(folder.Read("real.csv"), "new");
}

// The temporary file must be made beside the file the link names: a
// rename from the link's folder could cross file systems, and a sweep of
// leftovers must look where they are.
TEST(AtomicFileTest, ALinkIntoAnotherFolderReplacesTheFileThere) {
  TempFolder links;
  TempFolder files;
  files.Write("real.csv", "old");
  ::chmod(files.File("real.csv").c_str(), 0600);
  std::filesystem::create_symlink(files.File("real.csv"), links.File("link.csv"));
  EXPECT_FALSE(WriteFileAtomically(links.File("link.csv"), "new"));
  EXPECT_TRUE(std::filesystem::is_symlink(links.File("link.csv")));
  EXPECT_EQ(files.Read("real.csv"), "new");
  EXPECT_EQ(std::filesystem::status(files.File("real.csv")).permissions(),
            std::filesystem::perms(0600));
  EXPECT_EQ(links.Entries(), std::set<std::string>{"link.csv"});
  EXPECT_EQ(files.Entries(), std::set<std::string>{"real.csv"});
}

TEST(AtomicFileTest, AMissingFolderIsAnError) {
  TempFolder folder;
  const std::error_code error = WriteFileAtomically(folder.File("missing") / "f.csv", "x");
  EXPECT_EQ(error, std::errc::no_such_file_or_directory);
  EXPECT_EQ(folder.Entries(), std::set<std::string>{});
}

TEST(AtomicFileTest, AFolderInTheWayIsAnError) {
  TempFolder folder;
  std::filesystem::create_directory(folder.File("f.csv"));
  EXPECT_TRUE(WriteFileAtomically(folder.File("f.csv"), "x"));
  EXPECT_TRUE(std::filesystem::is_directory(folder.File("f.csv")));
  EXPECT_EQ(folder.Entries(), std::set<std::string>{"f.csv"});
}

// A write cut short (full disk, file size limit) must not count as saved:
// a partial write followed by a failing one is easy to take for success.
TEST(AtomicFileTest, AShortWriteFailsAndKeepsTheEarlierFile) {
  TempFolder folder;
  folder.Write("f.csv", "earlier good file");
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit = saved;
  limit.rlim_cur = 64;
  setrlimit(RLIMIT_FSIZE, &limit);
  const std::error_code error = WriteFileAtomically(folder.File("f.csv"), std::string(5000, 'x'));
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);

  EXPECT_EQ(error, std::errc::file_too_large);
  EXPECT_EQ(folder.Read("f.csv"), "earlier good file");
  EXPECT_EQ(folder.Entries(), std::set<std::string>{"f.csv"}) << "no temporary file left behind";
}

}  // namespace
