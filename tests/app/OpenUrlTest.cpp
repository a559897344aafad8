#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/OpenUrl.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

const char* const kVariables[] = {
    "HOME",          "XDG_CONFIG_HOME",     "XDG_DATA_HOME", "XDG_CONFIG_DIRS",
    "XDG_DATA_DIRS", "XDG_CURRENT_DESKTOP", "RECORD_FILE"};

// A desktop of its own in a temporary folder: the XDG variables point into
// it, and "browser" is a script that records how it was started.
class FakeDesktop : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : kVariables) {
      const char* value = std::getenv(name);
      if (value) saved_[name] = value;
      unsetenv(name);
    }
    Set("XDG_CONFIG_HOME", "config");
    Set("XDG_DATA_HOME", "data");
    Set("XDG_CONFIG_DIRS", "sysconfig");
    Set("XDG_DATA_DIRS", "sysdata");
    setenv("RECORD_FILE", Path("record").c_str(), 1);
  }

  void TearDown() override {
    for (const char* name : kVariables) {
      const auto it = saved_.find(name);
      if (it != saved_.end())
        setenv(name, it->second.c_str(), 1);
      else
        unsetenv(name);
    }
  }

  std::string Path(const std::string& relative) const { return (root_.Path() / relative).string(); }

  void Set(const char* variable, const std::string& relative) {
    setenv(variable, Path(relative).c_str(), 1);
  }

  void Put(const std::string& relative, const std::string& content) const {
    fs::create_directories(fs::path(Path(relative)).parent_path());
    WriteFileBytes(Path(relative), content);
  }

  // The recording browser: its argument count, its parent and each argument.
  std::string MakeBrowser(const std::string& relative) const {
    Put(relative,
        "#!/bin/sh\n"
        "{ echo \"$#\"; echo \"$PPID\"; for a in \"$@\"; do printf '%s' \"$a\"; done; } "
        "> \"$RECORD_FILE.tmp\"\n"
        "mv \"$RECORD_FILE.tmp\" \"$RECORD_FILE\"\n");
    fs::permissions(Path(relative), fs::perms::owner_all);
    return Path(relative);
  }

  static std::string Entry(const std::string& exec, const std::string& extra = "") {
    return "[Desktop Entry]\nType=Application\nName=Browser\n" + extra + "Exec=" + exec + "\n";
  }

  static std::string Defaults(const std::string& ids) {
    return "[Default Applications]\nx-scheme-handler/http=" + ids + "\n";
  }

  // Waits for the browser's record; nullopt when it never came.
  std::optional<std::string> WaitForRecord() const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
      if (fs::exists(Path("record"))) return ReadFileBytes(Path("record"));
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return std::nullopt;
  }

  TempFolder root_;
  std::map<std::string, std::string> saved_;
};

TEST_F(FakeDesktop, StartsTheBrowserWithTheAddressAsItsOneArgument) {
  const std::string browser = MakeBrowser("bin folder/browser");
  Put("config/mimeapps.list", Defaults("fake-browser.desktop;"));
  Put("data/applications/fake-browser.desktop", Entry("\"" + browser + "\" --new-window %u"));

  // Quotes, blanks and shell syntax reach the browser untouched.
  const std::string address = "http://x.example/a b?q=\"1\"&r=$HOME;`false`|x";
  EXPECT_TRUE(OpenUrl(address));
  const auto record = WaitForRecord();
  ASSERT_TRUE(record.has_value()) << "the browser did not start";
  const auto count = record->substr(0, record->find('\n'));
  const auto rest = record->substr(record->find('\n') + 1);
  const auto parent = std::stol(rest.substr(0, rest.find('\n')));
  EXPECT_EQ(count, "1");
  EXPECT_EQ(rest.substr(rest.find('\n') + 1), address);
  EXPECT_NE(parent, static_cast<long>(getpid())) << "the browser must not be our child";
}

