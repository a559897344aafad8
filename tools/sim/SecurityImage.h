#pragma once

#include <string>
#include <string_view>

namespace quorvane::sim {

// The security image: the answer's characters, dark on a light speckled
// background, each letter nudged up or down. The noise is derived from
// `salt` (the challenge's random value), so every challenge looks a little
// different but the same challenge always gives the same bytes.
class SecurityImage {
 public:
  static std::string Png(std::string_view text, std::string_view salt);
};

}  // namespace quorvane::sim
