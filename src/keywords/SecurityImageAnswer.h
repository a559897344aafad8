#pragma once

#include <string>

namespace quorvane {

// What the security-image dialog hands back when it closes, however it
// was closed: the typed characters and the page's two hidden values.
struct SecurityImageAnswer {
  std::string Password;
  std::string RandomValue;
  std::string SeedValue;
};

}  // namespace quorvane
