#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "brand/BrandProblem.h"
#include "brand/BrandValuesCheck.h"
#include "brand/PictureReader.h"

namespace quorvane {

struct BrandCheckOptions {
  // The picture decoders of the program's windows. Required.
  const PictureReader* pictures = nullptr;
  // Asks the brand's news service what the program asks it first (the
  // newest item) and returns why the answer is unusable, or nothing when
  // it is fine. Unset: the check stays off the network.
  std::function<std::optional<std::string>(const NewsIdentity&)> askNews;
};

// Everything that keeps the brand folder `folder` from shipping: its
// settings file (there, encrypted with the program's password, its tags
// and values as the program reads them), the pictures, skin, icon and
// updater beside it, the pictures its welcome pages name, the product
// identity file, and files that do not belong. Empty when it is ready.
// Throws FileError when the folder itself cannot be read.
BrandProblems CheckBrandFolder(const std::filesystem::path& folder,
                               const BrandCheckOptions& options);

}  // namespace quorvane
