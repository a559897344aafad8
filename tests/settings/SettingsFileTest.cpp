#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <set>
#include <string>

#include "base/FileError.h"
#include "settings/ContainerBytes.h"
#include "settings/ContainerVectors.h"
#include "settings/SettingsFile.h"
#include "support/FileSizeLimit.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace {

std::string Pattern(std::size_t size) {
  std::string data(size, '\0');
  std::mt19937 random(static_cast<unsigned>(size) + 1);
  for (auto& c : data) c = static_cast<char>(random());
  return data;
}

template <typename F>
FileError CatchFileError(F&& f) {
  try {
    f();
  } catch (const FileError& e) {
    return e;
  }
  ADD_FAILURE() << "no FileError thrown";
  return FileError("", "none", 0);
}

}  // namespace

TEST(SettingsFileTest, RoundTripsThroughFiles) {
  TempFolder folder;
  for (const std::size_t size :
       {std::size_t{0}, std::size_t{1}, std::size_t{262144}, std::size_t{1048579}}) {
    const std::string text = Pattern(size);
    folder.Write("plain.txt", text);
    EncryptSettingsFile(folder.File("plain.txt"), folder.File("dbsettings.dat"));
    const std::string container = folder.Read("dbsettings.dat");
    EXPECT_EQ(container.size(), size + 20);
    std::string plain;
    EXPECT_EQ(DecryptBytes(container, kSettingsPassword, plain), CryptError::None);
    EXPECT_EQ(plain, text);

    DecryptSettingsFile(folder.File("dbsettings.dat"), folder.File("dbsettings.sim"));
    EXPECT_EQ(folder.Read("dbsettings.sim"), text) << size;
  }
}

TEST(SettingsFileTest, DecryptsAKnownSettingsContainer) {
  TempFolder folder;
  const KnownContainer& v = KnownContainers()[0];
  ASSERT_EQ(v.password, kSettingsPassword);
  folder.Write("dbsettings.dat", FromHex(v.containerHex));
  folder.Write("dbsettings.sim", std::string(500, 'x'));  // replaced, not overwritten in place
  DecryptSettingsFile(folder.File("dbsettings.dat"), folder.File("dbsettings.sim"));
  EXPECT_EQ(folder.Read("dbsettings.sim"), v.plaintext);
}

TEST(SettingsFileTest, OtherPasswordLeavesAnEmptyTarget) {
  TempFolder folder;
  folder.Write("dbsettings.dat",
               EncryptBytes("<%%ApplicationName%%>X<%%/ApplicationName%%>", "other"));
  folder.Write("dbsettings.sim", "stale text");
  DecryptSettingsFile(folder.File("dbsettings.dat"), folder.File("dbsettings.sim"));
  EXPECT_TRUE(folder.Exists("dbsettings.sim"));
  EXPECT_EQ(folder.Read("dbsettings.sim"), "");
}

TEST(SettingsFileTest, DamagedFileGivesTheDamagedText) {
  TempFolder folder;
  const std::string text = "<%%AppHelpURL%%>http://127.0.0.1/help<%%/AppHelpURL%%>\r\n";
  std::string container = EncryptBytes(text, kSettingsPassword);
  container[10 + 3] ^= 0x20;
  folder.Write("dbsettings.dat", container);
  DecryptSettingsFile(folder.File("dbsettings.dat"), folder.File("dbsettings.sim"));
  std::string expected = text;
  expected[3] ^= 0x20;
  EXPECT_EQ(folder.Read("dbsettings.sim"), expected);
}

TEST(SettingsFileTest, MissingSourceThrowsAndCreatesNoTarget) {
  TempFolder folder;
  for (const bool encrypt : {false, true}) {
    const FileError e = CatchFileError([&] {
      if (encrypt) {
        EncryptSettingsFile(folder.File("missing.txt"), folder.File("out"));
      } else {
        DecryptSettingsFile(folder.File("missing.dat"), folder.File("out"));
      }
    });
    EXPECT_EQ(e.code().value(), ENOENT);
    EXPECT_EQ(e.Path().filename(), encrypt ? "missing.txt" : "missing.dat");
    EXPECT_FALSE(folder.Exists("out"));
  }
  EXPECT_TRUE(folder.Entries().empty());
}

