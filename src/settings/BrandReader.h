#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/BrandSettings.h"
#include "settings/IndexChooser.h"
#include "settings/LoadedBrand.h"

namespace quorvane {

// The values as the reader cuts them, before any is interpreted: the
// single tags in reading order, then the members of the numbered families
// up to the first empty one.
struct BrandTags {
  std::vector<std::pair<std::string, std::string>> singles;  // tag name, value
  std::vector<std::string> welcomes;
  std::vector<std::string> banners;
  std::vector<std::string> links;

  // The value of a single tag by its name; empty for another name.
  const std::string& Value(std::string_view name) const;
};

// The names of the single tags, in the order the reader looks for them.
const std::vector<std::string>& BrandTagOrder();
// The numbered families, in reading order, and their highest number.
inline constexpr const char* kBrandFamilies[] = {"Welcome", "Banner", "Link"};
inline constexpr int kBrandFamilyMembers = 16;

BrandTags CutBrandTags(const std::string& settingsText);

// Cuts the brand values out of the settings text (already joined with CR LF
// after every line) and makes the window's decisions from them.
//
// The tags are read in one pass over the text, each search starting where
// the previous value's end tag begins, so a tag standing before an earlier
// value's end tag is not seen. Values are kept byte for byte, untrimmed.
// After the sixteen single values come the numbered families Welcome1..16,
// Banner1..16 and Link1..16, each ending at its first empty member.
// `choose` picks the welcome page, the banner and the two links.
LoadedBrand ReadBrand(const std::string& settingsText, std::string_view programVersion,
                      const IndexChooser& choose);

// The Check News button shows only for a tier with a publisher id and a
// news address to ask. The tier is compared with exact case; "Free" asks
// with the Master values.
bool NewsButtonVisible(const BrandSettings& brand);

}  // namespace quorvane
