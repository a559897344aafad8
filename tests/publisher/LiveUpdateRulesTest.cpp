// The small readers under the update check and the background check: the
// descriptor's INI value, the version comparison and the news-id reading.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "publisher/IniFile.h"
#include "publisher/NewsId.h"
#include "publisher/VersionNumber.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace {

struct IniCase {
  const char* text;
  const char* expected;
};

TEST(IniFileTest, ReadsVersionOfApplicationSectionLikeThePlatformReader) {
  const IniCase cases[] = {{"[APPLICATION]\r\nName=Quorvane\r\nVersion=2.5\r\n", "2.5"},
                           {"[application]\nVERSION =  3.00 \t\n", "3.00"},
                           {"  [ Application ]  \nversion=2.1", "2.1"},
                           {"[Other]\nVersion=9\n[APPLICATION]\nName=x\n", ""},
                           {"[APPLICATION]\nName=x\n[Other]\nVersion=9\n", ""},
                           {"Version=9\n[APPLICATION]\n", ""},
                           {"[APPLICATION]\n;Version=9\nVersion=\n", ""},
                           {"[APPLICATION]\nVersion=\"4.5\"\n", "4.5"},
                           {"[APPLICATION]\nVersion=4=5\n", "4=5"},
                           {"[APPLICATION]\nVersion=1\nVersion=2\n", "1"},
                           {"[APPLICATION]\nVersions=7\nVer=8\n", ""},
                           {"", ""}};
  for (const auto& c : cases) {
    EXPECT_EQ(ReadIniStringFromText(c.text, "APPLICATION", "Version"), c.expected) << c.text;
  }
}

TEST(IniFileTest, ReadsFromFileAndMissingFileIsEmpty) {
  TempFolder folder;
  folder.Write("mainappupdate.inf", "[APPLICATION]\r\nName=Quorvane\r\nVersion=3.00\r\n");
  EXPECT_EQ(ReadIniString(folder.File("mainappupdate.inf"), "APPLICATION", "Version"), "3.00");
  EXPECT_EQ(ReadIniString(folder.File("absent.inf"), "APPLICATION", "Version"), "");
}

struct VersionCase {
  const char* published;
  const char* program;
  bool newer;
};

TEST(VersionNumberTest, ComparesPublishedAndProgramVersionsAsNumbers) {
  const VersionCase cases[] = {{"2.0", "2.0", false},
                               {"2.00", "2.0", false},
                               {"3.00", "2.0", true},
                               {"2.1", "2.0", true},
                               {"1.9", "2.0", false},
                               // Numbers, not texts: 2.10 is below 2.9.
                               {"2.10", "2.9", false},
                               {"2.9", "2.10", true},
                               // Single precision rounds this to 2.0, so it is not newer.
                               {"2.00000001", "2.0", false},
                               {"2.001", "2.0", true},
                               {"3", "2.0", true},
                               {"1e1", "2.0", true},
                               {"+3.5", "2.0", true},
                               {"-3", "2.0", false},
                               // Not numbers read as 0.
                               {"", "2.0", false},
                               {"abc", "2.0", false},
                               {"3,5", "2.0", false},
                               {"3.0beta", "2.0", false},
                               {"inf", "2.0", false},
                               {"nan", "2.0", false},
                               {"0x10", "2.0", false},
                               {"1e99", "2.0", false},
                               {".", "2.0", false},
                               {"3.", "2.0", true},
                               {"0.5", "", true},
                               {"0.5", "x", true}};
  for (const auto& c : cases) {
    EXPECT_EQ(IsNewerVersion(c.published, c.program), c.newer)
        << "published " << c.published << " program " << c.program;
  }
}

TEST(NewsIdTest, ReadsSigned32BitDecimalOrZero) {
  const std::pair<const char*, std::int32_t> cases[] = {
      {"", 0},
      {"5", 5},
      {"0017", 17},
      {"-3", -3},
      {"+7", 7},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", 0},
      {"99999999999", 0},
      {"12a", 0},
      {"1.5", 0},
      {" 5", 0},
      {"5\r\n", 0},
      {"abc", 0},
      {"-", 0},
      {"+", 0},
      {"+-1", 0},
      {"--1", 0},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ReadNewsId(text), value) << '"' << text << '"';
}

}  // namespace
