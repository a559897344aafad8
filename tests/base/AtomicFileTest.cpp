#include "base/AtomicFileWriter.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

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

// In a sticky folder that everyone may write, another user's link is a
// trap: following it would let that user choose which of our files a
// save replaces. The rule is the kernel's for opens: follow only our own
// links or the folder owner's.
TEST(AtomicFileTest, AnotherUsersLinkInAStickyFolderIsNotFollowed) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a link to another user";
  const passwd* nobody = ::getpwnam("nobody");
  ASSERT_NE(nobody, nullptr);
  TempFolder shared;
  TempFolder mine;
  ASSERT_EQ(::chmod(shared.Path().c_str(), 01777), 0);
  mine.Write("victim.csv", "precious");
  const auto plant = [&](const char* name, uid_t owner) {
    std::filesystem::create_symlink(mine.File("victim.csv"), shared.File(name));
    ASSERT_EQ(::lchown(shared.File(name).c_str(), owner, static_cast<gid_t>(-1)), 0);
  };
  plant("trap.csv", nobody->pw_uid);
  plant("own.csv", 0);

  EXPECT_EQ(WriteFileAtomically(shared.File("trap.csv"), "overwritten"),
            std::errc::permission_denied);
  EXPECT_EQ(mine.Read("victim.csv"), "precious");
  EXPECT_TRUE(std::filesystem::is_symlink(shared.File("trap.csv")));
  // A link of ours that leads to the trap is refused at the trap.
  std::filesystem::create_symlink(shared.File("trap.csv"), mine.File("chain.csv"));
  EXPECT_EQ(WriteFileAtomically(mine.File("chain.csv"), "overwritten"),
            std::errc::permission_denied);
  EXPECT_EQ(mine.Read("victim.csv"), "precious");
  EXPECT_EQ(shared.Entries(), (std::set<std::string>{"trap.csv", "own.csv"}));

  // Our own link there, and any link in a folder that is not sticky, are
  // followed.
  EXPECT_FALSE(WriteFileAtomically(shared.File("own.csv"), "mine"));
  EXPECT_EQ(mine.Read("victim.csv"), "mine");
  ASSERT_EQ(::chmod(shared.Path().c_str(), 0777), 0);
  EXPECT_FALSE(WriteFileAtomically(shared.File("trap.csv"), "not sticky"));
  EXPECT_EQ(mine.Read("victim.csv"), "not sticky");
  // In a sticky folder of the link's owner, the owner's link is followed.
  ASSERT_EQ(::chmod(shared.Path().c_str(), 01777), 0);
  ASSERT_EQ(::chown(shared.Path().c_str(), nobody->pw_uid, static_cast<gid_t>(-1)), 0);
  EXPECT_FALSE(WriteFileAtomically(shared.File("trap.csv"), "folder owner's"));
  EXPECT_EQ(mine.Read("victim.csv"), "folder owner's");
  EXPECT_EQ(::chown(shared.Path().c_str(), 0, static_cast<gid_t>(-1)), 0);
}

TEST(AtomicFileTest, TheReplacedFileKeepsItsGroupAndModeWhereTheUserMaySetThem) {
  TempFolder folder;
  folder.Write("f.csv", "old");
  // A group other than the one a new file gets.
  gid_t other = static_cast<gid_t>(-1);
  if (::geteuid() == 0) {
    other = 65534;
  } else {
    gid_t groups[64];
    const int count = ::getgroups(64, groups);
    for (int i = 0; i < count; ++i)
      if (groups[i] != ::getegid()) other = groups[i];
  }
  if (other == static_cast<gid_t>(-1)) GTEST_SKIP() << "the user is in one group only";
  ASSERT_EQ(::chown(folder.File("f.csv").c_str(), static_cast<uid_t>(-1), other), 0);
  ASSERT_EQ(::chmod(folder.File("f.csv").c_str(), 02660), 0);
  EXPECT_FALSE(WriteFileAtomically(folder.File("f.csv"), "new"));
  struct stat info {};
  ASSERT_EQ(::stat(folder.File("f.csv").c_str(), &info), 0);
  EXPECT_EQ(info.st_gid, other);
  EXPECT_EQ(info.st_mode & 07777, 02660u);
  EXPECT_EQ(folder.Read("f.csv"), "new");
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
