#pragma once

#include <optional>
#include <string>
#include <vector>

#include "brand/BrandProblem.h"
#include "brand/SettingsTextCheck.h"

namespace quorvane {

// A numbered Banner or Link value split as the program splits it.
struct BrandCandidate {
  int number = 0;     // N of BannerN / LinkN
  std::string first;  // picture name or caption
  std::string address;
};

std::vector<BrandCandidate> SplitCandidates(const std::vector<std::string>& values);

// The tier a brand asks its news service as, when it asks one at all.
struct NewsIdentity {
  std::string tier;        // "Master", "Platinum" or "Gold"
  std::string addressTag;  // e.g. "GoldNewsBaseURL"
  std::string address;
  std::string publisherTag;  // e.g. "GoldPublID"
  std::string publisherId;
  std::string productCode;  // BranderCode
  std::string productType;  // "BM", "BP" or "BG"
};

// The brand's news identity, when its tier makes news requests and has a
// publisher id (the program asks nothing otherwise).
std::optional<NewsIdentity> NewsIdentityOf(const BrandTags& read);

// The values the program reads, judged by what the program does with
// them: the name and copyright line, the tier with its publisher id and
// news address, the product code, every address, the affiliate id, and the
// form of the banners and links. Problems name `file` and the line of the
// tag concerned.
BrandProblems CheckBrandValues(const SettingsTextReading& reading, const std::string& file);

}  // namespace quorvane
