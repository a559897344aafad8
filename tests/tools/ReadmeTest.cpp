// The README's dependency lists are the packages' own: every name the
// Debian packages' Depends fields give, and no other.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace {

// Package names of a Depends field, version bounds left out.
std::set<std::string> DependsNames(const std::string& field) {
  std::set<std::string> names;
  std::size_t from = 0;
  while (from < field.size()) {
    auto end = field.find(',', from);
    if (end == std::string::npos) end = field.size();
    std::string item = field.substr(from, end - from);
    item.erase(0, item.find_first_not_of(' '));
    names.insert(item.substr(0, item.find_first_of(" (")));
    from = end + 1;
  }
  return names;
}

// The names in backticks after "Depends: " in the README's entry that
// starts with `entry`, up to the full stop that ends the list.
std::set<std::string> ReadmeNames(const std::string& readme, const std::string& entry) {
  const auto start = readme.find(entry);
  EXPECT_NE(start, std::string::npos) << entry;
  if (start == std::string::npos) return {};
  auto at = readme.find("Depends: ", start);
  const auto stop = readme.find(".\n", at);
  std::set<std::string> names;
  while ((at = readme.find('`', at)) != std::string::npos && at < stop) {
    const auto close = readme.find('`', at + 1);
    names.insert(readme.substr(at + 1, close - at - 1));
    at = close + 1;
  }
  return names;
}

TEST(ReadmeTest, DependencyListsAreThePackagesOwn) {
  std::ifstream in(QUORVANE_SOURCE_DIR "/README.md");
  const std::string readme{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ASSERT_FALSE(readme.empty());
  EXPECT_EQ(ReadmeNames(readme, "- `quorvane_<version>_amd64.deb`"),
            DependsNames(QUORVANE_PROGRAM_DEPENDS));
  EXPECT_EQ(ReadmeNames(readme, "- `quorvane-tools_<version>_amd64.deb`"),
            DependsNames(QUORVANE_TOOLS_DEPENDS));
}

}  // namespace
