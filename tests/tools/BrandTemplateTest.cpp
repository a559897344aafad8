#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/BrandReader.h"
#include "settings/LastNewsId.h"
#include "settings/SettingsLines.h"
#include "settings/SettingsTemplate.h"
#include "settings/SettingsWorkingCopy.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

using namespace quorvane;

// The template as the publisher gets it: printed by the real quorvane-brand,
// encrypted by it, and read from a program folder like the program does.

namespace {

const std::string kTool = QUORVANE_BRAND_TOOL;

TEST(BrandTemplate, PrintedEncryptedAndLoadedGivesItsExamples) {
  TempFolder program(true);
  TempFolder work;

  const ChildResult printed = RunChild({kTool, "template"});
  ASSERT_EQ(printed.exitCode, 0) << printed.err;
  EXPECT_EQ(printed.err, "");
  EXPECT_EQ(printed.out, SettingsTemplate());

  work.Write("settings.txt", printed.out);
  const ChildResult encrypted = RunChild({kTool, "encrypt", work.File("settings.txt").string(),
                                          program.File("dbsettings.dat").string()});
  ASSERT_EQ(encrypted.exitCode, 0) << encrypted.err;

  const auto lines = ReadSettingsLines();
  ASSERT_TRUE(lines.has_value());
  const LoadedBrand r = ReadBrand(JoinLines(*lines), "2.0", [](int) { return 0; });
  EXPECT_EQ(r.caption, "My Keyword Tool v2.0");
  EXPECT_EQ(r.values.AffiliateURL, "http://www.example.com/affiliate?id=12345");
  EXPECT_EQ(r.values.CopyrightCompany, "Example Publishing");
  EXPECT_EQ(r.makeMoneyCaption, "Earn Money");
  EXPECT_TRUE(r.newsVisible);
  EXPECT_EQ(r.values.BannerImage, "banner1.gif");
  EXPECT_EQ(r.bannerNumber, 1);
  EXPECT_EQ(r.values.Link1Caption, "Visit our site");
  EXPECT_EQ(r.values.Link2Caption, "More tools");
  EXPECT_NE(r.values.WelcomePage.find("</html>"), std::string::npos);

  // Its marker line takes the first save in place.
  EXPECT_EQ(ReadLastNewsId(), "");
  SaveLastNewsId("7");
  EXPECT_EQ(ReadLastNewsId(), "7");
  const ChildResult decrypted = RunChild(
      {kTool, "decrypt", program.File("dbsettings.dat").string(), work.File("back.txt").string()});
  ASSERT_EQ(decrypted.exitCode, 0) << decrypted.err;
  std::string expected = JoinLines(SplitLines(SettingsTemplate()));
  const std::string emptyMarker = "<%%LastNewsId%%><%%/LastNewsId%%>";
  expected.replace(expected.find(emptyMarker), emptyMarker.size(),
                   "<%%LastNewsId%%>7<%%/LastNewsId%%>");
  EXPECT_EQ(work.Read("back.txt"), expected);
}

TEST(BrandTemplate, TakesNoOperandsAndIsListedInTheHelp) {
  const ChildResult extra = RunChild({kTool, "template", "x"});
  EXPECT_EQ(extra.exitCode, 3);
  EXPECT_NE(extra.err.find("template takes no operands"), std::string::npos) << extra.err;
  const ChildResult help = RunChild({kTool, "--help"});
  EXPECT_NE(help.out.find("quorvane-brand [--password P] template\n"), std::string::npos)
      << help.out;
}

}  // namespace
