// --help and --version of the program (both builds of it) and of the
// tools: answered on standard output with status 0, with no display to
// open and without touching the user's folders.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/ProductIdentity.h"
#include "base/ProgramVersion.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace fs = std::filesystem;

namespace {

// Runs `program args...` with no display of any kind and a fresh home.
ChildResult RunWithoutDisplay(const fs::path& home, const std::vector<std::string>& command) {
  std::vector<std::string> argv = {"env",
                                   "-u",
                                   "DISPLAY",
                                   "-u",
                                   "WAYLAND_DISPLAY",
                                   "-u",
                                   "QT_QPA_PLATFORM",
                                   "-u",
                                   "XDG_CONFIG_HOME",
                                   "-u",
                                   "XDG_DATA_HOME",
                                   "-u",
                                   "XDG_STATE_HOME",
                                   "-u",
                                   "XDG_RUNTIME_DIR",
                                   "HOME=" + home.string()};
  argv.insert(argv.end(), command.begin(), command.end());
  return RunChild(argv);
}

TEST(CommandLine, HelpAndVersionAnswerWithoutADisplay) {
  const std::string product = std::string(ProductName) + " " + std::string(ProgramVersion) + "\n";
  const std::string version(ProgramVersion);
  const std::string usage = "Usage: " + std::string(ProductCommand) + " [--help | --version]\n";
  const struct {
    const char* program;
    const char* option;
    std::string expected;  // the whole output, or how it begins for --help
  } cases[] = {
      {QUORVANE_TEST_PROGRAM, "--version", product},
      {QUORVANE_TEST_PROGRAM, "--help", usage},
      {QUORVANE_TEST_INSTALLED_PROGRAM, "--version", product},
      {QUORVANE_TEST_INSTALLED_PROGRAM, "--help", usage},
      {QUORVANE_TEST_BRAND_TOOL, "--version", "quorvane-brand " + version + "\n"},
      {QUORVANE_TEST_BRAND_TOOL, "--help", "Usage:\n"},
      {QUORVANE_TEST_SIM, "--version", "quorvane-sim " + version + "\n"},
      {QUORVANE_TEST_SIM, "--help", "Usage: quorvane-sim "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.program) + " " + c.option);
    TempFolder home;
    const ChildResult r = RunWithoutDisplay(home.Path(), {c.program, c.option});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    if (std::string(c.option) == "--version") {
      EXPECT_EQ(r.out, c.expected);
    } else {
      EXPECT_EQ(r.out.substr(0, c.expected.size()), c.expected);
      EXPECT_GT(r.out.size(), c.expected.size() + 40) << "more than a usage line";
    }
    // Nothing was made in the home folder: no program folder, no settings.
    EXPECT_TRUE(home.Entries().empty());
  }
}

// The program reads no other arguments: whatever else stands there, a
// question is still answered, and nothing else is.
TEST(CommandLine, TheProgramAnswersAQuestionAmongOtherArguments) {
  TempFolder home;
  const ChildResult r = RunWithoutDisplay(
      home.Path(), {QUORVANE_TEST_PROGRAM, "results.csv", "--version", "--unknown"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, std::string(ProductName) + " " + std::string(ProgramVersion) + "\n");
}

}  // namespace
