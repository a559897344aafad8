#pragma once

#include <string>
#include <string_view>

namespace quorvane {

// The values the security-image dialog takes out of the page: the two
// hidden fields that go back with the answer and the image address.
struct SecurityImageValues {
  std::string RandomValue;
  std::string SeedValue;
  std::string ImageSrc;
};

// Cuts the random field, the seed field and then the first src attribute,
// in that order, walking forward through one copy of `pageHtml`; a missing
// field is empty and does not move the walk. "&amp;" in the image address
// becomes "&".
SecurityImageValues ReadSecurityImagePage(std::string_view pageHtml);

// One left-to-right pass replacing "&amp;" by "&"; text produced by a
// replacement is not searched again, so "&amp;amp;" becomes "&amp;".
std::string DecodeAmpersandsOnce(std::string_view text);

}  // namespace quorvane
