// Where the first Save Results and Open Results start: the program folder
// of a plain build or an unpacked archive, Documents (else home) for the
// packaged program's hidden data folder or a folder the user cannot write.
#include "app/StartFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/TempFolder.h"

using namespace quorvane;

namespace {

TEST(StartFolderTest, TheProgramFolderUnlessItIsNoFolderOfTheUsers) {
  TempFolder root;
  const auto data = root.File("share");
  const auto documents = root.File("Documents");
  const auto home = root.Path();
  const auto unpacked = root.File("Apps/quorvane");
  const auto packaged = data / "quorvane";
  const auto readOnly = root.File("usr/lib/quorvane");
  for (const auto& folder : {unpacked, packaged, readOnly, documents})
    std::filesystem::create_directories(folder);
  ::chmod(readOnly.c_str(), 0555);
  // Through a link the data folder is still the data folder.
  std::filesystem::create_directory_symlink(data, root.File("share-link"));

  EXPECT_EQ(FirstFileFolder(unpacked, data, documents, home), unpacked);
  EXPECT_EQ(FirstFileFolder(packaged, data, documents, home), documents);
  EXPECT_EQ(FirstFileFolder(root.File("share-link/quorvane"), data, documents, home), documents);
  EXPECT_EQ(FirstFileFolder(packaged, root.File("share-link"), documents, home), documents);
  // "share2" is no folder below "share".
  std::filesystem::create_directories(root.File("share2/q"));
  EXPECT_EQ(FirstFileFolder(root.File("share2/q"), data, documents, home), root.File("share2/q"));
  if (::geteuid() != 0) {
    // Root may write anywhere.
    EXPECT_EQ(FirstFileFolder(readOnly, data, documents, home), documents);
  }
  // Without a Documents folder: home.
  EXPECT_EQ(FirstFileFolder(packaged, data, root.File("missing"), home), home);
  EXPECT_EQ(FirstFileFolder(packaged, data, {}, home), home);
  ::chmod(readOnly.c_str(), 0755);
}

}  // namespace
