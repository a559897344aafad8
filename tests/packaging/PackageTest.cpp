// The Debian packages that `cpack -G DEB` makes from this build: what each
// holds, what lintian and appstreamcli say about them, and whether their
// Depends name the package of every library their programs load.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line))
    if (!line.empty()) lines.push_back(line);
  return lines;
}

std::string Joined(const ChildResult& r) {
  return r.out + r.err;
}

// Both packages, made once for all tests of this program.
class DebianPackages : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new TempFolder;
    made_ =
        RunChild({QUORVANE_TEST_CPACK, "-G", "DEB", "--config",
                  QUORVANE_TEST_BUILD_DIR "/CPackConfig.cmake", "-B", folder_->Path().string()});
    for (const char* name : {"quorvane", "quorvane-tools"}) {
      const fs::path deb = Deb(name);
      const fs::path tree = folder_->Path() / (std::string(name) + ".tree");
      fs::create_directories(tree);
      if (fs::exists(deb)) RunChild({"dpkg-deb", "-x", deb.string(), tree.string()});
    }
  }
  static void TearDownTestSuite() {
    delete folder_;
    folder_ = nullptr;
  }

  void SetUp() override { ASSERT_EQ(made_.exitCode, 0) << Joined(made_); }

  static fs::path Deb(const std::string& name) {
    return folder_->Path() / (name + "_" QUORVANE_TEST_VERSION "_amd64.deb");
  }
  static fs::path Tree(const std::string& name) { return folder_->Path() / (name + ".tree"); }
  static std::string Field(const std::string& name, const std::string& field) {
    const ChildResult r = RunChild({"dpkg-deb", "-f", Deb(name).string(), field});
    return r.out;
  }

  static TempFolder* folder_;
  static ChildResult made_;
};
TempFolder* DebianPackages::folder_ = nullptr;
ChildResult DebianPackages::made_;

TEST_F(DebianPackages, EachPackageHoldsItsOwnFiles) {
  const struct {
    const char* package;
    std::vector<const char*> present;
    std::vector<const char*> absent;
  } cases[] = {
      {"quorvane",
       {"usr/lib/quorvane/quorvane", "usr/bin/quorvane", "usr/share/man/man1/quorvane.1.gz",
        "usr/share/applications/quorvane.desktop",
        "usr/share/metainfo/com.quorvane.quorvane.metainfo.xml",
        "usr/share/icons/hicolor/scalable/apps/quorvane.svg",
        "usr/share/icons/hicolor/48x48/apps/quorvane.png", "usr/share/doc/quorvane/copyright",
        "usr/share/doc/quorvane/changelog.gz"},
       {"usr/bin/quorvane-brand", "usr/bin/quorvane-sim"}},
      {"quorvane-tools",
       {"usr/bin/quorvane-brand", "usr/bin/quorvane-sim", "usr/share/man/man1/quorvane-brand.1.gz",
        "usr/share/man/man1/quorvane-sim.1.gz", "usr/share/doc/quorvane-tools/copyright",
        "usr/share/doc/quorvane-tools/changelog.gz"},
       {"usr/lib/quorvane", "usr/bin/quorvane", "usr/share/applications"}},
  };
  for (const auto& c : cases) {
    for (const char* path : c.present)
      EXPECT_TRUE(fs::exists(Tree(c.package) / path)) << c.package << ": " << path;
    for (const char* path : c.absent)
      EXPECT_FALSE(fs::exists(Tree(c.package) / path)) << c.package << ": " << path;
  }
  EXPECT_EQ(Field("quorvane-tools", "Source"), "quorvane\n");
}

