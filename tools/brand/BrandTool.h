#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "brand/BrandValuesCheck.h"
#include "brand/PictureReader.h"

namespace quorvane {

// Exit statuses of quorvane-brand.
inline constexpr int kBrandExitOk = 0;
inline constexpr int kBrandExitWrongPassword = 1;  // the password check failed
inline constexpr int kBrandExitDamaged = 2;        // code mismatch; plaintext written
inline constexpr int kBrandExitError = 3;          // usage or file error
inline constexpr int kBrandExitPlainText = 4;      // decrypt: the file was never encrypted
// check: the brand has problems (listed one a line); 0 when it can ship.
inline constexpr int kBrandExitProblems = 1;

// What the commands need from outside the logic: the windows' picture
// decoders for `check`, and the network for `check --online`.
struct BrandToolParts {
  const PictureReader* pictures = nullptr;
  std::function<std::optional<std::string>(const NewsIdentity&)> askNews;
};

// Runs the publisher's brand tool on its arguments (without the program
// name): "template", "encrypt PLAIN DAT", "decrypt DAT PLAIN", "check
// [--online] FOLDER", "--password P", "--help". Help and the check's
// findings go to `out`, one-line error messages to `err`.
int RunBrandTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const BrandToolParts& parts = {});

}  // namespace quorvane