TEST_F(FakeDesktop, AnEmptyAddressStillStartsTheBrowser) {
  const std::string browser = MakeBrowser("bin/browser");
  Put("config/mimeapps.list", Defaults("b.desktop"));
  Put("data/applications/b.desktop", Entry(browser + " %u"));
  EXPECT_TRUE(OpenUrl(""));
  const auto record = WaitForRecord();
  ASSERT_TRUE(record.has_value());
  EXPECT_EQ(record->substr(0, 2), "1\n");
  EXPECT_EQ(record->back(), '\n') << "one empty argument";
}

TEST_F(FakeDesktop, NoRegisteredBrowserOpensNothing) {
  MakeBrowser("bin/browser");
  // An entry that exists but is registered for another scheme only.
  Put("config/mimeapps.list",
      "[Default Applications]\nx-scheme-handler/mailto=b.desktop\n"
      "[Added Associations]\nx-scheme-handler/http=b.desktop\n");
  Put("data/applications/b.desktop", Entry(Path("bin/browser") + " %u"));
  EXPECT_EQ(RegisteredBrowser(), "");
  EXPECT_FALSE(OpenUrl("http://x.example/"));

  // A registered id without its desktop entry is no browser either.
  Put("config/mimeapps.list", Defaults("gone.desktop"));
  EXPECT_FALSE(OpenUrl("http://x.example/"));

  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_FALSE(fs::exists(Path("record")));
}

TEST_F(FakeDesktop, ABrowserThatCannotStartStillCounts) {
  Put("config/mimeapps.list", Defaults("b.desktop"));
  Put("data/applications/b.desktop", Entry(Path("bin/no-such-browser") + " %u"));
  EXPECT_TRUE(OpenUrl("http://x.example/"));
  Put("data/applications/b.desktop", Entry("quorvane-no-such-browser-on-path %u"));
  EXPECT_TRUE(OpenUrl("http://x.example/"));
}

struct LookupCase {
  const char* name;
  std::map<std::string, std::string> files;
  std::string desktop;  // XDG_CURRENT_DESKTOP
  std::string expected;
};

std::string Def(const std::string& ids) {
  return "[Default Applications]\nx-scheme-handler/http=" + ids + "\n";
}
std::string App(const std::string& exec, const std::string& extra = "") {
  return "[Desktop Entry]\n" + extra + "Type=Application\nExec=" + exec + "\n";
}