TEST_F(DebianPackages, LintianReportsNoErrorAndNoWarning) {
  for (const char* name : {"quorvane", "quorvane-tools"}) {
    const ChildResult r = RunChild({QUORVANE_TEST_LINTIAN, "--fail-on", "error,warning",
                                    "--tag-display-limit", "0", Deb(name).string()});
    EXPECT_EQ(r.exitCode, 0) << name << ":\n" << Joined(r);
    for (const auto& line : Lines(r.out))
      EXPECT_FALSE(line.rfind("E: ", 0) == 0 || line.rfind("W: ", 0) == 0) << name << ": " << line;
  }
}

TEST_F(DebianPackages, AppStreamDataIsValidAndNamesWhatThePackageHolds) {
  const fs::path metainfo =
      Tree("quorvane") / "usr/share/metainfo/com.quorvane.quorvane.metainfo.xml";
  const ChildResult r = RunChild(
      {QUORVANE_TEST_APPSTREAMCLI, "validate", "--no-net", "--pedantic", metainfo.string()});
  EXPECT_EQ(r.exitCode, 0) << Joined(r);
  // Software centres find the desktop entry and the command it names.
  const std::string xml = ReadFileBytes(metainfo);
  std::smatch m;
  ASSERT_TRUE(std::regex_search(xml, m, std::regex(R"(<launchable type="desktop-id">([^<]+)<)")));
  EXPECT_TRUE(fs::exists(Tree("quorvane") / "usr/share/applications" / m[1].str())) << m[1];
  ASSERT_TRUE(std::regex_search(xml, m, std::regex(R"(<binary>([^<]+)<)")));
  EXPECT_TRUE(fs::exists(Tree("quorvane") / "usr/bin" / m[1].str())) << m[1];
}

// The Debian packages that ship the files with this name, on this machine.
std::set<std::string> PackagesShipping(const std::string& soname) {
  std::set<std::string> packages;
  const ChildResult r = RunChild({"dpkg-query", "-S", "*/" + soname});
  for (const auto& line : Lines(r.out)) {
    const auto colon = line.find(": ");
    if (colon == std::string::npos) continue;
    std::istringstream names(line.substr(0, colon));
    std::string name;
    while (std::getline(names, name, ',')) {
      name.erase(0, name.find_first_not_of(' '));
      packages.insert(name.substr(0, name.find(':')));
    }
  }
  return packages;
}

TEST_F(DebianPackages, DependsNameThePackageOfEveryLoadedLibrary) {
  const struct {
    const char* package;
    std::vector<const char*> programs;
  } cases[] = {
      {"quorvane", {"usr/lib/quorvane/quorvane"}},
      {"quorvane-tools", {"usr/bin/quorvane-brand", "usr/bin/quorvane-sim"}},
  };
  for (const auto& c : cases) {
    std::set<std::string> depends;
    std::istringstream field(Field(c.package, "Depends"));
    std::string item;
    while (std::getline(field, item, ',')) {
      std::smatch m;
      if (std::regex_search(item, m, std::regex(R"(^\s*([a-z0-9][a-z0-9.+-]*))")))
        depends.insert(m[1]);
    }
    for (const char* program : c.programs) {
      const ChildResult dynamic =
          RunChild({QUORVANE_TEST_READELF, "-W", "-d", (Tree(c.package) / program).string()});
      ASSERT_EQ(dynamic.exitCode, 0) << Joined(dynamic);
      const std::regex needed(R"(\(NEEDED\)\s+Shared library: \[([^\]]+)\])");
      for (std::sregex_iterator it(dynamic.out.begin(), dynamic.out.end(), needed), end; it != end;
           ++it) {
        const std::string soname = (*it)[1];
        const auto shipping = PackagesShipping(soname);
        ASSERT_FALSE(shipping.empty()) << soname << " belongs to no installed package";
        EXPECT_TRUE(std::any_of(shipping.begin(), shipping.end(),
                                [&](const std::string& p) { return depends.count(p) > 0; }))
            << c.package << ": " << program << " loads " << soname << " from " << *shipping.begin()
            << ", which Depends does not name";
      }
    }
  }
}

}  // namespace
