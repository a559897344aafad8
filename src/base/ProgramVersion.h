#pragma once

#include <string_view>

namespace quorvane {

// The program's version: window caption, About window and live update.
inline constexpr std::string_view ProgramVersion = "2.0";

}  // namespace quorvane
