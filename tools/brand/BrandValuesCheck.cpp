#include "brand/BrandValuesCheck.h"

#include <array>
#include <optional>
#include <string_view>

#include "base/AsciiText.h"
#include "base/TextRoutines.h"
#include "brand/AddressRules.h"

namespace quorvane {

namespace {

constexpr std::string_view kPlaceholder = "%%AFFILIATEID%%";

struct TierNames {
  std::string_view tier;
  std::string_view addressTag;
  std::string_view publisherTag;
  std::string_view productType;
};

// The tiers that ask a news service, in the order the program tries them.
constexpr std::array<TierNames, 3> kNewsTiers{{
    {"Master", "MasterNewsBaseURL", "MasterPublID", "BM"},
    {"Platinum", "PlatinumNewsBaseURL", "PlatinumPublID", "BP"},
    {"Gold", "GoldNewsBaseURL", "GoldPublID", "BG"},
}};

// Values that are one word or one line: a line break or a blank at either
// end is kept by the program and is nearly always a slip.
// (Addresses have their own rule.)
constexpr std::array<std::string_view, 11> kOneLineTags = {
    "ApplicationName", "BranderCode",    "BranderType",     "AffiliateTYPE",
    "AffiliateID",     "MasterPublID",   "PlatinumPublID",  "GoldPublID",
    "MakeMoneyButton", "CopyrightYears", "CopyrightCompany"};

class ValueChecker {
 public:
  ValueChecker(const SettingsTextReading& reading, const std::string& file)
      : reading_(reading), read_(reading.read), file_(file) {}

  BrandProblems Run() {
    CheckOneLineValues();
    CheckNameAndCopyright();
    CheckTier();
    CheckAffiliate();
    CheckAddress("AppHelpURL", read_.Value("AppHelpURL"),
                 "empty: the Help button opens the browser without a page");
    for (const TierNames& tier : kNewsTiers) CheckNewsAddress(tier);
    CheckWelcomePages();
    CheckCandidates("Banner", read_.banners);
    CheckCandidates("Link", read_.links);
    return std::move(problems_);
  }

 private:
  void Add(const std::string& tag, std::string message) {
    problems_.push_back({file_, reading_.LineOf(tag), tag, std::move(message)});
  }

  void CheckOneLineValues() {
    for (const std::string_view name : kOneLineTags) {
      const std::string& value = read_.Value(name);
      if (value.empty()) continue;
      const std::string tag(name);
      if (value.find_first_of("\r\n") != std::string::npos) {
        Add(tag,
            "holds a line break: nothing between the tags is trimmed, so write the value "
            "on the line of its tags");
      } else if (Trim(value, kSpaceTab).size() != value.size()) {
        Add(tag, "begins or ends with a blank: nothing between the tags is trimmed");
      }
    }
  }

  void CheckNameAndCopyright() {
    if (read_.Value("ApplicationName").empty()) {
      Add("ApplicationName",
          "empty: the window caption shows only the version and the About window no name");
    }
    if (read_.Value("CopyrightYears").empty()) {
      Add("CopyrightYears", "empty: the About window's copyright line has no years");
    }
    if (read_.Value("CopyrightCompany").empty()) {
      Add("CopyrightCompany", "empty: the About window's copyright line names no company");
    }
  }

  void CheckTier() {
    const std::string& type = read_.Value("BranderType");
    if (type.empty()) {
      Add("BranderType", "empty: no tier; write Free for a brand without news");
      return;
    }
    if (type == "Free") {
      if (!read_.Value("MasterPublID").empty() && !read_.Value("MasterNewsBaseURL").empty()) {
        Add("BranderType",
            "Free with MasterPublID and MasterNewsBaseURL set shows the Check News button, but "
            "a Free brand asks no news service, so the button only ever says there is no news; "
            "write Master, or leave MasterPublID empty");
      }
      return;
    }
    const TierNames* tier = nullptr;
    for (const TierNames& t : kNewsTiers) {
      if (type == t.tier) tier = &t;
    }
    if (tier == nullptr) {
      for (const std::string_view known : {"Master", "Platinum", "Gold", "Free"}) {
        if (EqualsNoCase(Trim(type, kControlsAndSpace), known)) {
          Add("BranderType", "write the tier exactly \"" + std::string(known) +
                                 "\": it is compared letter for letter, and \"" + type +
                                 "\" is no tier");
          return;
        }
      }
      Add("BranderType", "\"" + type + "\" is no tier: write Master, Platinum, Gold or Free");
      return;
    }
    const std::string publisherTag(tier->publisherTag);
    const std::string addressTag(tier->addressTag);
    const bool hasId = !read_.Value(publisherTag).empty();
    const bool hasAddress = !read_.Value(addressTag).empty();
    if (!hasId) {
      Add(publisherTag, "empty, and the tier is " + type +
                            ": the Check News button stays hidden and no news is asked");
    }
    if (!hasAddress) {
      Add(addressTag, "empty, and the tier is " + type +
                          ": the Check News button stays hidden and no news is asked");
    }
    if (hasId && read_.Value("BranderCode").empty()) {
      Add("BranderCode",
          "empty: the news service gets no product code and cannot tell the product");
    }
  }