TEST_F(FakeDesktop, FindsTheDefaultInTheStandardOrder) {
  const std::vector<LookupCase> cases = {
      {"config home before config dirs and data",
       {{"config/mimeapps.list", Def("home.desktop")},
        {"sysconfig/mimeapps.list", Def("sys.desktop")},
        {"data/applications/mimeapps.list", Def("sys.desktop")},
        {"data/applications/home.desktop", App("/bin/home %u")},
        {"sysdata/applications/sys.desktop", App("/bin/sys %u")}},
       "",
       "/bin/home"},
      {"desktop-specific list first",
       {{"config/mimeapps.list", Def("plain.desktop")},
        {"config/x-test-mimeapps.list", Def("special.desktop")},
        {"data/applications/plain.desktop", App("/bin/plain")},
        {"data/applications/special.desktop", App("/bin/special")}},
       "X-Test:Other",
       "/bin/special"},
      {"config dirs before the applications folders",
       {{"sysconfig/mimeapps.list", Def("a.desktop")},
        {"sysdata/applications/mimeapps.list", Def("b.desktop")},
        {"sysdata/applications/a.desktop", App("/bin/a")},
        {"sysdata/applications/b.desktop", App("/bin/b")}},
       "",
       "/bin/a"},
      {"list in a system applications folder",
       {{"sysdata/applications/mimeapps.list",
         "# system\n[Default Applications]\n"
         "x-scheme-handler/https=x.desktop\n"
         " x-scheme-handler/http = b.desktop ; \n"},
        {"sysdata/applications/b.desktop", App("/bin/b")}},
       "",
       "/bin/b"},
      {"uninstalled first choice gives way to the next",
       {{"config/mimeapps.list", Def("missing.desktop;second.desktop;")},
        {"data/applications/second.desktop", App("/bin/second")}},
       "",
       "/bin/second"},
      {"uninstalled choice gives way to a later list",
       {{"config/mimeapps.list", Def("missing.desktop")},
        {"sysconfig/mimeapps.list", Def("later.desktop")},
        {"sysdata/applications/later.desktop", App("/bin/later")}},
       "",
       "/bin/later"},
      {"hidden entry in the data home hides the system one",
       {{"config/mimeapps.list", Def("b.desktop;c.desktop")},
        {"data/applications/b.desktop", App("/bin/b", "Hidden=true\n")},
        {"sysdata/applications/b.desktop", App("/bin/sysb")},
        {"sysdata/applications/c.desktop", App("/bin/c")}},
       "",
       "/bin/c"},
      {"entry without Exec is passed over",
       {{"config/mimeapps.list", Def("noexec.desktop;c.desktop")},
        {"data/applications/noexec.desktop", "[Desktop Entry]\nType=Application\n"},
        {"data/applications/c.desktop", App("/bin/c")}},
       "",
       "/bin/c"},
      {"entry in a subfolder",
       {{"config/mimeapps.list", Def("vendor-web.desktop")},
        {"sysdata/applications/vendor/web.desktop", App("/opt/vendor/web %U")}},
       "",
       "/opt/vendor/web"},
      {"quoted program with blanks and escapes",
       {{"config/mimeapps.list", Def("q.desktop")},
        {"data/applications/q.desktop", App(R"("/opt/My Web/run \\"x\\"" --flag %u)")}},
       "",
       "/opt/My Web/run \"x\""},
      {"Exec of another group is not used",
       {{"config/mimeapps.list", Def("g.desktop")},
        {"data/applications/g.desktop",
         "[Desktop Action new]\nExec=/bin/action\n[Desktop Entry]\nType=Application\n"
         "Exec=/bin/main %u\n"}},
       "",
       "/bin/main"},
  };
  for (const auto& c : cases) {
    TempFolder desktop;
    for (const char* v : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_DIRS"})
      unsetenv(v);
    setenv("XDG_CONFIG_HOME", (desktop.Path() / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (desktop.Path() / "data").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (desktop.Path() / "sysconfig").c_str(), 1);
    // Relative entries in a search path are ignored.
    setenv("XDG_DATA_DIRS",
           ((desktop.Path() / "empty").string() +
            ":relative/dir:" + (desktop.Path() / "sysdata").string())
               .c_str(),
           1);
    if (c.desktop.empty())
      unsetenv("XDG_CURRENT_DESKTOP");
    else
      setenv("XDG_CURRENT_DESKTOP", c.desktop.c_str(), 1);
    for (const auto& [path, content] : c.files) {
      fs::create_directories((desktop.Path() / path).parent_path());
      WriteFileBytes(desktop.Path() / path, content);
    }
    EXPECT_EQ(RegisteredBrowser(), c.expected) << c.name;
  }
}

TEST_F(FakeDesktop, StandardFoldersBelowHomeWhenNothingIsSet) {
  for (const char* v : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_DIRS"})
    unsetenv(v);
  Set("HOME", "home");
  const std::string browser = MakeBrowser("home/bin/browser");
  Put("home/.config/mimeapps.list", Defaults("homebrowser.desktop"));
  Put("home/.local/share/applications/homebrowser.desktop", Entry(browser + " %u"));
  EXPECT_EQ(RegisteredBrowser(), browser);
  EXPECT_TRUE(OpenUrl("http://home.example/"));
  const auto record = WaitForRecord();
  ASSERT_TRUE(record.has_value());
  EXPECT_NE(record->find("http://home.example/"), std::string::npos);
}

}  // namespace
