#include "publisher/BrandTier.h"

#include <array>

namespace quorvane {

namespace {

struct TierRow {
  std::string_view name;
  std::string BrandSettings::*baseUrl;
  std::string BrandSettings::*publisherId;
  std::string_view productType;
};

// Checked in this order; only one can match.
constexpr std::array<TierRow, 3> kTiers{{
    {"Master", &BrandSettings::MasterNewsBaseURL, &BrandSettings::MasterPublID, "BM"},
    {"Platinum", &BrandSettings::PlatinumNewsBaseURL, &BrandSettings::PlatinumPublID, "BP"},
    {"Gold", &BrandSettings::GoldNewsBaseURL, &BrandSettings::GoldPublID, "BG"},
}};

}  // namespace

std::optional<BrandTier> TierOf(const BrandSettings& brand) {
  for (const auto& row : kTiers) {
    if (brand.BranderType == row.name) {
      return BrandTier{brand.*row.baseUrl, brand.*row.publisherId, std::string(row.productType)};
    }
  }
  return std::nullopt;
}

std::optional<BrandTier> RequestTierOf(const BrandSettings& brand) {
  auto tier = TierOf(brand);
  if (!tier || tier->publisherId.empty()) return std::nullopt;
  return tier;
}

std::string NewsBaseUrlOf(const BrandSettings& brand, std::string_view productType) {
  for (const auto& row : kTiers) {
    if (productType == row.productType) return brand.*row.baseUrl;
  }
  return {};
}

}  // namespace quorvane
