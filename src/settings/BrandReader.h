#pragma once

#include <string>
#include <string_view>

#include "settings/BrandSettings.h"
#include "settings/IndexChooser.h"
#include "settings/LoadedBrand.h"

namespace quorvane {

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
