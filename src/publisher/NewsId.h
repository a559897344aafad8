#pragma once

#include <cstdint>
#include <string_view>

namespace quorvane {

// A news id read as a signed 32-bit decimal integer: an optional sign and
// digits only. Anything else, the empty text and out-of-range values
// included, reads as 0.
std::int32_t ReadNewsId(std::string_view text);

}  // namespace quorvane
