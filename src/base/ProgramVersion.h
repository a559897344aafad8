#pragma once

#include <string_view>

#include "ProductIdentityValues.h"

namespace quorvane {

// The program's version: window caption, About window and live update.
// The build takes it from the product's identity file (2.0 unless a
// publisher's identity says otherwise).
inline constexpr std::string_view ProgramVersion = QUORVANE_IDENTITY_VERSION;

}  // namespace quorvane
