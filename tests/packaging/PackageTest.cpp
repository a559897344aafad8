// The Debian packages that `cpack -G DEB` makes: what each holds, what
// lintian, appstreamcli and desktop-file-validate say about them, whether
// their Depends name the package of every library their programs load;
// and a second product, the demo (scripts/demo --prepare, its own identity
// docs/demo/identity.ini), whose packages install beside Quorvane's and
// whose installed program runs from a home it may not start programs from.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/ProductIdentity.h"
#include "support/ChildProcess.h"
#include "support/NoExecFolder.h"
#include "support/RunningChild.h"
#include "support/SmallDisk.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const std::string kPackage(ProductCommand);
const fs::path kDemoBuild = fs::path(QUORVANE_TEST_SOURCE_DIR) / "build-demo";
// The demo's identity (docs/demo/identity.ini).
const std::string kDemo = "quorvane-demo";
const std::string kDemoAppStreamId = "com.quorvane.demo";

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

std::string Gunzipped(const fs::path& file) {
  return RunChild({"gzip", "-dc", file.string()}).out;
}

// The Debian packages of one build folder, made with its cpack
// configuration and unpacked.
class PackageSet {
 public:
  PackageSet(const fs::path& build, std::vector<std::string> names, std::string version)
      : names_(std::move(names)), version_(std::move(version)) {
    made_ = RunChild({QUORVANE_TEST_CPACK, "-G", "DEB", "--config",
                      (build / "CPackConfig.cmake").string(), "-B", folder_.Path().string()});
    for (const auto& name : names_) {
      fs::create_directories(Tree(name));
      if (fs::exists(Deb(name)))
        RunChild({"dpkg-deb", "-x", Deb(name).string(), Tree(name).string()});
    }
  }

  const ChildResult& Made() const { return made_; }
  fs::path Deb(const std::string& name) const {
    return folder_.Path() / (name + "_" + version_ + "_amd64.deb");
  }
  fs::path Tree(const std::string& name) const { return folder_.Path() / (name + ".tree"); }
  std::string Field(const std::string& name, const std::string& field) const {
    return RunChild({"dpkg-deb", "-f", Deb(name).string(), field}).out;
  }
  // The files (not folders) the package installs, as absolute paths.
  std::set<std::string> Files(const std::string& name) const {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(Tree(name)))
      if (!entry.is_directory())
        files.insert("/" + entry.path().lexically_relative(Tree(name)).string());
    return files;
  }

 private:
  TempFolder folder_;
  std::vector<std::string> names_;
  std::string version_;
  ChildResult made_;
};

void ExpectLintianClean(const PackageSet& set, const std::string& name) {
  const ChildResult r = RunChild({QUORVANE_TEST_LINTIAN, "--fail-on", "error,warning",
                                  "--tag-display-limit", "0", set.Deb(name).string()});
  EXPECT_EQ(r.exitCode, 0) << name << ":\n" << Joined(r);
  for (const auto& line : Lines(r.out))
    EXPECT_FALSE(line.rfind("E: ", 0) == 0 || line.rfind("W: ", 0) == 0) << name << ": " << line;
}

// appstreamcli passes the metainfo without a warning, and it names the
// desktop entry and the command that the package holds.
void ExpectAppStreamDataValid(const fs::path& tree, const std::string& id) {
  const fs::path metainfo = tree / "usr/share/metainfo" / (id + ".metainfo.xml");
  const ChildResult r = RunChild(
      {QUORVANE_TEST_APPSTREAMCLI, "validate", "--no-net", "--pedantic", metainfo.string()});
  EXPECT_EQ(r.exitCode, 0) << Joined(r);
  for (const auto& line : Lines(r.out))
    EXPECT_FALSE(line.rfind("W: ", 0) == 0 || line.rfind("E: ", 0) == 0) << line;
  const std::string xml = ReadFileBytes(metainfo);
  std::smatch m;
  ASSERT_TRUE(std::regex_search(xml, m, std::regex(R"(<launchable type="desktop-id">([^<]+)<)")));
  EXPECT_TRUE(fs::exists(tree / "usr/share/applications" / m[1].str())) << m[1];
  ASSERT_TRUE(std::regex_search(xml, m, std::regex(R"(<binary>([^<]+)<)")));
  EXPECT_TRUE(fs::exists(tree / "usr/bin" / m[1].str())) << m[1];
}

