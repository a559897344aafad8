// The brand settings loader on arbitrary decrypted text. The first four
// bytes are the random draws (welcome page, banner, first and second link),
// each taken modulo the number of candidates; the rest is the text as the
// working copy holds it, read as lines and joined again with CR LF.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "settings/BrandReader.h"
#include "settings/SettingsLines.h"

using namespace quorvane;

namespace {

constexpr std::size_t kDraws = 4;

class ScriptedChooser {
 public:
  explicit ScriptedChooser(std::string_view draws) : draws_(draws) {}

  int operator()(int count) {
    FUZZ_CHECK(count >= 1 && count <= 16);
    const auto draw = next_ < draws_.size() ? static_cast<unsigned char>(draws_[next_]) : 0;
    ++next_;
    return draw % count;
  }

 private:
  std::string_view draws_;
  std::size_t next_ = 0;
};

// A value is cut from the text whole: it lies in it and holds no end tag.
void CheckValue(const std::string& text, const std::string& value, std::string_view name) {
  if (value.empty()) return;
  FUZZ_CHECK(text.find(value) != std::string::npos);
  FUZZ_CHECK(!ContainsNoCase(value, "<%%/" + std::string(name) + "%%>"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = AsText(data, size);
  const std::string_view draws = input.substr(0, kDraws);
  const std::string_view settings = input.substr(draws.size());

  const std::vector<std::string> lines = SplitLines(settings);
  for (const auto& line : lines) FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
  const std::string text = JoinLines(lines);
  // Written back and read again, the lines stay the same.
  FUZZ_CHECK(SplitLines(text) == lines);

  ScriptedChooser chooser(draws);
  const LoadedBrand brand = ReadBrand(text, "2.0", std::ref(chooser));
  const BrandSettings& b = brand.values;

  FUZZ_CHECK(brand.caption == b.ApplicationName + " v2.0");
  FUZZ_CHECK(brand.newsVisible == NewsButtonVisible(b));
  FUZZ_CHECK(!brand.makeMoneyCaption.empty());
  FUZZ_CHECK(brand.linksVisible == !b.Link1Caption.empty());
  FUZZ_CHECK(brand.bannerHandPointer == !b.BannerURL.empty());
  FUZZ_CHECK(b.IconFile == "main.ico");
  FUZZ_CHECK(brand.bannerNumber >= 0 && brand.bannerNumber <= 16);
  if (brand.bannerNumber == 0) FUZZ_CHECK(b.BannerImage.empty() && b.BannerURL.empty());
  for (const std::string* piece :
       {&b.BannerImage, &b.BannerURL, &b.Link1Caption, &b.Link1URL, &b.Link2Caption, &b.Link2URL})
    FUZZ_CHECK(piece->find('^') == std::string::npos);

  CheckValue(text, b.ApplicationName, "ApplicationName");
  CheckValue(text, b.BranderCode, "BranderCode");
  CheckValue(text, b.BranderType, "BranderType");
  CheckValue(text, b.AffiliateTYPE, "AffiliateTYPE");
  CheckValue(text, b.AffiliateID, "AffiliateID");
  CheckValue(text, b.MasterNewsBaseURL, "MasterNewsBaseURL");
  CheckValue(text, b.PlatinumNewsBaseURL, "PlatinumNewsBaseURL");
  CheckValue(text, b.GoldNewsBaseURL, "GoldNewsBaseURL");
  CheckValue(text, b.MasterPublID, "MasterPublID");
  CheckValue(text, b.PlatinumPublID, "PlatinumPublID");
  CheckValue(text, b.GoldPublID, "GoldPublID");
  CheckValue(text, b.AppHelpURL, "AppHelpURL");
  CheckValue(text, b.CopyrightYears, "CopyrightYears");
  CheckValue(text, b.CopyrightCompany, "CopyrightCompany");
  CheckValue(text, b.AboutText, "AboutText");
  FUZZ_CHECK(b.WelcomePage.empty() || text.find(b.WelcomePage) != std::string::npos);

  // The same text and the same draws decide the same.
  ScriptedChooser again(draws);
  const LoadedBrand second = ReadBrand(text, "2.0", std::ref(again));
  FUZZ_CHECK(second.values.WelcomePage == b.WelcomePage);
  FUZZ_CHECK(second.values.Link2URL == b.Link2URL);
  FUZZ_CHECK(second.bannerNumber == brand.bannerNumber);
  return 0;
}
