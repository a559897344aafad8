#include "app/ResultsLimits.h"

#include "app/GroupThousands.h"

namespace quorvane {

std::string ByteSizeText(std::size_t bytes) {
  constexpr std::size_t kMiB = std::size_t{1} << 20;
  constexpr std::size_t kGiB = std::size_t{1} << 30;
  if (bytes >= kGiB && bytes % kGiB == 0)
    return GroupThousands(static_cast<long long>(bytes / kGiB)) + " GiB";
  if (bytes >= kMiB && bytes % kMiB == 0)
    return GroupThousands(static_cast<long long>(bytes / kMiB)) + " MiB";
  if (bytes >= kMiB) {
    // One decimal is enough to tell a file from the limit it passes.
    const auto tenths = (bytes * 10 + kMiB / 2) / kMiB;
    return GroupThousands(static_cast<long long>(tenths / 10)) + "." + std::to_string(tenths % 10) +
           " MiB";
  }
  return GroupThousands(static_cast<long long>(bytes)) + (bytes == 1 ? " byte" : " bytes");
}

}  // namespace quorvane