// Reads "Key=Value" lines of a desktop entry.
std::map<std::string, std::string> DesktopKeys(const fs::path& file) {
  std::map<std::string, std::string> keys;
  for (const auto& line : Lines(ReadFileBytes(file))) {
    const auto eq = line.find('=');
    if (eq != std::string::npos && line[0] != '[' && line[0] != '#')
      keys[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return keys;
}

// desktop-file-validate has nothing to say, not even a hint; the entry
// starts the package's command, and its icon and window class are the
// package's.
void ExpectDesktopEntryValid(const fs::path& tree, const std::string& package) {
  const fs::path entry = tree / "usr/share/applications" / (package + ".desktop");
  const ChildResult r = RunChild({QUORVANE_TEST_DESKTOP_FILE_VALIDATE, entry.string()});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(Joined(r), "");
  const auto keys = DesktopKeys(entry);
  EXPECT_EQ(keys.count("Version") ? keys.at("Version") : "", "1.4");
  EXPECT_EQ(keys.at("Exec"), package);
  EXPECT_TRUE(fs::exists(tree / "usr/bin" / package));
  EXPECT_EQ(keys.at("Icon"), package);
  EXPECT_EQ(keys.at("StartupWMClass"), package);
  EXPECT_TRUE(fs::exists(tree / "usr/share/icons/hicolor/48x48/apps" / (package + ".png")));
}

// Quorvane's packages, made once for all tests of this program.
class DebianPackages : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    set_ = new PackageSet(QUORVANE_TEST_BUILD_DIR, {kPackage, "quorvane-tools"},
                          QUORVANE_TEST_VERSION);
  }
  static void TearDownTestSuite() {
    delete set_;
    set_ = nullptr;
  }
  void SetUp() override { ASSERT_EQ(set_->Made().exitCode, 0) << Joined(set_->Made()); }

  static PackageSet* set_;
};
PackageSet* DebianPackages::set_ = nullptr;

TEST_F(DebianPackages, EachPackageHoldsItsOwnFiles) {
  const std::string p = kPackage;
  const struct {
    std::string package;
    std::vector<std::string> present;
    std::vector<std::string> absent;
  } cases[] = {
      {p,
       {"usr/bin/" + p, "usr/share/man/man1/" + p + ".1.gz",
        "usr/share/applications/" + p + ".desktop",
        "usr/share/metainfo/" QUORVANE_TEST_APPSTREAM_ID ".metainfo.xml",
        "usr/share/icons/hicolor/scalable/apps/" + p + ".svg",
        "usr/share/icons/hicolor/48x48/apps/" + p + ".png", "usr/share/doc/" + p + "/copyright",
        "usr/share/doc/" + p + "/changelog.gz"},
       // No launcher and no second copy of the program; without a brand
       // folder no brand files either.
       {"usr/lib/" + p, "usr/share/" + p, "usr/bin/quorvane-brand", "usr/bin/quorvane-sim"}},
      {"quorvane-tools",
       {"usr/bin/quorvane-brand", "usr/bin/quorvane-sim", "usr/share/man/man1/quorvane-brand.1.gz",
        "usr/share/man/man1/quorvane-sim.1.gz", "usr/share/doc/quorvane-tools/copyright",
        "usr/share/doc/quorvane-tools/changelog.gz"},
       {"usr/lib/" + p, "usr/bin/" + p, "usr/share/applications"}},
  };
  for (const auto& c : cases) {
    for (const auto& path : c.present)
      EXPECT_TRUE(fs::exists(set_->Tree(c.package) / path)) << c.package << ": " << path;
    for (const auto& path : c.absent)
      EXPECT_FALSE(fs::exists(set_->Tree(c.package) / path)) << c.package << ": " << path;
  }
  EXPECT_EQ(set_->Field("quorvane-tools", "Source"), p + "\n");
  // The manual pages carry the build's version.
  const std::string page =
      Gunzipped(set_->Tree("quorvane-tools") / "usr/share/man/man1/quorvane-sim.1.gz");
  EXPECT_NE(page.find("\"Quorvane " QUORVANE_TEST_VERSION "\""), std::string::npos);
}

TEST_F(DebianPackages, LintianReportsNoErrorAndNoWarning) {
  for (const auto& name : {kPackage, std::string("quorvane-tools")})
    ExpectLintianClean(*set_, name);
}

