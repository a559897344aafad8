// A settings file that is there but cannot be read as it was meant: the
// loader still does what the window would do with it, and says once, on
// the error stream, what is wrong. The main window, built for real, says
// it exactly once, however often the file is decrypted afterwards.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/ui/FMain.h"
#include "settings/ContainerBytes.h"
#include "settings/LastNewsId.h"
#include "settings/LoadBrand.h"
#include "settings/SettingsFile.h"
#include "support/MainWindowFixture.h"
#include "support/SettingsText.h"
#include "support/TempFolder.h"

using namespace quorvane;

namespace {

const std::string kText = Tag("ApplicationName", "Acme Keywords") + Tag("BranderType", "Free");

std::string Damaged() {
  std::string bytes = EncryptBytes(kText, kSettingsPassword);
  bytes[12] ^= 0x01;  // the first ciphertext byte: '<' becomes '='
  return bytes;
}

TEST(UnreadableSettingsTest, EachTroubleIsNamedOnceAndTheWindowGetsWhatTheFileGives) {
  struct Case {
    const char* what;
    std::string file;
    std::string line;     // after "<program>: <folder>/dbsettings.dat: "; empty: nothing said
    std::string caption;  // what the window gets
  };
  const Case cases[] = {
      {"readable", EncryptBytes(kText, kSettingsPassword), "", "Acme Keywords v2.0"},
      {"another password", EncryptBytes(kText, "another"),
       "does not decrypt with the settings password (encrypted with another password, or not a "
       "brand settings file); the program starts without its brand",
       " v2.0"},
      {"a plain text", kText,
       "a plain settings text, not encrypted; the program starts without its brand", " v2.0"},
      {"damaged", Damaged(),
       "damaged (its check code does not match its content); what could be read of it is used",
       " v2.0"},
      {"too short", "abc",
       "damaged (its check code does not match its content); what could be read of it is used",
       " v2.0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder program(/*asProgramFolder=*/true);
    program.Write("dbsettings.dat", c.file);
    std::ostringstream problems;
    const auto brand = LoadBrand([](int) { return 0; }, problems);
    ASSERT_TRUE(brand.has_value());
    EXPECT_EQ(brand->caption, c.caption);
    const std::string expected =
        c.line.empty() ? ""
                       : std::string(program_invocation_short_name) + ": " +
                             program.File("dbsettings.dat").string() + ": " + c.line + "\n";
    EXPECT_EQ(problems.str(), expected);
  }
  TempFolder none(/*asProgramFolder=*/true);
  std::ostringstream problems;
  EXPECT_FALSE(LoadBrand([](int) { return 0; }, problems).has_value());
  EXPECT_EQ(problems.str(), "") << "no settings file is no trouble";
}

class UnreadableSettingsWindowTest : public MainWindowFixture {};

TEST_F(UnreadableSettingsWindowTest, TheProgramSaysItOnceOnItsErrorStream) {
  program_.Write("dbsettings.dat", EncryptBytes(kText, "another"));
  testing::internal::CaptureStderr();
  OpenWindow();
  window_->Timer1Timer();  // the start-up check reads the settings file again
  ReadLastNewsId();
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(window_->windowTitle().toStdString(), " v2.0");
  const std::string line =
      program_.File("dbsettings.dat").string() + ": does not decrypt with the settings password";
  EXPECT_NE(said.find(line), std::string::npos) << said;
  EXPECT_EQ(said.find(line), said.rfind(line)) << "said more than once: " << said;
}

}  // namespace
