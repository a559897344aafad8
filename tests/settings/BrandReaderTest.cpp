#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "settings/BrandReader.h"
#include "support/SettingsText.h"

using namespace quorvane;

namespace {

// A chooser that hands out fixed answers in order and records the counts
// it was asked about.
struct ScriptedChooser {
  std::vector<int> answers;
  std::vector<int> counts;

  IndexChooser Get() {
    return [this](int count) {
      counts.push_back(count);
      const std::size_t n = counts.size() - 1;
      return n < answers.size() ? answers[n] : 0;
    };
  }
};

LoadedBrand Read(const std::string& text, const std::vector<int>& answers = {}) {
  ScriptedChooser chooser{answers, {}};
  return ReadBrand(text, "2.0", chooser.Get());
}

TEST(BrandReader, ReadsEveryValueOfACompleteFile) {
  const std::string text =
      "Settings for the Acme brand\r\n" + Tag("ApplicationName", "Acme Finder") +
      Tag("BranderCode", "AC1") + Tag("BranderType", "Gold") +
      Tag("AffiliateURL", "http://aff.example/?id=%%AFFILIATEID%%") + Tag("AffiliateTYPE", "cb") +
      Tag("AffiliateID", "42") + Tag("MasterNewsBaseURL", "http://m.example/") +
      Tag("PlatinumNewsBaseURL", "http://p.example/") +
      Tag("GoldNewsBaseURL", "http://g.example/") + Tag("MasterPublID", "1") +
      Tag("PlatinumPublID", "2") + Tag("GoldPublID", "3") + Tag("MakeMoneyButton", "Earn") +
      Tag("AppHelpURL", "http://help.example/") + Tag("CopyrightYears", "2005-2007") +
      Tag("CopyrightCompany", "Acme Ltd") + Tag("AboutText", "About Acme") +
      Tag("Welcome1", "<p>hi</p>") + Tag("Banner1", "top.gif^http://banner.example/") +
      Tag("Link1", "Home^http://home.example/");

  const LoadedBrand r = Read(text);
  const BrandSettings& b = r.values;
  EXPECT_EQ(b.ApplicationName, "Acme Finder");
  EXPECT_EQ(b.BranderCode, "AC1");
  EXPECT_EQ(b.BranderType, "Gold");
  EXPECT_EQ(b.AffiliateURL, "http://aff.example/?id=42");
  EXPECT_EQ(b.AffiliateTYPE, "cb");
  EXPECT_EQ(b.AffiliateID, "42");
  EXPECT_EQ(b.MasterNewsBaseURL, "http://m.example/");
  EXPECT_EQ(b.PlatinumNewsBaseURL, "http://p.example/");
  EXPECT_EQ(b.GoldNewsBaseURL, "http://g.example/");
  EXPECT_EQ(b.MasterPublID, "1");
  EXPECT_EQ(b.PlatinumPublID, "2");
  EXPECT_EQ(b.GoldPublID, "3");
  EXPECT_EQ(b.AppHelpURL, "http://help.example/");
  EXPECT_EQ(b.CopyrightYears, "2005-2007");
  EXPECT_EQ(b.CopyrightCompany, "Acme Ltd");
  EXPECT_EQ(b.AboutText, "About Acme");
  EXPECT_EQ(b.WelcomePage, "<p>hi</p>");
  EXPECT_EQ(b.BannerImage, "top.gif");
  EXPECT_EQ(b.BannerURL, "http://banner.example/");
  EXPECT_EQ(b.Link1Caption, "Home");
  EXPECT_EQ(b.Link1URL, "http://home.example/");
  EXPECT_EQ(b.Link2Caption, "");
  EXPECT_EQ(b.Link2URL, "");
  EXPECT_EQ(b.IconFile, "main.ico");
  EXPECT_EQ(r.caption, "Acme Finder v2.0");
  EXPECT_TRUE(r.newsVisible);
  EXPECT_EQ(r.makeMoneyCaption, "Earn");
  EXPECT_EQ(r.bannerNumber, 1);
  EXPECT_TRUE(r.bannerHandPointer);
  EXPECT_TRUE(r.linksVisible);
}

TEST(BrandReader, EmptyTextGivesTheUnbrandedDecisions) {
  ScriptedChooser chooser;
  const LoadedBrand r = ReadBrand("", "2.0", chooser.Get());
  EXPECT_EQ(r.caption, " v2.0");
  EXPECT_FALSE(r.newsVisible);
  EXPECT_EQ(r.makeMoneyCaption, "Make Money");
  EXPECT_EQ(r.bannerNumber, 0);
  EXPECT_FALSE(r.bannerHandPointer);
  EXPECT_FALSE(r.linksVisible);
  EXPECT_EQ(r.values.ApplicationName, "");
  EXPECT_EQ(r.values.WelcomePage, "");
  EXPECT_EQ(r.values.IconFile, "main.ico");
  EXPECT_TRUE(chooser.counts.empty()) << "nothing to choose from";
}

TEST(BrandReader, ValuesKeepSpacesAndLineBreaks) {
  const std::string page = "  <html>\r\n  <body>Welcome</body>\r\n</html>\r\n";
  const LoadedBrand r = Read(Tag("ApplicationName", "  Spaced  ") +
                             Tag("AboutText", "\r\nline one\r\nline two ") + Tag("Welcome1", page));
  EXPECT_EQ(r.values.ApplicationName, "  Spaced  ");
  EXPECT_EQ(r.caption, "  Spaced   v2.0");
  EXPECT_EQ(r.values.AboutText, "\r\nline one\r\nline two ");
  EXPECT_EQ(r.values.WelcomePage, page);
}

TEST(BrandReader, TagsMatchInAnyLetterCase) {
  const LoadedBrand r =
      Read("<%%applicationname%%>Lower<%%/APPLICATIONNAME%%>\r\n" + Tag("BranderCode", "X"));
  EXPECT_EQ(r.values.ApplicationName, "Lower");
  EXPECT_EQ(r.values.BranderCode, "X");
}

TEST(BrandReader, ATagBeforeAnEarlierValueIsNotSeen) {
  const LoadedBrand r = Read(Tag("AboutText", "too early") + Tag("ApplicationName", "Name") +
                             Tag("BranderCode", "Code") + Tag("CopyrightYears", "2007"));
  EXPECT_EQ(r.values.AboutText, "");
  EXPECT_EQ(r.values.ApplicationName, "Name");
  EXPECT_EQ(r.values.BranderCode, "Code");
  EXPECT_EQ(r.values.CopyrightYears, "2007");
}

TEST(BrandReader, MissingTagsLeaveThePositionAndAnUnendedTagMovesPastIt) {
  // BranderCode and BranderType are missing; AffiliateURL has no end tag,
  // so its start tag is passed over and the search goes on behind it.
  const LoadedBrand r =
      Read(Tag("ApplicationName", "Name") + "<%%AffiliateURL%%>http://lost.example/\r\n" +
           Tag("AffiliateTYPE", "t") + Tag("AboutText", "about"));
  EXPECT_EQ(r.values.ApplicationName, "Name");
  EXPECT_EQ(r.values.BranderCode, "");
  EXPECT_EQ(r.values.AffiliateURL, "");
  EXPECT_EQ(r.values.AffiliateTYPE, "t");
  EXPECT_EQ(r.values.AboutText, "about");
}

TEST(BrandReader, AnEndTagWithoutValueReadsEmpty) {
  // An empty pair stops nothing: the next tag is still found.
  const LoadedBrand r = Read(Tag("ApplicationName", "") + Tag("BranderCode", "C"));
  EXPECT_EQ(r.values.ApplicationName, "");
  EXPECT_EQ(r.values.BranderCode, "C");
}

struct AffiliateCase {
  const char* name;
  std::string url;
  std::string id;
  std::string expected;
};

TEST(BrandReader, AffiliateIdTakesThePlaceholdersPlace) {
  const std::vector<AffiliateCase> cases = {
      {"at the end", "http://a.example/?id=%%AFFILIATEID%%", "42", "http://a.example/?id=42"},
      {"every occurrence", "%%AFFILIATEID%%/x/%%AFFILIATEID%%", "7", "7/x/7"},
      {"lower case stays", "http://a.example/?id=%%affiliateid%%", "42",
       "http://a.example/?id=%%affiliateid%%"},
      {"empty id removes it", "http://a.example/?id=%%AFFILIATEID%%", "", "http://a.example/?id="},
      {"id holding the placeholder is not expanded again", "u=%%AFFILIATEID%%", "a%%AFFILIATEID%%b",
       "u=a%%AFFILIATEID%%b"},
      {"no placeholder", "http://a.example/", "42", "http://a.example/"},
  };
  for (const auto& c : cases) {
    const LoadedBrand r = Read(Tag("AffiliateURL", c.url) + Tag("AffiliateID", c.id));
    EXPECT_EQ(r.values.AffiliateURL, c.expected) << c.name;
    EXPECT_EQ(r.values.AffiliateID, c.id) << c.name;
  }
}

struct NewsCase {
  const char* type;
  const char* filled;  // which publisher id / news address pair is present
  bool visible;
};

TEST(BrandReader, NewsButtonFollowsTheTierAndItsValues) {
  const std::vector<NewsCase> cases = {
      {"Master", "Master", true},    {"Master", "Gold", false}, {"Platinum", "Platinum", true},
      {"Platinum", "Master", false}, {"Gold", "Gold", true},    {"Gold", "Platinum", false},
      {"Free", "Master", true},      {"Free", "Gold", false},   {"master", "Master", false},
      {"GOLD", "Gold", false},       {"", "Master", false},     {"Silver", "Master", false},
      {"Master ", "Master", false},
  };
  for (const auto& c : cases) {
    const std::string tier = c.filled;
    std::string text = Tag("BranderType", c.type);
    for (const std::string t : {"Master", "Platinum", "Gold"})
      text += Tag(t + "NewsBaseURL", t == tier ? "http://news.example/" : "");
    for (const std::string t : {"Master", "Platinum", "Gold"})
      text += Tag(t + "PublID", t == tier ? "99" : "");
    EXPECT_EQ(Read(text).newsVisible, c.visible) << c.type << " with " << c.filled << " values";
  }
}

TEST(BrandReader, NewsButtonNeedsBothIdAndAddress) {
  BrandSettings b;
  b.BranderType = "Master";
  b.MasterPublID = "1";
  EXPECT_FALSE(NewsButtonVisible(b));
  b.MasterNewsBaseURL = "http://news.example/";
  EXPECT_TRUE(NewsButtonVisible(b));
  b.MasterPublID.clear();
  EXPECT_FALSE(NewsButtonVisible(b));
}

TEST(BrandReader, MakeMoneyCaption) {
  EXPECT_EQ(Read(Tag("MakeMoneyButton", "")).makeMoneyCaption, "Make Money");
  EXPECT_EQ(Read(Tag("MakeMoneyButton", " Get rich ")).makeMoneyCaption, " Get rich ");
}

TEST(BrandReader, AFamilyEndsAtItsFirstGap) {
  ScriptedChooser chooser{{1}, {}};
  const LoadedBrand r =
      ReadBrand(Tag("Welcome1", "one") + Tag("Welcome2", "two") + Tag("Welcome4", "four"), "2.0",
                chooser.Get());
  EXPECT_EQ(chooser.counts, std::vector<int>{2});
  EXPECT_EQ(r.values.WelcomePage, "two");
}

TEST(BrandReader, OnlySixteenMembersAreRead) {
  std::string text;
  for (int n = 1; n <= 17; ++n)
    text += Tag("Welcome" + std::to_string(n), "page" + std::to_string(n));
  ScriptedChooser chooser{{15}, {}};
  const LoadedBrand r = ReadBrand(text, "2.0", chooser.Get());
  EXPECT_EQ(chooser.counts, std::vector<int>{16});
  EXPECT_EQ(r.values.WelcomePage, "page16");
}

TEST(BrandReader, DrawsWelcomeThenBannerThenTwoDistinctLinks) {
  const std::string text = Tag("Welcome1", "w1") + Tag("Welcome2", "w2") +
                           Tag("Banner1", "a.jpg^http://a/") + Tag("Banner2", "b.jpg^http://b/") +
                           Tag("Banner3", "top.GIF^http://c/") + Tag("Link1", "L1^http://1/") +
                           Tag("Link2", "L2^http://2/") + Tag("Link3", "L3^http://3/");
  ScriptedChooser chooser{{0, 2, 1, 1}, {}};
  const LoadedBrand r = ReadBrand(text, "2.0", chooser.Get());
  EXPECT_EQ(chooser.counts, (std::vector<int>{2, 3, 3, 2}));
  EXPECT_EQ(r.values.WelcomePage, "w1");
  EXPECT_EQ(r.values.BannerImage, "top.GIF");
  EXPECT_EQ(r.values.BannerURL, "http://c/");
  EXPECT_EQ(r.bannerNumber, 3);
  // Link2 was drawn first; the second draw picks from Link1 and Link3.
  EXPECT_EQ(r.values.Link1Caption, "L2");
  EXPECT_EQ(r.values.Link1URL, "http://2/");
  EXPECT_EQ(r.values.Link2Caption, "L3");
  EXPECT_EQ(r.values.Link2URL, "http://3/");
}

TEST(BrandReader, FamiliesFollowTheSingleValuesInOnePass) {
  // A Banner tag standing before the last single value is passed over.
  const LoadedBrand r = Read(Tag("Banner1", "early.jpg^http://e/") + Tag("AboutText", "a") +
                             Tag("Link1", "L^http://l/"));
  EXPECT_EQ(r.bannerNumber, 0);
  EXPECT_EQ(r.values.BannerImage, "");
  EXPECT_EQ(r.values.Link1Caption, "L");
}

struct PiecesCase {
  const char* candidate;
  const char* first;
  const char* second;
};

TEST(BrandReader, CandidatesSplitAtTheCaret) {
  const std::vector<PiecesCase> cases = {
      {"top.jpg^http://x/", "top.jpg", "http://x/"},
      {"^http://x/", "", "http://x/"},
      {"top.jpg^http://x/^ignored", "top.jpg", "http://x/"},
      // Outside the format: no address gives an empty one.
      {"top.jpg^", "top.jpg", ""},
      {"top.jpg", "top.jpg", ""},
      {"^", "", ""},
  };
  for (const auto& c : cases) {
    const LoadedBrand banner = Read(Tag("Banner1", c.candidate));
    EXPECT_EQ(banner.values.BannerImage, c.first) << c.candidate;
    EXPECT_EQ(banner.values.BannerURL, c.second) << c.candidate;
    EXPECT_EQ(banner.bannerNumber, 1) << c.candidate;
    EXPECT_EQ(banner.bannerHandPointer, !std::string(c.second).empty()) << c.candidate;

    const LoadedBrand link = Read(Tag("Link1", c.candidate));
    EXPECT_EQ(link.values.Link1Caption, c.first) << c.candidate;
    EXPECT_EQ(link.values.Link1URL, c.second) << c.candidate;
    EXPECT_EQ(link.linksVisible, !std::string(c.first).empty()) << c.candidate;
  }
}

struct BannerKindCase {
  const char* image;
  bool animated;
  const char* format;
};

TEST(BrandReader, TheBannerNameTellsHowToShowThePicture) {
  const std::vector<BannerKindCase> cases = {
      {"top.GIF", true, "gif"},
      {"top.jpg", false, "jpg"},
      {"Top.JPEG", false, "jpeg"},
      {"logo.gif.bmp", true, "bmp"},
      {"pictures/top.png", false, "png"},
      {"C:\\pictures\\top.ico", false, "ico"},
      // Only the file name counts, not the folder part.
      {"x.gif/top.jpg", false, "jpg"},
      {"x.gif\\top", false, ""},
      {"noextension", false, ""},
  };
  for (const auto& c : cases) {
    const LoadedBrand r = Read(Tag("Banner1", std::string(c.image) + "^http://b/"));
    EXPECT_EQ(r.bannerAnimated, c.animated) << c.image;
    EXPECT_EQ(r.bannerFormat, c.format) << c.image;
  }
}

TEST(BrandReader, AFirstLinkWithoutCaptionHidesTheBarEvenWithASecond) {
  ScriptedChooser chooser{{0, 0}, {}};
  const LoadedBrand r =
      ReadBrand(Tag("Link1", "^http://1/") + Tag("Link2", "Two^http://2/"), "2.0", chooser.Get());
  EXPECT_FALSE(r.linksVisible);
  EXPECT_EQ(r.values.Link2Caption, "Two");
}

TEST(BrandReader, ClockChoicesStayInRangeAndVary) {
  std::set<int> seen;
  for (int n = 0; n < 300; ++n) {
    const int i = ChooseFromClock(3);
    ASSERT_GE(i, 0);
    ASSERT_LT(i, 3);
    seen.insert(i);
  }
  EXPECT_EQ(seen.size(), 3u);
  EXPECT_EQ(ChooseFromClock(1), 0);
}

}  // namespace
