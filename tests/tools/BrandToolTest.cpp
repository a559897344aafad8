#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "settings/ContainerBytes.h"
#include "settings/SettingsFile.h"
#include "support/ChildProcess.h"
#include "support/FileSizeLimit.h"
#include "support/TempFolder.h"

using namespace quorvane;

// Drives the real quorvane-brand binary on real files.

namespace {

const std::string kTool = QUORVANE_BRAND_TOOL;

ChildResult Brand(std::vector<std::string> args) {
  args.insert(args.begin(), kTool);
  return RunChild(args);
}

std::string Pattern(std::size_t size) {
  std::string data(size, '\0');
  std::mt19937 random(static_cast<unsigned>(size) + 7);
  for (auto& c : data) c = static_cast<char>(random());
  return data;
}

// One line on standard error, from the tool, mentioning every piece.
void ExpectOneLineError(const ChildResult& r, const std::vector<std::string>& pieces) {
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_TRUE(r.err.starts_with("quorvane-brand: ")) << r.err;
  for (const auto& piece : pieces) EXPECT_NE(r.err.find(piece), std::string::npos) << r.err;
}

class BrandToolTest : public testing::Test {
 protected:
  std::string Path(const std::string& name) const { return folder_.File(name).string(); }
  TempFolder folder_;
};

}  // namespace