  void CheckAffiliate() {
    const std::string& url = read_.Value("AffiliateURL");
    const std::string& id = read_.Value("AffiliateID");
    const bool placeholder = url.find(kPlaceholder) != std::string::npos;
    if (!placeholder && FindNoCase(url, kPlaceholder) != std::string::npos) {
      Add("AffiliateURL",
          "write %%AFFILIATEID%% in capitals: in any other case it is not "
          "replaced by the affiliate id");
    } else if (!placeholder && !id.empty()) {
      Add("AffiliateID",
          "set, but AffiliateURL holds no %%AFFILIATEID%% to put it in: the id goes nowhere");
    }
    std::string opened = url;
    for (std::size_t at; (at = opened.find(kPlaceholder)) != std::string::npos;) {
      opened.replace(at, kPlaceholder.size(), id);
    }
    CheckAddress("AffiliateURL", opened,
                 "empty: the Make Money button opens the browser without a page");
  }

  void CheckAddress(const std::string& tag, const std::string& address,
                    const std::string& whenEmpty) {
    if (address.empty()) {
      if (!whenEmpty.empty()) Add(tag, whenEmpty);
      return;
    }
    if (const auto trouble = AddressTrouble(address)) Add(tag, *trouble);
  }

  void CheckNewsAddress(const TierNames& tier) {
    const std::string tag(tier.addressTag);
    const std::string& address = read_.Value(tag);
    if (address.empty()) return;
    if (const auto trouble = NewsAddressTrouble(address)) Add(tag, *trouble);
  }

  void CheckWelcomePages() {
    for (std::size_t i = 0; i < read_.welcomes.size(); ++i) {
      if (Trim(read_.welcomes[i], kControlsAndSpace).empty()) {
        Add("Welcome" + std::to_string(i + 1),
            "a blank page: the program shows it as the welcome page");
      }
    }
  }

  void CheckCandidates(const std::string& family, const std::vector<std::string>& values) {
    const bool banner = family == "Banner";
    for (std::size_t i = 0; i < values.size(); ++i) {
      const std::string tag = family + std::to_string(i + 1);
      if (values[i].find('^') == std::string::npos) {
        Add(tag, banner ? "no ^: write picture-name^address (the address may be empty)"
                        : "no ^: write caption^address");
        continue;
      }
      const BrandCandidate candidate = SplitCandidates({values[i]}).front();
      if (banner) {
        if (candidate.first.empty()) {
          Add(tag, "no picture name before ^: without one the banner is never shown");
        }
        if (!candidate.address.empty()) CheckAddress(tag, candidate.address, "");
        continue;
      }
      if (candidate.first.empty()) {
        Add(tag, "no caption before ^: when this link is chosen first, the link bar is hidden");
      }
      CheckAddress(tag, candidate.address, "no address after ^: a click on the link opens nothing");
    }
  }

  const SettingsTextReading& reading_;
  const BrandTags& read_;
  const std::string& file_;
  BrandProblems problems_;
};

}  // namespace

std::vector<BrandCandidate> SplitCandidates(const std::vector<std::string>& values) {
  std::vector<BrandCandidate> candidates;
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::vector<std::string> pieces;
    SplitString('^', values[i], pieces);
    pieces.resize(std::max<std::size_t>(pieces.size(), 2));
    candidates.push_back({static_cast<int>(i + 1), pieces[0], pieces[1]});
  }
  return candidates;
}

std::optional<NewsIdentity> NewsIdentityOf(const BrandTags& read) {
  const std::string& type = read.Value("BranderType");
  for (const TierNames& tier : kNewsTiers) {
    if (type != tier.tier) continue;
    NewsIdentity identity{std::string(tier.tier),        std::string(tier.addressTag),
                          read.Value(tier.addressTag),   std::string(tier.publisherTag),
                          read.Value(tier.publisherTag), read.Value("BranderCode"),
                          std::string(tier.productType)};
    if (identity.publisherId.empty()) return std::nullopt;
    return identity;
  }
  return std::nullopt;
}

BrandProblems CheckBrandValues(const SettingsTextReading& reading, const std::string& file) {
  return ValueChecker(reading, file).Run();
}

}  // namespace quorvane
