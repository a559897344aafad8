#include <gtest/gtest.h>

#include <string>

#include "settings/BrandReader.h"
#include "settings/LastNewsMarker.h"
#include "settings/SettingsLines.h"
#include "settings/SettingsTemplate.h"

using namespace quorvane;

namespace {

TEST(SettingsTemplate, EveryTagReadsItsExample) {
  const std::string text = JoinLines(SplitLines(SettingsTemplate()));
  int draws = 0;
  const LoadedBrand r = ReadBrand(text, "2.0", [&](int count) {
    ++draws;
    return count - 1;
  });
  const BrandSettings& b = r.values;
  EXPECT_EQ(draws, 4) << "welcome, banner and two links";
  EXPECT_EQ(b.ApplicationName, "My Keyword Tool");
  EXPECT_EQ(b.BranderCode, "MKT");
  EXPECT_EQ(b.BranderType, "Gold");
  EXPECT_EQ(b.AffiliateURL, "http://www.example.com/affiliate?id=12345");
  EXPECT_EQ(b.AffiliateTYPE, "cpa");
  EXPECT_EQ(b.AffiliateID, "12345");
  EXPECT_EQ(b.MasterNewsBaseURL, "http://news.example.com/master/");
  EXPECT_EQ(b.PlatinumNewsBaseURL, "http://news.example.com/platinum/");
  EXPECT_EQ(b.GoldNewsBaseURL, "http://news.example.com/gold/");
  EXPECT_EQ(b.MasterPublID, "100");
  EXPECT_EQ(b.PlatinumPublID, "200");
  EXPECT_EQ(b.GoldPublID, "300");
  EXPECT_EQ(r.makeMoneyCaption, "Earn Money");
  EXPECT_EQ(b.AppHelpURL, "http://www.example.com/help/");
  EXPECT_EQ(b.CopyrightYears, "2007-2008");
  EXPECT_EQ(b.CopyrightCompany, "Example Publishing");
  EXPECT_EQ(b.AboutText,
            "My Keyword Tool finds the keywords your customers search for.\r\n"
            "Thank you for using it.");
  EXPECT_EQ(b.WelcomePage.substr(0, 8), "<html>\r\n");
  EXPECT_NE(b.WelcomePage.find("<h1>Welcome to My Keyword Tool</h1>"), std::string::npos);
  EXPECT_EQ(b.BannerImage, "banner2.jpg");
  EXPECT_EQ(b.BannerURL, "http://www.example.com/offer/");
  EXPECT_EQ(r.bannerNumber, 2);
  EXPECT_EQ(b.Link1Caption, "More tools");
  EXPECT_EQ(b.Link2Caption, "Visit our site");
  EXPECT_EQ(b.Link2URL, "http://www.example.com/");
  EXPECT_TRUE(r.newsVisible);
  EXPECT_EQ(FindLastNewsId(text), "");
}

}  // namespace
