#include "settings/BrandReader.h"

#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

#include "base/AsciiText.h"
#include "base/TextRoutines.h"

namespace quorvane {

namespace {

constexpr int kMaxFamilyMembers = 16;

class TagCutter {
 public:
  explicit TagCutter(std::string_view text) : work_(text) {}

  std::string Cut(const std::string& name) {
    return CutBetween(work_, "<%%" + name + "%%>", "<%%/" + name + "%%>");
  }

  std::vector<std::string> CutFamily(const std::string& name) {
    std::vector<std::string> members;
    for (int n = 1; n <= kMaxFamilyMembers; ++n) {
      std::string value = Cut(name + std::to_string(n));
      if (value.empty()) break;
      members.push_back(std::move(value));
    }
    return members;
  }

 private:
  TextWalker work_;
};

// One left-to-right pass: an id that itself holds the placeholder must not
// be expanded again (a repeating replacement would never end).
std::string ReplaceEachOnce(const std::string& text, std::string_view searched,
                            const std::string& replacement) {
  std::string out;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(searched, from)) != std::string::npos;
       from = at + searched.size()) {
    out.append(text, from, at - from);
    out += replacement;
  }
  out.append(text, from, std::string::npos);
  return out;
}

// The banner's name may carry a folder part (either kind of slash); only
// the file name counts.
void DecideBannerKind(const std::string& bannerImage, LoadedBrand& result) {
  const auto slash = bannerImage.find_last_of("/\\");
  const std::string name =
      LowerAscii(slash == std::string::npos ? bannerImage : bannerImage.substr(slash + 1));
  result.bannerAnimated = name.find(".gif") != std::string::npos;
  const auto dot = name.find_last_of('.');
  result.bannerFormat = dot == std::string::npos ? "" : name.substr(dot + 1);
}

int Choose(const IndexChooser& choose, int count) {
  return std::clamp(choose(count), 0, count - 1);
}

// A candidate is "first^second"; anything after a second "^" is ignored.
// One without a second piece gives an empty one rather than failing.
std::pair<std::string, std::string> SplitCandidate(const std::string& candidate) {
  std::vector<std::string> pieces;
  SplitString('^', candidate, pieces);
  pieces.resize(std::max<std::size_t>(pieces.size(), 2));
  return {pieces[0], pieces[1]};
}

}  // namespace

bool NewsButtonVisible(const BrandSettings& brand) {
  const auto both = [](const std::string& id, const std::string& url) {
    return !id.empty() && !url.empty();
  };
  if (brand.BranderType == "Master" || brand.BranderType == "Free")
    return both(brand.MasterPublID, brand.MasterNewsBaseURL);
  if (brand.BranderType == "Platinum") return both(brand.PlatinumPublID, brand.PlatinumNewsBaseURL);
  if (brand.BranderType == "Gold") return both(brand.GoldPublID, brand.GoldNewsBaseURL);
  return false;
}

LoadedBrand ReadBrand(const std::string& settingsText, std::string_view programVersion,
                      const IndexChooser& choose) {
  LoadedBrand result;
  BrandSettings& b = result.values;
  TagCutter tags(settingsText);

  b.ApplicationName = tags.Cut("ApplicationName");
  result.caption = b.ApplicationName + " v" + std::string(programVersion);
  b.BranderCode = tags.Cut("BranderCode");
  b.BranderType = tags.Cut("BranderType");
  b.AffiliateURL = tags.Cut("AffiliateURL");
  b.AffiliateTYPE = tags.Cut("AffiliateTYPE");
  b.AffiliateID = tags.Cut("AffiliateID");
  b.AffiliateURL = ReplaceEachOnce(b.AffiliateURL, "%%AFFILIATEID%%", b.AffiliateID);
  b.MasterNewsBaseURL = tags.Cut("MasterNewsBaseURL");
  b.PlatinumNewsBaseURL = tags.Cut("PlatinumNewsBaseURL");
  b.GoldNewsBaseURL = tags.Cut("GoldNewsBaseURL");
  b.MasterPublID = tags.Cut("MasterPublID");
  b.PlatinumPublID = tags.Cut("PlatinumPublID");
  b.GoldPublID = tags.Cut("GoldPublID");
  result.newsVisible = NewsButtonVisible(b);
  result.makeMoneyCaption = tags.Cut("MakeMoneyButton");
  if (result.makeMoneyCaption.empty()) result.makeMoneyCaption = "Make Money";
  b.AppHelpURL = tags.Cut("AppHelpURL");
  b.CopyrightYears = tags.Cut("CopyrightYears");
  b.CopyrightCompany = tags.Cut("CopyrightCompany");
  b.AboutText = tags.Cut("AboutText");

  const std::vector<std::string> welcomes = tags.CutFamily("Welcome");
  const std::vector<std::string> banners = tags.CutFamily("Banner");
  std::vector<std::string> links = tags.CutFamily("Link");

  if (!welcomes.empty()) {
    b.WelcomePage = welcomes[Choose(choose, static_cast<int>(welcomes.size()))];
  }

  if (!banners.empty()) {
    const int i = Choose(choose, static_cast<int>(banners.size()));
    std::tie(b.BannerImage, b.BannerURL) = SplitCandidate(banners[i]);
    result.bannerNumber = i + 1;
    DecideBannerKind(b.BannerImage, result);
  }
  result.bannerHandPointer = !b.BannerURL.empty();

  if (!links.empty()) {
    const int j = Choose(choose, static_cast<int>(links.size()));
    std::tie(b.Link1Caption, b.Link1URL) = SplitCandidate(links[j]);
    links.erase(links.begin() + j);
    if (!links.empty()) {
      const int k = Choose(choose, static_cast<int>(links.size()));
      std::tie(b.Link2Caption, b.Link2URL) = SplitCandidate(links[k]);
    }
  }
  result.linksVisible = !b.Link1Caption.empty();

  b.IconFile = "main.ico";
  return result;
}

}  // namespace quorvane
