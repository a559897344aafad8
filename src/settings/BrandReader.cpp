#include "settings/BrandReader.h"

#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

#include "base/AsciiText.h"
#include "base/TextRoutines.h"

namespace quorvane {

namespace {

class TagCutter {
 public:
  explicit TagCutter(std::string_view text) : work_(text) {}

  std::string Cut(const std::string& name) {
    return CutBetween(work_, "<%%" + name + "%%>", "<%%/" + name + "%%>");
  }

  std::vector<std::string> CutFamily(const std::string& name) {
    std::vector<std::string> members;
    for (int n = 1; n <= kBrandFamilyMembers; ++n) {
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

const std::vector<std::string>& BrandTagOrder() {
  static const std::vector<std::string> order = {
      "ApplicationName", "BranderCode",  "BranderType",       "AffiliateURL",
      "AffiliateTYPE",   "AffiliateID",  "MasterNewsBaseURL", "PlatinumNewsBaseURL",
      "GoldNewsBaseURL", "MasterPublID", "PlatinumPublID",    "GoldPublID",
      "MakeMoneyButton", "AppHelpURL",   "CopyrightYears",    "CopyrightCompany",
      "AboutText"};
  return order;
}

const std::string& BrandTags::Value(std::string_view name) const {
  static const std::string none;
  for (const auto& [tag, value] : singles) {
    if (tag == name) return value;
  }
  return none;
}

BrandTags CutBrandTags(const std::string& settingsText) {
  BrandTags result;
  TagCutter tags(settingsText);
  for (const std::string& name : BrandTagOrder()) result.singles.emplace_back(name, tags.Cut(name));
  result.welcomes = tags.CutFamily("Welcome");
  result.banners = tags.CutFamily("Banner");
  result.links = tags.CutFamily("Link");
  return result;
}

LoadedBrand ReadBrand(const std::string& settingsText, std::string_view programVersion,
                      const IndexChooser& choose) {
  LoadedBrand result;
  BrandSettings& b = result.values;
  BrandTags cut = CutBrandTags(settingsText);
  const auto value = [&cut](std::string_view name) { return cut.Value(name); };

  b.ApplicationName = value("ApplicationName");
  result.caption = b.ApplicationName + " v" + std::string(programVersion);
  b.BranderCode = value("BranderCode");
  b.BranderType = value("BranderType");
  b.AffiliateURL = value("AffiliateURL");
  b.AffiliateTYPE = value("AffiliateTYPE");
  b.AffiliateID = value("AffiliateID");
  b.AffiliateURL = ReplaceEachOnce(b.AffiliateURL, "%%AFFILIATEID%%", b.AffiliateID);
  b.MasterNewsBaseURL = value("MasterNewsBaseURL");
  b.PlatinumNewsBaseURL = value("PlatinumNewsBaseURL");
  b.GoldNewsBaseURL = value("GoldNewsBaseURL");
  b.MasterPublID = value("MasterPublID");
  b.PlatinumPublID = value("PlatinumPublID");
  b.GoldPublID = value("GoldPublID");
  result.newsVisible = NewsButtonVisible(b);
  result.makeMoneyCaption = value("MakeMoneyButton");
  if (result.makeMoneyCaption.empty()) result.makeMoneyCaption = "Make Money";
  b.AppHelpURL = value("AppHelpURL");
  b.CopyrightYears = value("CopyrightYears");
  b.CopyrightCompany = value("CopyrightCompany");
  b.AboutText = value("AboutText");

  const std::vector<std::string>& welcomes = cut.welcomes;
  const std::vector<std::string>& banners = cut.banners;
  std::vector<std::string>& links = cut.links;

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
