#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/BrandSettings.h"

namespace quorvane {

// On whose behalf news requests are made: the brand's tier picks the news
// base URL, the publisher id and the product-type code sent to the service.
struct BrandTier {
  std::string newsBaseUrl;
  std::string publisherId;
  std::string productType;  // "BM", "BP" or "BG"
};

// The tier named by BranderType, compared with exact letter case. "Free"
// and every other value have no tier.
std::optional<BrandTier> TierOf(const BrandSettings& brand);

// The tier a request is made for: TierOf, and only when its publisher id is
// non-empty. The base URL is not checked; an empty one fails as a transport
// failure would.
std::optional<BrandTier> RequestTierOf(const BrandSettings& brand);

// The news base URL of a product-type code by the same table; empty for an
// unknown code.
std::string NewsBaseUrlOf(const BrandSettings& brand, std::string_view productType);

}  // namespace quorvane
