#include "app/ui/DesktopSettings.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QFile>

#include "base/ProgramFolder.h"
#include "base/UserFolders.h"

namespace quorvane {
namespace {

TEST(DesktopSettings, LivesInTheUsersConfigurationFolderNeverInTheProgramFolder) {
  const char* config = getenv("XDG_CONFIG_HOME");
  ASSERT_NE(config, nullptr) << "the GUI test main gives every test its own folders";
  const DesktopSettings settings;
  const QString expected = QFile::decodeName(config) + "/" +
                           QString::fromStdString(ProductFolderName()) + "/" +
                           QString::fromStdString(ProductFolderName()) + ".conf";
  EXPECT_EQ(settings.FileName(), expected);
  EXPECT_FALSE(settings.FileName().startsWith(QFile::decodeName(ProgramFolder().c_str())));
}

}  // namespace
}  // namespace quorvane