TEST_F(DebianPackages, AppStreamDataAndDesktopEntryAreValid) {
  ExpectAppStreamDataValid(set_->Tree(kPackage), QUORVANE_TEST_APPSTREAM_ID);
  ExpectDesktopEntryValid(set_->Tree(kPackage), kPackage);
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

std::set<std::string> PackageNames(const std::string& field) {
  std::set<std::string> names;
  std::istringstream items(field);
  std::string item;
  while (std::getline(items, item, ',')) {
    std::smatch m;
    if (std::regex_search(item, m, std::regex(R"(^\s*([a-z0-9][a-z0-9.+-]*))"))) names.insert(m[1]);
  }
  return names;
}

TEST_F(DebianPackages, DependsNameThePackageOfEveryLoadedLibrary) {
  const struct {
    std::string package;
    std::vector<std::string> programs;
  } cases[] = {
      {kPackage, {"usr/bin/" + kPackage}},
      {"quorvane-tools", {"usr/bin/quorvane-brand", "usr/bin/quorvane-sim"}},
  };
  for (const auto& c : cases) {
    const auto depends = PackageNames(set_->Field(c.package, "Depends"));
    for (const auto& program : c.programs) {
      const ChildResult dynamic =
          RunChild({QUORVANE_TEST_READELF, "-W", "-d", (set_->Tree(c.package) / program).string()});
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
  // Qt finds its Wayland plug-in at run time; no NEEDED entry names it.
  EXPECT_EQ(PackageNames(set_->Field(kPackage, "Recommends")).count("qt6-wayland"), 1u);
}

TEST_F(DebianPackages, TheDescriptionSaysWhetherThePackageCarriesABrand) {
  const std::string description = set_->Field(kPackage, "Description");
  EXPECT_EQ(description.find("carries no publisher's brand settings") != std::string::npos,
            !QUORVANE_TEST_BRANDED)
      << description;
}

// The demo's packages beside Quorvane's. The demo build is the one
// scripts/demo --prepare made (scripts/test makes it first).
class BrandedBesideQuorvane : public DebianPackages {
 protected:
  static void SetUpTestSuite() {
    DebianPackages::SetUpTestSuite();
    if (fs::exists(kDemoBuild / "CPackConfig.cmake"))
      demo_ = new PackageSet(kDemoBuild, {kDemo}, QUORVANE_TEST_VERSION);
  }
  static void TearDownTestSuite() {
    delete demo_;
    demo_ = nullptr;
    DebianPackages::TearDownTestSuite();
  }
  void SetUp() override {
    DebianPackages::SetUp();
    if (!demo_) {
      if (std::getenv("QUORVANE_REQUIRE_DEMO")) FAIL() << kDemoBuild << " has no packages to make";
      GTEST_SKIP() << "no demo build: run scripts/demo --prepare first";
    }
    ASSERT_EQ(demo_->Made().exitCode, 0) << Joined(demo_->Made());
  }

  static PackageSet* demo_;
};
PackageSet* BrandedBesideQuorvane::demo_ = nullptr;

TEST_F(BrandedBesideQuorvane, TheBrandsPackageNamesTheBrandEverywhere) {
  const fs::path tree = demo_->Tree(kDemo);
  const std::string share = "usr/share/" + kDemo + "/";
  for (const std::string& path :
       {"usr/bin/" + kDemo, share + "dbsettings.dat", share + "banner1.dat", share + "banner2.dat",
        share + "mainskin.dat", share + "main.ico", "usr/share/man/man1/" + kDemo + ".1.gz",
        "usr/share/icons/hicolor/256x256/apps/" + kDemo + ".png",
        "usr/share/icons/hicolor/scalable/apps/" + kDemo + ".svg"})
    EXPECT_TRUE(fs::is_regular_file(tree / path)) << path;
  // The updater is the one program besides the executable, where no home
  // folder is; the identity and its picture stay with the build.
  const fs::path updater = tree / "usr/lib" / kDemo / "Updater.exe";
  ASSERT_TRUE(fs::exists(updater));
  EXPECT_NE(fs::status(updater).permissions() & fs::perms::owner_exec, fs::perms::none);
  EXPECT_FALSE(fs::exists(tree / share / "Updater.exe"));
  EXPECT_FALSE(fs::exists(tree / share / "identity.ini"));
  EXPECT_FALSE(fs::exists(tree / share / "demo-icon.svg"));

  EXPECT_EQ(DesktopKeys(tree / "usr/share/applications" / (kDemo + ".desktop")).at("Name"),
            "Quorvane Demo");
  const std::string metainfo =
      ReadFileBytes(tree / "usr/share/metainfo" / (kDemoAppStreamId + ".metainfo.xml"));
  EXPECT_NE(metainfo.find("<name>Quorvane Demo</name>"), std::string::npos);
  EXPECT_NE(metainfo.find("<developer_name>Quorvane Demo Publishing</developer_name>"),
            std::string::npos);
  const std::string copyright = ReadFileBytes(tree / "usr/share/doc" / kDemo / "copyright");
  EXPECT_NE(copyright.find("Upstream-Name: Quorvane Demo\n"), std::string::npos) << copyright;
  EXPECT_NE(copyright.find("Copyright: 2025-2026 Quorvane Demo Publishing\n"), std::string::npos)
      << copyright;
  const std::string page = Gunzipped(tree / "usr/share/man/man1" / (kDemo + ".1.gz"));
  EXPECT_EQ(page.rfind(".TH QUORVANE\\-DEMO 1 ", 0), 0u) << page.substr(0, 80);
  EXPECT_NE(page.find("~/.local/share/quorvane\\-demo/"), std::string::npos);
  EXPECT_EQ(demo_->Field(kDemo, "Maintainer"), "Quorvane Demo Publishing <demo@quorvane.com>\n");
  EXPECT_EQ(demo_->Field(kDemo, "Description").find("carries no"), std::string::npos);

  ExpectLintianClean(*demo_, kDemo);
  ExpectAppStreamDataValid(tree, kDemoAppStreamId);
  ExpectDesktopEntryValid(tree, kDemo);
}

// Both products in one system: no file of one is a file of the other, and
// dpkg installs both into a fresh root, then removes one without the other.
TEST_F(BrandedBesideQuorvane, BothInstallSideBySideAndPurgeApart) {
  std::vector<std::string> shared;
  const auto mine = set_->Files(kPackage);
  const auto theirs = demo_->Files(kDemo);
  std::set_intersection(mine.begin(), mine.end(), theirs.begin(), theirs.end(),
                        std::back_inserter(shared));
  EXPECT_TRUE(shared.empty()) << shared.front();

  TempFolder root;
  const std::string r = root.Path().string();
  for (const char* folder : {"var/lib/dpkg/info", "var/lib/dpkg/updates", "var/log"})
    fs::create_directories(root.Path() / folder);
  WriteFileBytes(root.Path() / "var/lib/dpkg/status", "");
  WriteFileBytes(root.Path() / "var/lib/dpkg/available", "");
  const auto dpkg = [&](std::vector<std::string> args) {
    std::vector<std::string> argv = {"dpkg",
                                     "--root=" + r,
                                     "--log=" + r + "/var/log/dpkg.log",
                                     "--force-not-root",
                                     "--force-depends",
                                     "--force-script-chrootless"};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunChild(argv);
  };
  const ChildResult installed =
      dpkg({"--install", set_->Deb(kPackage).string(), demo_->Deb(kDemo).string()});
  EXPECT_EQ(installed.exitCode, 0) << Joined(installed);
  EXPECT_EQ(Joined(installed).find("trying to overwrite"), std::string::npos) << Joined(installed);
  for (const auto& name : {kPackage, kDemo}) {
    const ChildResult status = dpkg({"--status", name});
    EXPECT_NE(status.out.find("Status: install ok installed"), std::string::npos) << name;
    EXPECT_TRUE(fs::exists(root.Path() / "usr/bin" / name)) << name;
  }

  const ChildResult purged = dpkg({"--purge", kDemo});
  EXPECT_EQ(purged.exitCode, 0) << Joined(purged);
  EXPECT_FALSE(fs::exists(root.Path() / "usr/share" / kDemo));
  EXPECT_FALSE(fs::exists(root.Path() / "usr/lib" / kDemo));
  EXPECT_FALSE(fs::exists(root.Path() / "usr/bin" / kDemo));
  EXPECT_TRUE(fs::exists(root.Path() / "usr/bin" / kPackage));
}

// Every file below `folder` that has an execute bit.
std::vector<std::string> Programs(const fs::path& folder) {
  std::vector<std::string> programs;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    struct stat info {};
    if (::lstat(entry.path().c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & 0111))
      programs.push_back(entry.path().string());
  }
  return programs;
}

// Starts the installed demo program (as unpacked) with this home, on the
// offscreen platform with a runtime folder of its own (so that Qt has
// nothing to remark); its standard error is read with its output.
RunningChild StartInstalled(const fs::path& tree, const fs::path& home, const fs::path& runtime) {
  return RunningChild({"/usr/bin/env", "-u", "XDG_DATA_HOME", "-u", "XDG_CONFIG_HOME", "-u",
                       "XDG_STATE_HOME", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY",
                       "QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR=" + runtime.string(),
                       "HOME=" + home.string(), "sh", "-c", "exec 2>&1; exec \"$0\"",
                       (tree / "usr/bin" / kDemo).string()});
}

// The program's own lines among what it wrote (Qt's platform plug-ins
// have remarks of their own).
std::vector<std::string> OwnLines(const std::vector<std::string>& lines) {
  std::vector<std::string> own;
  for (const auto& line : lines)
    if (line.rfind(kDemo + ":", 0) == 0) own.push_back(line);
  return own;
}

// True once `path` exists, while the child still runs.
bool AppearsWhileRunning(RunningChild& child, const fs::path& path) {
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  while (!fs::exists(path)) {
    siginfo_t info{};
    if (::waitid(P_PID, static_cast<id_t>(child.Pid()), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
        info.si_pid == child.Pid())
      return false;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

// The installed program works in a copy of the brand's data files in the
// user's data folder and starts nothing from there: a home mounted noexec
// runs it, and no program is ever put there, so removing the package
// leaves none behind.
TEST_F(BrandedBesideQuorvane, TheInstalledProgramRunsFromANoexecHomeAndPutsNoProgramThere) {
  const fs::path tree = demo_->Tree(kDemo);
  NoExecFolder home;
  if (!home.Active())
    std::printf("the home folder is not noexec: %s\n", home.WhyNotActive().c_str());
  const fs::path data = home.Path() / ".local/share" / kDemo;
  {
    TempFolder runtime;
    RunningChild program = StartInstalled(tree, home.Path(), runtime.Path());
    ASSERT_TRUE(AppearsWhileRunning(program, data / ".brand-files"))
        << "the program ended or made no program folder; its output:\n"
        << [&] {
             program.KillAndWait(SIGKILL);
             std::string all;
             for (const auto& line : program.RemainingLines()) all += line + "\n";
             return all;
           }();
    std::this_thread::sleep_for(1s);
    const int status = program.KillAndWait(SIGTERM);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM)
        << "it was still running; wait status " << status;
    EXPECT_EQ(OwnLines(program.RemainingLines()), std::vector<std::string>{});
  }
  for (const char* name :
       {"dbsettings.dat", "banner1.dat", "banner2.dat", "mainskin.dat", "main.ico"})
    EXPECT_EQ(ReadFileBytes(data / name), ReadFileBytes(tree / "usr/share" / kDemo / name)) << name;
  EXPECT_FALSE(fs::exists(data / "Updater.exe"));
  EXPECT_EQ(Programs(home.Path()), std::vector<std::string>{});
}

// On a full disk the installed program says so in one line and starts
// with what is there.
TEST_F(BrandedBesideQuorvane, TheInstalledProgramStartsOnAFullDiskAndSaysSo) {
  const fs::path tree = demo_->Tree(kDemo);
  SmallDisk disk(4 * 1024 * 1024);
  if (!disk.Real()) GTEST_SKIP() << "no full disk to start on: " << disk.WhyNotReal();
  const fs::path data = disk.Folder() / ".local/share" / kDemo;
  fs::create_directories(data);
  disk.Fill(0);
  TempFolder runtime;
  RunningChild program = StartInstalled(tree, disk.Folder(), runtime.Path());
  const auto line = program.ReadLine(60s);
  ASSERT_TRUE(line.has_value()) << "nothing said";
  EXPECT_EQ(line->rfind(kDemo + ": cannot copy ", 0), 0u) << *line;
  EXPECT_NE(line->find("; starting with the files already there"), std::string::npos) << *line;
  std::this_thread::sleep_for(1s);
  const int status = program.KillAndWait(SIGTERM);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM)
      << "it did not go on running; wait status " << status;
  disk.Unfill();
  EXPECT_EQ(OwnLines(program.RemainingLines()), std::vector<std::string>{}) << "said once";
  for (const auto& name : FolderEntries(data))
    EXPECT_EQ(name.find(".tmp"), std::string::npos) << "left behind: " << name;
}

}  // namespace