TEST_F(BrandToolTest, RoundTripsUnderTheSettingsPassword) {
  for (const std::size_t size :
       {std::size_t{0}, std::size_t{1}, std::size_t{262144}, std::size_t{5 * 1024 * 1024}}) {
    const std::string text = Pattern(size);
    folder_.Write("settings.txt", text);
    ChildResult r = Brand({"encrypt", Path("settings.txt"), Path("dbsettings.dat")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(folder_.Read("dbsettings.dat").size(), size + 20);

    r = Brand({"decrypt", Path("dbsettings.dat"), Path("back.txt")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(folder_.Read("back.txt"), text) << size;

    // What the program itself reads.
    DecryptSettingsFile(folder_.File("dbsettings.dat"), folder_.File("dbsettings.sim"));
    EXPECT_EQ(folder_.Read("dbsettings.sim"), text) << size;
  }
  EXPECT_EQ(folder_.Entries(), (std::set<std::string>{"settings.txt", "dbsettings.dat", "back.txt",
                                                      "dbsettings.sim"}));
}

TEST_F(BrandToolTest, OtherPasswordsSelectTheirMode) {
  struct Case {
    std::string password;
    std::size_t overhead;
  };
  const std::string text = "<%%ApplicationName%%>Brand<%%/ApplicationName%%>\r\n";
  folder_.Write("plain.txt", text);
  for (const Case& c : {Case{"", 20}, Case{std::string(31, 'a'), 20},
                        Case{std::string(32, 'b'), 24}, Case{std::string(47, 'c'), 24},
                        Case{std::string(48, 'd'), 28}, Case{std::string(128, 'e'), 28}}) {
    ChildResult r = Brand({"--password", c.password, "encrypt", Path("plain.txt"), Path("x.dat")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string container = folder_.Read("x.dat");
    EXPECT_EQ(container.size(), text.size() + c.overhead) << c.password.size();
    std::string plain;
    EXPECT_EQ(DecryptBytes(container, c.password, plain), CryptError::None);
    EXPECT_EQ(plain, text);

    r = Brand({"decrypt", "--password=" + c.password, Path("x.dat"), Path("y.txt")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(folder_.Read("y.txt"), text);
  }
}

TEST_F(BrandToolTest, WrongPasswordExitsOneAndLeavesThePlainFileAlone) {
  folder_.Write("dbsettings.dat", EncryptBytes("secret text", kSettingsPassword));
  ChildResult r =
      Brand({"--password", "guess", "decrypt", Path("dbsettings.dat"), Path("new.txt")});
  EXPECT_EQ(r.exitCode, 1);
  ExpectOneLineError(r, {Path("dbsettings.dat"), "wrong password"});
  EXPECT_FALSE(folder_.Exists("new.txt"));

  folder_.Write("existing.txt", "keep me");
  r = Brand({"--password", "guess", "decrypt", Path("dbsettings.dat"), Path("existing.txt")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(folder_.Read("existing.txt"), "keep me");
}

// A settings text that was never encrypted fails the password check too;
// it is named for what it is, with a status of its own.
TEST_F(BrandToolTest, APlainSettingsTextIsNamedAsSuchNotAsAWrongPassword) {
  for (const std::string& text :
       {std::string("<%%ApplicationName%%>Acme<%%/ApplicationName%%>\r\n"),
        std::string("notes first\n<%%brandertype%%>Gold<%%/brandertype%%>\n")}) {
    folder_.Write("dbsettings.dat", text);
    const ChildResult r = Brand({"decrypt", Path("dbsettings.dat"), Path("out.txt")});
    EXPECT_EQ(r.exitCode, 4);
    ExpectOneLineError(r, {Path("dbsettings.dat"), "a plain settings text, not encrypted",
                           "quorvane-brand encrypt", "not written"});
    EXPECT_EQ(r.err.find("wrong password"), std::string::npos);
    EXPECT_FALSE(folder_.Exists("out.txt"));
  }
  // Bytes without settings tags are still a wrong password.
  folder_.Write("dbsettings.dat", Pattern(300));
  const ChildResult r = Brand({"decrypt", Path("dbsettings.dat"), Path("out.txt")});
  EXPECT_EQ(r.exitCode, 1);
  ExpectOneLineError(r, {"wrong password"});
}

TEST_F(BrandToolTest, DamagedDataExitsTwoAndStillWritesThePlaintext) {
  const std::string text = "<%%BranderType%%>Gold<%%/BranderType%%>\r\n";
  const std::string container = EncryptBytes(text, kSettingsPassword);

  std::string cipherFlipped = container;
  cipherFlipped[10 + 5] ^= 0x01;
  folder_.Write("a.dat", cipherFlipped);
  ChildResult r = Brand({"decrypt", Path("a.dat"), Path("a.txt")});
  EXPECT_EQ(r.exitCode, 2);
  ExpectOneLineError(r, {Path("a.dat"), "damaged", "authentication code", Path("a.txt")});
  std::string expected = text;
  expected[5] ^= 0x01;
  EXPECT_EQ(folder_.Read("a.txt"), expected);

  std::string codeFlipped = container;
  codeFlipped.back() ^= 0x80;
  folder_.Write("b.dat", codeFlipped);
  r = Brand({"decrypt", Path("b.dat"), Path("b.txt")});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(folder_.Read("b.txt"), text);

  folder_.Write("short.dat", container.substr(0, 19));
  r = Brand({"decrypt", Path("short.dat"), Path("c.txt")});
  EXPECT_EQ(r.exitCode, 2);
  ExpectOneLineError(r, {Path("short.dat"), "too short"});
  EXPECT_FALSE(folder_.Exists("c.txt"));
}

TEST_F(BrandToolTest, FileErrorsExitThreeNamingFileAndReason) {
  folder_.Write("plain.txt", "text");
  folder_.Write("x.dat", EncryptBytes("text", kSettingsPassword));
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> pieces;
  };
  const std::vector<Case> cases = {
      {{"encrypt", Path("missing.txt"), Path("out.dat")},
       {Path("missing.txt"), "No such file or directory"}},
      {{"decrypt", Path("missing.dat"), Path("out.txt")},
       {Path("missing.dat"), "No such file or directory"}},
      {{"encrypt", Path("plain.txt"), Path("nofolder") + "/out.dat"},
       {Path("nofolder") + "/out.dat", "No such file or directory"}},
      {{"decrypt", Path("x.dat"), Path("nofolder") + "/out.txt"}, {Path("nofolder") + "/out.txt"}},
      {{"encrypt", folder_.Path().string(), Path("out.dat")}, {"Is a directory"}},
  };
  for (const Case& c : cases) {
    const ChildResult r = Brand(c.args);
    EXPECT_EQ(r.exitCode, 3) << c.args[1];
    ExpectOneLineError(r, c.pieces);
  }
  EXPECT_FALSE(folder_.Exists("out.dat"));
  EXPECT_FALSE(folder_.Exists("out.txt"));
}

TEST_F(BrandToolTest, UsageErrorsExitThree) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"encrypt"},
      {"encrypt", "a"},
      {"encrypt", "a", "b", "c"},
      {"decrypt", "a"},
      {"frobnicate", "a", "b"},
      {"--verbose", "encrypt", "a", "b"},
      {"encrypt", "a", "b", "--password"},
      {"--password", std::string(129, 'p'), "encrypt", "a", "b"},
  };
  for (const auto& args : cases) {
    const ChildResult r = Brand(args);
    EXPECT_EQ(r.exitCode, 3) << (args.empty() ? "(none)" : args[0]);
    ExpectOneLineError(r, {"usage"});
    EXPECT_EQ(r.out, "");
  }
}

// A container that cannot be written in full (a file size limit stands in
// for a full disk) leaves the old file as it was and no temporary file.
TEST_F(BrandToolTest, FailedWriteKeepsTheOldContainer) {
  folder_.Write("plain.txt", Pattern(1 << 20));
  folder_.Write("dbsettings.dat", EncryptBytes("old", kSettingsPassword));
  const std::string old = folder_.Read("dbsettings.dat");
  ChildResult r;
  {
    FileSizeLimit limit(100 * 1024);
    r = Brand({"encrypt", Path("plain.txt"), Path("dbsettings.dat")});
  }
  EXPECT_EQ(r.exitCode, 3);
  ExpectOneLineError(r, {Path("dbsettings.dat"), "File too large"});
  EXPECT_EQ(folder_.Read("dbsettings.dat"), old);
  EXPECT_EQ(folder_.Entries(), (std::set<std::string>{"plain.txt", "dbsettings.dat"}));
}

TEST_F(BrandToolTest, HelpExplainsCommandsAndExitStatus) {
  for (const char* flag : {"--help", "-h"}) {
    const ChildResult r = Brand({flag});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    for (const char* piece :
         {"encrypt PLAIN DAT", "decrypt DAT PLAIN", "check [--online] FOLDER", "--password P",
          "--online", "Exit status", "wrong password", "damaged", "usage or file error",
          "plain settings text", "ready to ship"}) {
      EXPECT_NE(r.out.find(piece), std::string::npos) << piece;
    }
  }
}
