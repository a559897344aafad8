// main() of the widget tests: one QApplication for the whole binary, on the
// offscreen platform unless the caller chose another one, and a desktop of
// its own.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <filesystem>
#include <string>

namespace {

// Windows remember things in the user's configuration and state folders.
// Every test process gets fresh, empty ones, so that no test reads what
// another one (or the developer's own desktop) left there, and nothing a
// test writes outlives it. Child processes a test starts inherit them; a
// child that is itself a widget test keeps its parent's folders when the
// parent says so (kSharedFolders set), so that both see the same state.
constexpr const char* kSharedFolders = "QUORVANE_TEST_SHARED_USER_FOLDERS";

class PrivateUserFolders {
 public:
  PrivateUserFolders() {
    if (!qEnvironmentVariableIsEmpty(kSharedFolders)) return;
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quorvane-user-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return;
    root_ = pattern;
    for (const char* variable : {"XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME"}) {
      const auto folder = root_ / variable;
      std::filesystem::create_directory(folder);
      setenv(variable, folder.c_str(), 1);
    }
  }
  ~PrivateUserFolders() {
    std::error_code ec;
    if (!root_.empty()) std::filesystem::remove_all(root_, ec);
  }
  PrivateUserFolders(const PrivateUserFolders&) = delete;
  PrivateUserFolders& operator=(const PrivateUserFolders&) = delete;

 private:
  std::filesystem::path root_;
};

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const PrivateUserFolders userFolders;
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
