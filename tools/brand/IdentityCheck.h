#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "brand/BrandProblem.h"
#include "brand/PictureReader.h"

namespace quorvane {

// The product identity file of a brand folder: the names, version and
// people the build writes into the program and its packages.
inline constexpr std::string_view kIdentityFile = "identity.ini";

struct IdentityKey {
  std::string_view section;
  std::string_view key;
  bool required;
};

// Every key the build reads from the identity file.
const std::vector<IdentityKey>& IdentityKeys();

struct IdentityReport {
  BrandProblems problems;
  // Files of the brand folder the identity names (its icon picture).
  std::set<std::string> files;
};

// Whether the identity file is there and complete: every required key
// given once, no unknown section or key (a misspelt one would be left
// out), and the icon picture it names beside it, a PNG that loads or an
// SVG drawing. The forms of the values are checked again by the build when
// it configures.
IdentityReport CheckIdentity(const std::filesystem::path& folder, const PictureReader& pictures);

}  // namespace quorvane
