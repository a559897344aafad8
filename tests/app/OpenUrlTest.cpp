// OpenUrl on desktops of the test's own: XDG folders in a temporary folder
// with desktop entries, MIME-apps lists and caches, and programs that
// record how they were started. Each OpenUrl runs in a child process set
// up like a fresh program on that desktop: the desktop library reads the
// XDG folders once per process, and the test process itself never looks
// for a browser, so no real browser can ever start.
#include <gtest/gtest.h>
#include <sys/wait.h>
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

using namespace quorvane;

namespace fs = std::filesystem;

namespace {

// How a recording program was started.
struct Start {
  std::string program;   // its path ($0)
  long parent = 0;       // its parent process
  std::string variable;  // BROWSER_VAR, set by a wrapper
  std::vector<std::string> args;
};

// Blanks, quotes, shell syntax and an ampersand: all of it must reach the
// browser as one argument, unchanged.
const std::string kTrickyAddress = "http://x.example/a b?q=\"1\"&r='$HOME';`false`|x%20y";

class FakeDesktop {
 public:
  FakeDesktop() {
    for (const char* folder :
         {"home", "config", "data/applications", "sysconfig", "sysdata/applications", "bin"})
      fs::create_directories(root_.File(folder));
  }

  std::string Root() const { return root_.Path().string(); }
  std::string Path(const std::string& relative) const { return root_.File(relative).string(); }

  void Put(const std::string& relative, const std::string& content) const {
    fs::create_directories(root_.File(relative).parent_path());
    WriteFileBytes(root_.File(relative), content);
  }

  // A program that records its start (each field ends in a NUL byte).
  std::string Recorder(const std::string& relative) const {
    Put(relative,
        "#!/bin/sh\n"
        "{ printf '%s\\0' \"$0\" \"$PPID\" \"${BROWSER_VAR-}\" \"$#\"\n"
        "  for a in \"$@\"; do printf '%s\\0' \"$a\"; done; } > \"$RECORD_FILE.tmp\"\n"
        "mv \"$RECORD_FILE.tmp\" \"$RECORD_FILE\"\n");
    fs::permissions(root_.File(relative), fs::perms::owner_all);
    return Path(relative);
  }

  // Runs OpenUrl(address) in a child process on this desktop; its result,
  // or nullopt when the child did not end normally.
  std::optional<bool> Open(const std::string& address) {
    const pid_t child = fork();
    if (child < 0) return std::nullopt;
    if (child == 0) {
      // Only this desktop: nothing of the machine's own can be found.
      for (const char* name : {"XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION",
                               "DBUS_SESSION_BUS_ADDRESS", "BROWSER_VAR"})
        unsetenv(name);
      setenv("HOME", Path("home").c_str(), 1);
      setenv("XDG_CONFIG_HOME", Path("config").c_str(), 1);
      setenv("XDG_DATA_HOME", Path("data").c_str(), 1);
      setenv("XDG_CONFIG_DIRS", Path("sysconfig").c_str(), 1);
      setenv("XDG_DATA_DIRS", Path("sysdata").c_str(), 1);
      setenv("RECORD_FILE", Path("record").c_str(), 1);
      const bool found = OpenUrl(address);
      _exit(found ? 10 : 11);
    }
    opener_ = child;
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
    }
    if (!WIFEXITED(status) || (WEXITSTATUS(status) != 10 && WEXITSTATUS(status) != 11))
      return std::nullopt;
    return WEXITSTATUS(status) == 10;
  }

