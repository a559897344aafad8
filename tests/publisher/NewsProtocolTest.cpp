// What the news requests carry and how their replies are read, without a
// server: the tier table, the request URL, the form body byte for byte and
// the reply rules.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "publisher/BrandTier.h"
#include "publisher/MultipartForm.h"
#include "publisher/NewsRecord.h"
#include "publisher/NewsReply.h"
#include "publisher/NewsRequest.h"

using namespace quorvane;

namespace {

using Strings = std::vector<std::string>;

BrandSettings ThreeTierBrand(const std::string& type) {
  BrandSettings brand;
  brand.BranderType = type;
  brand.BranderCode = "QV-7";
  brand.MasterNewsBaseURL = "http://127.0.0.1/master";
  brand.PlatinumNewsBaseURL = "http://127.0.0.1/platinum/";
  brand.GoldNewsBaseURL = "http://127.0.0.1/gold";
  brand.MasterPublID = "m-id";
  brand.PlatinumPublID = "p-id";
  brand.GoldPublID = "g-id";
  return brand;
}

TEST(BrandTierTest, TypeSelectsBaseIdAndCodeWithExactCase) {
  struct Case {
    const char* type;
    const char* base;
    const char* id;
    const char* code;
  };
  const Case tiers[] = {{"Master", "http://127.0.0.1/master", "m-id", "BM"},
                        {"Platinum", "http://127.0.0.1/platinum/", "p-id", "BP"},
                        {"Gold", "http://127.0.0.1/gold", "g-id", "BG"}};
  for (const auto& c : tiers) {
    const auto tier = TierOf(ThreeTierBrand(c.type));
    ASSERT_TRUE(tier) << c.type;
    EXPECT_EQ(tier->newsBaseUrl, c.base);
    EXPECT_EQ(tier->publisherId, c.id);
    EXPECT_EQ(tier->productType, c.code);
    EXPECT_EQ(NewsBaseUrlOf(ThreeTierBrand("Free"), c.code), c.base);
  }
  for (const char* type : {"Free", "gold", "GOLD", "Gold ", "", "BG"}) {
    EXPECT_FALSE(TierOf(ThreeTierBrand(type))) << '"' << type << '"';
    EXPECT_FALSE(RequestTierOf(ThreeTierBrand(type))) << '"' << type << '"';
  }
  EXPECT_EQ(NewsBaseUrlOf(ThreeTierBrand("Gold"), "bg"), "");
}

TEST(BrandTierTest, RequestNeedsPublisherIdButNotBaseUrl) {
  BrandSettings brand = ThreeTierBrand("Gold");
  brand.GoldPublID.clear();
  EXPECT_TRUE(TierOf(brand));
  EXPECT_FALSE(RequestTierOf(brand));

  brand = ThreeTierBrand("Gold");
  brand.GoldNewsBaseURL.clear();
  ASSERT_TRUE(RequestTierOf(brand));
  EXPECT_EQ(RequestTierOf(brand)->newsBaseUrl, "");
}

TEST(NewsRequestTest, UrlIsTheSameWithOrWithoutTrailingSlash) {
  EXPECT_EQ(NewsScriptUrl("http://127.0.0.1:8080/news", kNewsListScript),
            "http://127.0.0.1:8080/news/getlastnews.php");
  EXPECT_EQ(NewsScriptUrl("http://127.0.0.1:8080/news/", kNewsListScript),
            "http://127.0.0.1:8080/news/getlastnews.php");
  EXPECT_EQ(NewsScriptUrl("http://127.0.0.1:8080/news/", kNewsDetailsScript),
            "http://127.0.0.1:8080/news/getnewsdetails.php");
  EXPECT_EQ(NewsScriptUrl("", kNewsDetailsScript), "/getnewsdetails.php");
  // The brand's value is not trimmed; what no request line can carry is
  // encoded, the rest kept.
  EXPECT_EQ(NewsScriptUrl("http://127.0.0.1:8080/our news/\t", kNewsListScript),
            "http://127.0.0.1:8080/our%20news/%09/getlastnews.php");
}

TEST(MultipartFormTest, BoundaryIsEightHyphensAndFifteenDigitsOfLocalTime) {
  EXPECT_EQ(MakeFormBoundary({2024, 3, 7, 9, 5, 2, 45}), "--------030724090502045");
  EXPECT_EQ(MakeFormBoundary({1999, 12, 31, 23, 59, 59, 999}), "--------123199235959999");
  EXPECT_EQ(MakeFormBoundary({2000, 1, 1, 0, 0, 0, 0}), "--------010100000000000");
  EXPECT_EQ(MakeFormBoundary({2024, 3, 7, 9, 5, 2, 45}).size(), 23u);
}

TEST(MultipartFormTest, BodyMatchesTheServiceFormatByteForByte) {
  const std::string b = "--------030724090502045";
  const auto form =
      BuildMultipartBody(b, NewsFormFields("pub 1", "QV-7", "BG", "newsid", "42", "UA"));
  EXPECT_EQ(form.contentType, "multipart/form-data; boundary=--------030724090502045");
  EXPECT_EQ(form.body,
            "----------030724090502045\r\n"
            "Content-Disposition: form-data; name=\"memusername\"\r\n\r\npub 1\r\n"
            "----------030724090502045\r\n"
            "Content-Disposition: form-data; name=\"prodcode\"\r\n\r\nQV-7\r\n"
            "----------030724090502045\r\n"
            "Content-Disposition: form-data; name=\"prodtype\"\r\n\r\nBG\r\n"
            "----------030724090502045\r\n"
            "Content-Disposition: form-data; name=\"newsid\"\r\n\r\n42\r\n"
            "----------030724090502045\r\n"
            "Content-Disposition: form-data; name=\"newstarget\"\r\n\r\nUA\r\n"
            "----------030724090502045\r\n"
            "Content-Disposition: form-data; name=\"something\"\r\n\r\n\r\n"
            "\r\n"
            "----------030724090502045--\r\n");
}

TEST(MultipartFormTest, ValuesAreSentUnencoded) {
  const std::string value("a\"b\r\n\xAF^$5E\0z", 11);
  const auto form = BuildMultipartBody("--------000000000000000", {{"f", value}});
  EXPECT_NE(form.body.find("\r\n\r\n" + value + "\r\n"), std::string::npos);
}

TEST(NewsReplyTest, TrimsControlBytesAndBlanksOnlyAtTheEnds) {
  EXPECT_EQ(TrimReply(std::string("\0\t\r\n OK \x01\x20", 8)), "OK");
  EXPECT_EQ(TrimReply(" a b "), "a b");
  EXPECT_EQ(TrimReply("\xAFOK\xA0"), "\xAFOK\xA0");  // bytes above 127 stay
  EXPECT_EQ(TrimReply("\r\n\t "), "");
}

TEST(NewsReplyTest, OkAnywhereCountsAsSuccess) {
  EXPECT_TRUE(NewsReplySucceeded("OK"));
  EXPECT_TRUE(NewsReplySucceeded("BROKEN"));  // the letters inside another word
  EXPECT_FALSE(NewsReplySucceeded("ok"));
  EXPECT_FALSE(NewsReplySucceeded("INVALIDUSER"));
  EXPECT_FALSE(NewsReplySucceeded(""));
}

TEST(NewsReplyTest, ListKeepsNonEmptyPiecesThatAreNotOk) {
  struct Case {
    std::string reply;
    Strings records;
  };
  const Case cases[] = {
      {"OK", {}},
      {"\xAFOK", {}},
      {"3^Three^2024-01-03\xAF"
       "2^Two^2024-01-02\xAFOK",
       {"3^Three^2024-01-03", "2^Two^2024-01-02"}},
      {"1^A^d\xAFOK\xAF"
       "2^B^e\xAFOK",
       {"1^A^d", "2^B^e"}},
      {"1^A^d\xAF\xAF"
       "2^B^e\xAFOK",
       {"1^A^d", "2^B^e"}},
      {"1^A^d\xAF"
       "2^B^e",
       {"1^A^d", "2^B^e"}},
      {"1^BOOK^d\xAFOKAY\xAFOK", {"1^BOOK^d", "OKAY"}},
      {"1^$5E^d\xAFOK", {"1^$5E^d"}},  // titles are not decoded
      {"5^Same^d\xAF"
       "5^Same^d\xAFOK",
       {"5^Same^d", "5^Same^d"}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseNewsList(c.reply), c.records) << c.reply;
}

TEST(NewsReplyTest, NewestItemTakesIdAndTitleAndLeavesMissingFieldsEmpty) {
  struct Case {
    std::string reply;
    std::string id;
    std::string title;
  };
  const Case cases[] = {
      {"12^Spring offer\xAFOK", "12", "Spring offer"},
      {"OK", "", ""},
      {"\xAFOK", "", ""},
      {"12^\xAFOK", "12", ""},
      {"12\xAFOK", "12", ""},
      {"12^A^extra\xAFOK", "12", "A"},
      {"^Title\xAFOK", "", "Title"},
      {"12^$5E\xAFOK", "12", "$5E"},
  };
  for (const auto& c : cases) {
    const auto item = ParseNewestNewsItem(c.reply);
    EXPECT_EQ(item.id, c.id) << c.reply;
    EXPECT_EQ(item.title, c.title) << c.reply;
  }
}

TEST(NewsReplyTest, DetailsDropEndMarkersAndDecodeEscapes) {
  EXPECT_EQ(ParseNewsDetails("<b>$5E</b>\xAFOK"), "<b>^</b>");
  EXPECT_EQ(ParseNewsDetails("$3Cp$3E$24$3C/p$3E\xAFOK"), "<p>$</p>");
  EXPECT_EQ(ParseNewsDetails("<p>Hi</p>\xAFOK"), "<p>Hi</p>");
  EXPECT_EQ(ParseNewsDetails("<p>a</p>\xAFOK<p>b</p>\xAFOK"), "<p>a</p><p>b</p>");
  EXPECT_EQ(ParseNewsDetails("<p>$5G</p>\xAFOK"), "");
  EXPECT_EQ(ParseNewsDetails("<p>$5</p>\xAFOK"), "");
  EXPECT_EQ(ParseNewsDetails("\xAFOK"), "");
}

TEST(NewsReplyTest, FailureCodesAndTheirMessages) {
  const std::string access = "There is a trouble accessing the news site. Contact your provider.";
  const std::string settings = "There is a trouble in the settings file on the news site.";
  const std::string user = "There is a trouble with the Publisher Id. Contact your provider.";
  const std::string product =
      "There is a trouble with the product validation. Contact your provider.";
  const std::string news = "There is a trouble with this news. Contact your provider.";
  struct Case {
    const char* reply;
    std::optional<std::string> list;
    std::optional<std::string> details;
  };
  const Case cases[] = {
      {"", access, access},
      {"CONNECTIONFAIL", settings, settings},
      {"INVALIDUSER", user, user},
      {"INVALIDPRODUCT", product, product},
      {"INVALIDNEWS", std::nullopt, news},
      {"invaliduser", std::nullopt, std::nullopt},
      {"INVALIDUSER ", std::nullopt, std::nullopt},
      {"<html>500</html>", std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NewsFailureMessage(c.reply, NewsRequestKind::List), c.list) << c.reply;
    EXPECT_EQ(NewsFailureMessage(c.reply, NewsRequestKind::Details), c.details) << c.reply;
    EXPECT_EQ(NewsFailureMessage(c.reply, NewsRequestKind::Newest), std::nullopt) << c.reply;
  }
}

TEST(NewsRecordTest, SplitsFieldsAndLeavesMissingOnesEmpty) {
  struct Case {
    const char* record;
    NewsRecord fields;
  };
  const Case cases[] = {
      {"7^Title^2024-05-01", {"7", "Title", "2024-05-01"}},
      {"7^Title^2024-05-01^extra", {"7", "Title", "2024-05-01"}},
      {"7^Title", {"7", "Title", ""}},
      {"7^Title^", {"7", "Title", ""}},
      {"7", {"7", "", ""}},
      {"^^", {"", "", ""}},
      {"", {"", "", ""}},
  };
  for (const auto& c : cases) {
    const auto r = SplitNewsRecord(c.record);
    EXPECT_EQ(r.id, c.fields.id) << c.record;
    EXPECT_EQ(r.title, c.fields.title) << c.record;
    EXPECT_EQ(r.published, c.fields.published) << c.record;
  }
}

}  // namespace
