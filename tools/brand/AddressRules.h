#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

// What is wrong with an address the program opens or asks, or nothing when
// it can use it: an http:// or https:// scheme (any letter case), a host
// name or address, an optional port, and no blanks, line breaks or other
// bytes a browser or the HTTP client would refuse or change.
std::optional<std::string> AddressTrouble(std::string_view address);

// The same for a news service's base address, below which the program
// puts the script names: it also may not carry a query or a fragment.
std::optional<std::string> NewsAddressTrouble(std::string_view address);

}  // namespace quorvane