  // The recorded start; nullopt when nothing started within `wait`.
  std::optional<Start> Started(std::chrono::milliseconds wait = std::chrono::seconds(10)) const {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (!fs::exists(root_.File("record"))) {
      if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::vector<std::string> fields;
    const std::string bytes = ReadFileBytes(root_.File("record"));
    for (std::size_t from = 0; from < bytes.size();) {
      const auto end = bytes.find('\0', from);
      fields.push_back(bytes.substr(from, end - from));
      from = end + 1;
    }
    if (fields.size() < 4 || fields.size() != 4 + std::stoul(fields[3])) {
      ADD_FAILURE() << "malformed record";
      return std::nullopt;
    }
    return Start{fields[0], std::stol(fields[1]), fields[2],
                 std::vector<std::string>(fields.begin() + 4, fields.end())};
  }

  pid_t Opener() const { return opener_; }

 private:
  TempFolder root_;
  pid_t opener_ = -1;
};

std::string Entry(const std::string& exec) {
  return "[Desktop Entry]\nType=Application\nName=Web\nExec=" + exec + "\n";
}

std::string Defaults(const std::string& ids) {
  return "[Default Applications]\nx-scheme-handler/http=" + ids + "\n";
}

using Files = std::map<std::string, std::string>;

struct StartCase {
  const char* name;
  // File contents; "{root}" in them stands for the desktop's root folder.
  Files files;
  std::string address;
  std::string program;  // the program expected to start, below the root
  std::vector<std::string> args;
  std::string variable = {};
};

std::string Rooted(std::string text, const std::string& root) {
  const std::string mark = "{root}";
  for (auto at = text.find(mark); at != std::string::npos; at = text.find(mark, at + root.size()))
    text.replace(at, mark.size(), root);
  return text;
}

TEST(OpenUrlTest, StartsTheRegisteredBrowserByTheDesktopsRules) {
  const std::vector<StartCase> cases = {
      {"quoted program path with a blank; the entry's own arguments stay",
       {{"config/mimeapps.list", Defaults("web.desktop;")},
        {"data/applications/web.desktop", Entry("\"{root}/bin folder/browser\" --new-window %u")}},
       kTrickyAddress,
       "bin folder/browser",
       {"--new-window", kTrickyAddress}},
      {"snap-style wrapper: env with a variable",
       {{"config/mimeapps.list", Defaults("snap-web.desktop")},
        {"data/applications/snap-web.desktop",
         Entry("env BROWSER_VAR=snap-web {root}/bin/browser %u")}},
       kTrickyAddress,
       "bin/browser",
       {kTrickyAddress},
       "snap-web"},
      {"flatpak-style wrapper with file forwarding",
       {{"config/mimeapps.list", Defaults("org.example.Web.desktop")},
        {"sysdata/applications/org.example.Web.desktop",
         Entry("{root}/bin/flatpak run --branch=stable --arch=x86_64 --command=web "
               "--file-forwarding org.example.Web @@u %u @@")}},
       kTrickyAddress,
       "bin/flatpak",
       {"run", "--branch=stable", "--arch=x86_64", "--command=web", "--file-forwarding",
        "org.example.Web", "@@u", kTrickyAddress, "@@"}},
      {"registered under Added Associations only",
       {{"config/mimeapps.list", "[Added Associations]\nx-scheme-handler/http=web.desktop;\n"},
        {"data/applications/web.desktop", Entry("{root}/bin/browser %U")}},
       "http://added.example/",
       "bin/browser",
       {"http://added.example/"}},
      {"registered only in the system's mimeinfo.cache",
       {{"sysdata/applications/mimeinfo.cache",
         "[MIME Cache]\nx-scheme-handler/http=web.desktop;\n"},
        {"sysdata/applications/web.desktop", Entry("{root}/bin/browser %u")}},
       "http://cache.example/",
       "bin/browser",
       {"http://cache.example/"}},
      {"an address without a scheme goes as it is",
       {{"config/mimeapps.list", Defaults("web.desktop")},
        {"data/applications/web.desktop", Entry("{root}/bin/browser %u")}},
       "www.example.com/a b",
       "bin/browser",
       {"www.example.com/a b"}},
      {"an empty address starts the browser without one",
       {{"config/mimeapps.list", Defaults("web.desktop")},
        {"data/applications/web.desktop", Entry("{root}/bin/browser %u")}},
       "",
       "bin/browser",
       {}},
      {"the user's default wins over the system's",
       {{"config/mimeapps.list", Defaults("mine.desktop")},
        {"sysconfig/mimeapps.list", Defaults("theirs.desktop")},
        {"sysdata/applications/mimeinfo.cache",
         "[MIME Cache]\nx-scheme-handler/http=theirs.desktop;\n"},
        {"data/applications/mine.desktop", Entry("{root}/bin/mine %u")},
        {"sysdata/applications/theirs.desktop", Entry("{root}/bin/theirs %u")}},
       "http://order.example/",
       "bin/mine",
       {"http://order.example/"}},
      {"a choice that is not installed gives way to the next",
       {{"config/mimeapps.list", Defaults("gone.desktop;noprogram.desktop;next.desktop")},
        {"data/applications/noprogram.desktop", Entry("{root}/bin/not-installed %u")},
        {"data/applications/next.desktop", Entry("{root}/bin/next %u")}},
       "http://next.example/",
       "bin/next",
       {"http://next.example/"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeDesktop desktop;
    for (const char* program :
         {"bin folder/browser", "bin/browser", "bin/flatpak", "bin/mine", "bin/theirs", "bin/next"})
      desktop.Recorder(program);
    for (const auto& [path, content] : c.files) desktop.Put(path, Rooted(content, desktop.Root()));
    EXPECT_EQ(desktop.Open(c.address), true);
    const auto start = desktop.Started();
    ASSERT_TRUE(start.has_value()) << "nothing started";
    EXPECT_EQ(start->program, desktop.Path(c.program));
    EXPECT_EQ(start->args, c.args);
    EXPECT_EQ(start->variable, c.variable);
    EXPECT_NE(start->parent, static_cast<long>(desktop.Opener()))
        << "the browser must not be the program's child";
  }
}

struct NoBrowserCase {
  const char* name;
  Files files;
};

TEST(OpenUrlTest, WithoutARegisteredBrowserReturnsFalseAndStartsNothing) {
  const std::vector<NoBrowserCase> cases = {
      {"an empty desktop", {}},
      {"a handler for another scheme only",
       {{"config/mimeapps.list",
         "[Default Applications]\nx-scheme-handler/mailto=web.desktop\n"
         "[Added Associations]\nx-scheme-handler/https=web.desktop;\n"},
        {"data/applications/web.desktop", Entry("{root}/bin/browser %u")}}},
      {"a registered id without its entry", {{"config/mimeapps.list", Defaults("gone.desktop")}}},
      {"an entry whose program is not installed",
       {{"config/mimeapps.list", Defaults("web.desktop")},
        {"data/applications/web.desktop", Entry("{root}/bin/not-installed %u")}}},
      {"the only association removed by the user",
       {{"config/mimeapps.list", "[Removed Associations]\nx-scheme-handler/http=web.desktop;\n"},
        {"sysdata/applications/mimeinfo.cache",
         "[MIME Cache]\nx-scheme-handler/http=web.desktop;\n"},
        {"sysdata/applications/web.desktop", Entry("{root}/bin/browser %u")}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeDesktop desktop;
    desktop.Recorder("bin/browser");
    for (const auto& [path, content] : c.files) desktop.Put(path, Rooted(content, desktop.Root()));
    EXPECT_EQ(desktop.Open("http://x.example/"), false);
    EXPECT_EQ(desktop.Started(std::chrono::milliseconds(300)), std::nullopt);
  }
}

TEST(OpenUrlTest, ABrowserThatFailsToStartStillCounts) {
  FakeDesktop desktop;
  desktop.Put("bin/broken", "#!/nonexistent/interpreter\n");
  fs::permissions(desktop.Path("bin/broken"), fs::perms::owner_all);
  desktop.Put("config/mimeapps.list", Defaults("broken.desktop"));
  desktop.Put("data/applications/broken.desktop", Entry(desktop.Path("bin/broken") + " %u"));
  EXPECT_EQ(desktop.Open("http://x.example/"), true);
}

TEST(WebAddressTest, AnAddressWithoutASchemeIsAWebAddress) {
  const std::pair<std::string, std::string> cases[] = {
      {"www.example.com", "http://www.example.com"},
      {"www.example.com/a?b=c", "http://www.example.com/a?b=c"},
      {"example.com:8080/x", "http://example.com:8080/x"},
      {"localhost:8080", "http://localhost:8080"},
      {"http://www.example.com/", "http://www.example.com/"},
      {"HTTPS://www.example.com/", "HTTPS://www.example.com/"},
      {"mailto:sales@example.com", "mailto:sales@example.com"},
      {"svn+ssh://host/repo", "svn+ssh://host/repo"},
      {"ftp.example.com", "http://ftp.example.com"},
      {"1a:b", "http://1a:b"},
  };
  for (const auto& [address, expected] : cases) EXPECT_EQ(WebAddress(address), expected) << address;
}

}  // namespace
