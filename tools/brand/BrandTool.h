#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace quorvane {

// Exit statuses of quorvane-brand.
inline constexpr int kBrandExitOk = 0;
inline constexpr int kBrandExitWrongPassword = 1;  // the password check failed
inline constexpr int kBrandExitDamaged = 2;        // code mismatch; plaintext written
inline constexpr int kBrandExitError = 3;          // usage or file error

// Runs the publisher's brand tool on its arguments (without the program
// name): "encrypt PLAIN DAT", "decrypt DAT PLAIN", "--password P", "--help".
// Help goes to `out`, one-line error messages to `err`.
int RunBrandTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace quorvane