TEST(SettingsFileTest, TargetThatCannotBeCreatedThrows) {
  TempFolder folder;
  folder.Write("plain.txt", "text");
  folder.Write("dbsettings.dat", EncryptBytes("text", kSettingsPassword));
  const auto target = folder.File("no such folder") / "out";
  FileError e = CatchFileError([&] { EncryptSettingsFile(folder.File("plain.txt"), target); });
  EXPECT_EQ(e.Path(), target);
  EXPECT_EQ(e.code().value(), ENOENT);
  e = CatchFileError([&] { DecryptSettingsFile(folder.File("dbsettings.dat"), target); });
  EXPECT_EQ(e.Path(), target);
  // A folder standing where the source should be.
  std::filesystem::create_directory(folder.File("sub"));
  e = CatchFileError([&] { EncryptSettingsFile(folder.File("sub"), folder.File("x")); });
  EXPECT_EQ(e.code().value(), EISDIR);
  EXPECT_FALSE(folder.Exists("x"));
}

// A write that fails half-way (here: a file size limit, as a full disk would)
// must not cost the settings file: the old container stays, readable, and no
// temporary file is left behind.
TEST(SettingsFileTest, FailedWriteLeavesTheOldSettingsFileIntact) {
  TempFolder folder;
  folder.Write("old.txt", "<%%LastNewsId%%>17<%%/LastNewsId%%>\r\n");
  EncryptSettingsFile(folder.File("old.txt"), folder.File("dbsettings.dat"));
  const std::string oldContainer = folder.Read("dbsettings.dat");
  folder.Write("dbsettings.sim", Pattern(1 << 20));

  {
    FileSizeLimit limit(64 * 1024);
    const FileError e = CatchFileError(
        [&] { EncryptSettingsFile(folder.File("dbsettings.sim"), folder.File("dbsettings.dat")); });
    EXPECT_EQ(e.Path(), folder.File("dbsettings.dat"));
    EXPECT_EQ(e.code().value(), EFBIG);
  }
  EXPECT_EQ(folder.Read("dbsettings.dat"), oldContainer);
  EXPECT_EQ(folder.Entries(),
            (std::set<std::string>{"dbsettings.dat", "dbsettings.sim", "old.txt"}));
  DecryptSettingsFile(folder.File("dbsettings.dat"), folder.File("check.txt"));
  EXPECT_EQ(folder.Read("check.txt"), "<%%LastNewsId%%>17<%%/LastNewsId%%>\r\n");
}

TEST(SettingsFileTest, EncryptKeepsTheTargetsPermissions) {
  TempFolder folder;
  folder.Write("plain.txt", "text");
  folder.Write("dbsettings.dat", "old");
  std::filesystem::permissions(folder.File("dbsettings.dat"), std::filesystem::perms(0640));
  EncryptSettingsFile(folder.File("plain.txt"), folder.File("dbsettings.dat"));
  EXPECT_EQ(std::filesystem::status(folder.File("dbsettings.dat")).permissions(),
            std::filesystem::perms(0640));
  EXPECT_EQ(folder.Read("dbsettings.dat").size(), 24u);
}

// Source and target the same file: the source is read whole before the
// container takes its name.
TEST(SettingsFileTest, EncryptsAFileOntoItself) {
  TempFolder folder;
  const std::string text = Pattern(300000);
  folder.Write("settings", text);
  EncryptSettingsFile(folder.File("settings"), folder.File("settings"));
  std::string plain;
  EXPECT_EQ(DecryptBytes(folder.Read("settings"), kSettingsPassword, plain), CryptError::None);
  EXPECT_EQ(plain, text);
}
