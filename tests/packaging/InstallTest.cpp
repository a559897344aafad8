// What `cmake --install` lays out from this build: the portable program
// folder, the command on PATH that starts it, the desktop entry and the
// icons, all named after the product.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "base/ProductIdentity.h"
#include "base/ProgramVersion.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace fs = std::filesystem;

namespace {

// Reads "Key=Value" lines of a desktop entry.
std::map<std::string, std::string> DesktopKeys(const fs::path& file) {
  std::map<std::string, std::string> keys;
  std::istringstream in(ReadFileBytes(file));
  std::string line;
  while (std::getline(in, line)) {
    const auto eq = line.find('=');
    if (eq != std::string::npos && line[0] != '[' && line[0] != '#')
      keys[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return keys;
}

TEST(InstallLayout, PlainInstallHasTheProgramFolderCommandDesktopEntryAndIcons) {
  TempFolder prefix;
  const fs::path p = prefix.Path() / "with space";
  const std::string package(ProductCommand);
  const ChildResult installed =
      RunChild({QUORVANE_TEST_CMAKE, "--install", QUORVANE_TEST_BUILD_DIR, "--prefix", p.string()});
  ASSERT_EQ(installed.exitCode, 0) << installed.out << installed.err;

  const fs::path program = p / package / package;
  EXPECT_EQ(access(program.c_str(), X_OK), 0);
  // The command on PATH leads to the program in its folder, which the
  // program finds through the link.
  const fs::path command = p / "bin" / package;
  ASSERT_TRUE(fs::is_symlink(command));
  EXPECT_EQ(fs::canonical(command), fs::canonical(program));
  const ChildResult version = RunChild({command.string(), "--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, std::string(ProductName) + " " + std::string(ProgramVersion) + "\n");

  EXPECT_TRUE(fs::exists(p / "share/icons/hicolor/scalable/apps" / (package + ".svg")));
  for (const char* size : {"16x16", "32x32", "48x48", "256x256"})
    EXPECT_GT(fs::file_size(p / "share/icons/hicolor" / size / "apps" / (package + ".png")), 0u)
        << size;

  const fs::path entry = p / "share/applications" / (package + ".desktop");
  const auto keys = DesktopKeys(entry);
  EXPECT_EQ(keys.at("Type"), "Application");
  EXPECT_EQ(keys.at("Name"), std::string(ProductName));
  EXPECT_EQ(keys.at("Exec"), "\"" + command.string() + "\"");
  EXPECT_EQ(keys.at("StartupWMClass"), package);
  EXPECT_TRUE(fs::exists(keys.at("Icon"))) << keys.at("Icon");
  const ChildResult valid = RunChild({QUORVANE_TEST_DESKTOP_FILE_VALIDATE, entry.string()});
  EXPECT_EQ(valid.exitCode, 0);
  EXPECT_EQ(valid.out + valid.err, "") << "not even a hint";
}

}  // namespace
