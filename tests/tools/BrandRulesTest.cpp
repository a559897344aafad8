// The brand check's own rules, on values: which addresses the program can
// use, and the identity keys it expects, which must be the build's.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "brand/AddressRules.h"
#include "brand/IdentityCheck.h"

using namespace quorvane;

namespace {

TEST(BrandAddressTest, OnlyAddressesTheProgramCanUsePass) {
  const std::pair<const char*, const char*> cases[] = {
      {"http://www.acme.example/help/", nullptr},
      {"HTTPS://www.acme.example", nullptr},
      {"http://127.0.0.1:47615/news/", nullptr},
      {"http://[::1]:8080/x", nullptr},
      {"http://user@host.example/", nullptr},
      {"htp://news.acme.example/", "unknown scheme \"htp\""},
      {"ftp://files.acme.example/", "unknown scheme \"ftp\""},
      {"www.acme.example/help", "no scheme"},
      {"http:///path", "no host name"},
      {"http://news acme.example/", "holds blanks or line breaks"},
      {"http://news.acme.example/\r\n", "holds blanks or line breaks"},
      {" http://news.acme.example/", "holds blanks or line breaks"},
      {"http://caf\xC3\xA9.example/", "outside ASCII"},
      {"http://host.example:0/", "the port is not a number from 1 to 65535"},
      {"http://host.example:99999/", "the port is not a number from 1 to 65535"},
      {"http://host.example:80x/", "the port is not a number"},
      {"http://host..example/", "an empty part"},
      {"http://host_ok.example/", nullptr},
      {"http://ho$t.example/", "the host name holds \"$\""},
      {"http://[::1/", "without its closing ]"},
  };
  for (const auto& [address, trouble] : cases) {
    const auto got = AddressTrouble(address);
    if (trouble == nullptr) {
      EXPECT_EQ(got, std::nullopt) << address;
    } else {
      ASSERT_TRUE(got.has_value()) << address;
      EXPECT_NE(got->find(trouble), std::string::npos) << address << ": " << *got;
    }
  }
  EXPECT_EQ(NewsAddressTrouble("http://news.acme.example/gold"), std::nullopt);
  ASSERT_TRUE(NewsAddressTrouble("http://news.acme.example/gold?x=1").has_value());
  EXPECT_NE(NewsAddressTrouble("http://news.acme.example/#top")->find("getlastnews.php"),
            std::string::npos);
}

// The check and the build read the same identity file: its key table must
// be the build's. The build's table lives in cmake/IdentityFile.cmake.
TEST(BrandIdentityTest, TheCheckKnowsExactlyTheKeysTheBuildReads) {
  const std::filesystem::path table = QUORVANE_SOURCE_DIR "/cmake/IdentityFile.cmake";
  if (!std::filesystem::exists(table)) GTEST_SKIP() << table << " is not in this tree";
  std::ifstream in(table);
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<std::string> build;
  const std::regex entry("\"([A-Za-z]+)\\|([A-Za-z]+)\\|(REQUIRED|OPTIONAL)\\|[A-Z]+\"");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), entry);
       it != std::sregex_iterator(); ++it) {
    build.push_back((*it)[1].str() + "." + (*it)[2].str() + " " + (*it)[3].str());
  }
  std::vector<std::string> check;
  for (const IdentityKey& key : IdentityKeys()) {
    check.push_back(std::string(key.section) + "." + std::string(key.key) + " " +
                    (key.required ? "REQUIRED" : "OPTIONAL"));
  }
  EXPECT_FALSE(build.empty());
  EXPECT_EQ(check, build);
}

}  // namespace
