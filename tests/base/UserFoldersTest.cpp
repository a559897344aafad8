#include "base/UserFolders.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <optional>
#include <string>

#include "support/TempFolder.h"

namespace quorvane {
namespace {

// Sets (or unsets) an environment variable for one scope.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = getenv(name)) old_ = old;
    if (value) {
      setenv(name, value->c_str(), 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedVariable() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

struct FolderCase {
  const char* variable;
  std::filesystem::path (*folder)();
  const char* belowHome;
};

class UserFoldersTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(UserFoldersTest, AnAbsoluteVariableWinsAnythingElseFallsBackBelowHome) {
  const FolderCase c = GetParam();
  const ScopedVariable home("HOME", "/home/someone");
  const std::string product = ProductFolderName();

  const struct {
    std::optional<std::string> value;
    std::filesystem::path expected;
  } cases[] = {
      {"/srv/desk", std::filesystem::path("/srv/desk") / product},
      {std::nullopt, std::filesystem::path("/home/someone") / c.belowHome / product},
      {"", std::filesystem::path("/home/someone") / c.belowHome / product},
      // A relative path is not valid for the desktop's rules; it must not
      // make the folder depend on the current directory.
      {"relative/dir", std::filesystem::path("/home/someone") / c.belowHome / product},
  };
  for (const auto& each : cases) {
    const ScopedVariable variable(c.variable, each.value);
    EXPECT_EQ(c.folder(), each.expected) << c.variable << "=" << each.value.value_or("(unset)");
  }
}

INSTANTIATE_TEST_SUITE_P(
    EachFolder, UserFoldersTest,
    ::testing::Values(FolderCase{"XDG_CONFIG_HOME", UserConfigFolder, ".config"},
                      FolderCase{"XDG_STATE_HOME", UserStateFolder, ".local/state"},
                      FolderCase{"XDG_DATA_HOME", UserDataFolder, ".local/share"}),
    [](const auto& info) {
      std::string name = info.param.variable;
      std::erase(name, '_');
      return name;
    });

TEST(UserFolders, WithoutHomeTheAccountsHomeIsUsed) {
  const ScopedVariable home("HOME", std::nullopt);
  const ScopedVariable config("XDG_CONFIG_HOME", std::nullopt);
  const std::filesystem::path folder = UserConfigFolder();
  EXPECT_TRUE(folder.is_absolute()) << folder;
  EXPECT_EQ(folder.filename(), ProductFolderName());
}

TEST(UserFolders, CreateUserFolderMakesPrivateParentsAndAcceptsAnExistingFolder) {
  TempFolder temp;
  const auto folder = temp.Path() / "a" / "b" / "c";
  ASSERT_TRUE(CreateUserFolder(folder));
  struct stat info {};
  ASSERT_EQ(stat((temp.Path() / "a").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_TRUE(CreateUserFolder(folder));

  temp.Write("file", "x");
  EXPECT_FALSE(CreateUserFolder(temp.File("file")));
  EXPECT_FALSE(CreateUserFolder(temp.File("file") / "below"));
}

}  // namespace
}  // namespace quorvane
