#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "base/FileError.h"
#include "settings/ContainerFile.h"
#include "settings/LastNewsId.h"
#include "settings/SettingsFile.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace fs = std::filesystem;

namespace {

const std::string kMarker17 = "<%%LastNewsId%%>17<%%/LastNewsId%%>";
const std::string kMarker18 = "<%%LastNewsId%%>18<%%/LastNewsId%%>";

// A program folder holding a real encrypted settings file.
class LastNewsIdFile : public testing::Test {
 protected:
  void Store(const std::string& plain, std::string_view password = kSettingsPassword) {
    scratch_.Write("plain.txt", plain);
    EncryptContainerFile(scratch_.File("plain.txt"), program_.File("dbsettings.dat"), password);
  }

  // The settings text as stored now; fails the test if it does not decrypt.
  std::string Stored() {
    const CryptError result = DecryptContainerFile(program_.File("dbsettings.dat"),
                                                   scratch_.File("out.txt"), kSettingsPassword);
    EXPECT_EQ(result, CryptError::None);
    return scratch_.Read("out.txt");
  }

  std::set<std::string> FolderContent() const { return program_.Entries(); }

  TempFolder program_{true};
  TempFolder scratch_;
};

TEST_F(LastNewsIdFile, WithoutASettingsFileNothingIsReadOrStored) {
  EXPECT_EQ(ReadLastNewsId(), "");
  SaveLastNewsId("17");
  EXPECT_TRUE(FolderContent().empty());
}

TEST_F(LastNewsIdFile, SaveAppendsTheMarkerAndReadFindsIt) {
  Store("<%%ApplicationName%%>Acme<%%/ApplicationName%%>\nsecond line\rthird");
  EXPECT_EQ(ReadLastNewsId(), "");
  SaveLastNewsId("17");
  EXPECT_EQ(Stored(),
            "<%%ApplicationName%%>Acme<%%/ApplicationName%%>\r\nsecond line\r\nthird\r\n" +
                kMarker17 + "\r\n");
  EXPECT_EQ(ReadLastNewsId(), "17");
  EXPECT_EQ(FolderContent(), std::set<std::string>{"dbsettings.dat"});
}

TEST_F(LastNewsIdFile, SaveReplacesTheFirstMarkerLineOnly) {
  Store("a\r\n" + kMarker17 + "\r\n  b  \r\n" + kMarker17 + "\r\n\r\nc\r\n");
  EXPECT_EQ(ReadLastNewsId(), "17");
  SaveLastNewsId("18");
  EXPECT_EQ(Stored(), "a\r\n" + kMarker18 + "\r\n  b  \r\n" + kMarker17 + "\r\n\r\nc\r\n");
  EXPECT_EQ(ReadLastNewsId(), "18");
}

TEST_F(LastNewsIdFile, AnEmptyIdIsStoredAsAnEmptyPair) {
  Store(kMarker17 + "\r\n");
  SaveLastNewsId("");
  EXPECT_EQ(Stored(), "<%%LastNewsId%%><%%/LastNewsId%%>\r\n");
  EXPECT_EQ(ReadLastNewsId(), "");
}

TEST_F(LastNewsIdFile, AMarkerInAnotherCaseIsReadButNotReplaced) {
  Store("<%%LASTNEWSID%%>5<%%/lastnewsid%%>\r\n");
  EXPECT_EQ(ReadLastNewsId(), "5");
  SaveLastNewsId("18");
  EXPECT_EQ(Stored(), "<%%LASTNEWSID%%>5<%%/lastnewsid%%>\r\n" + kMarker18 + "\r\n");
  EXPECT_EQ(ReadLastNewsId(), "5");
}

TEST_F(LastNewsIdFile, TagsSharingTheMarkerLineSurvive) {
  const std::string about = "<%%AboutText%%>about<%%/AboutText%%>";
  Store(about + kMarker17 + "\r\n");
  SaveLastNewsId("18");
  EXPECT_EQ(Stored(), about + kMarker18 + "\r\n");
}

TEST_F(LastNewsIdFile, EverySaveEncryptsAfresh) {
  Store(kMarker17 + "\r\n");
  const std::string before = program_.Read("dbsettings.dat");
  SaveLastNewsId("17");
  const std::string after = program_.Read("dbsettings.dat");
  EXPECT_NE(before, after) << "a new salt every time";
  EXPECT_EQ(Stored(), kMarker17 + "\r\n");
}

TEST_F(LastNewsIdFile, AFileThatDoesNotDecryptCleanlyIsNeverRewritten) {
  const std::string text = "<%%ApplicationName%%>Acme<%%/ApplicationName%%>\r\n" + kMarker17;
  struct Damage {
    const char* name;
    void (*apply)(std::string& container);
  };
  const Damage damages[] = {
      {"ciphertext byte flipped", [](std::string& c) { c[12] ^= 0x01; }},
      {"code byte flipped", [](std::string& c) { c.back() ^= 0x80; }},
      {"cut short", [](std::string& c) { c.resize(c.size() - 5); }},
      {"shorter than a container", [](std::string& c) { c.resize(7); }},
      {"empty", [](std::string& c) { c.clear(); }},
  };
  for (const auto& damage : damages) {
    Store(text);
    std::string container = program_.Read("dbsettings.dat");
    damage.apply(container);
    program_.Write("dbsettings.dat", container);
    SaveLastNewsId("18");
    EXPECT_EQ(program_.Read("dbsettings.dat"), container) << damage.name;
    EXPECT_EQ(FolderContent(), std::set<std::string>{"dbsettings.dat"}) << damage.name;
  }

  Store(text, "another password");
  const std::string foreign = program_.Read("dbsettings.dat");
  EXPECT_EQ(ReadLastNewsId(), "") << "a wrong password decrypts to nothing";
  SaveLastNewsId("18");
  EXPECT_EQ(program_.Read("dbsettings.dat"), foreign);
  EXPECT_EQ(FolderContent(), std::set<std::string>{"dbsettings.dat"});
}

TEST_F(LastNewsIdFile, ALeftoverWorkingCopyIsNeitherReadNorKept) {
  Store(kMarker17 + "\r\n");
  program_.Write("dbsettings.sim", "<%%LastNewsId%%>99<%%/LastNewsId%%>\r\n");
  EXPECT_EQ(ReadLastNewsId(), "17");
  EXPECT_FALSE(program_.Exists("dbsettings.sim"));
  program_.Write("dbsettings.sim", "stale");
  SaveLastNewsId("18");
  EXPECT_EQ(Stored(), kMarker18 + "\r\n");
  EXPECT_FALSE(program_.Exists("dbsettings.sim"));
}

TEST_F(LastNewsIdFile, AWorkingCopyThatCannotBeMadeIsAnErrorAndLosesNothing) {
  Store(kMarker17 + "\r\n");
  const std::string before = program_.Read("dbsettings.dat");
  // A folder in the way of the working copy (that cannot be removed either).
  fs::create_directories(program_.File("dbsettings.sim") / "blocker");
  EXPECT_THROW(ReadLastNewsId(), FileError);
  EXPECT_THROW(SaveLastNewsId("18"), FileError);
  EXPECT_EQ(program_.Read("dbsettings.dat"), before);
  EXPECT_EQ(FolderContent(), (std::set<std::string>{"dbsettings.dat", "dbsettings.sim"}));
}

}  // namespace
