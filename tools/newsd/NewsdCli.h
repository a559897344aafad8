#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace quorvane::newsd {

inline constexpr int kNewsdExitOk = 0;
inline constexpr int kNewsdExitContent = 1;  // --check: the folder has problems
inline constexpr int kNewsdExitConfig = 2;   // the configuration is wrong or missing
inline constexpr int kNewsdExitServe = 3;    // cannot listen

inline constexpr const char* kDefaultConfig = "/etc/quorvane-newsd.conf";

// The program: "[--config FILE] [--listen HOST:PORT] [--folder DIR]
// [--check]", "--help", "--version". Serves until SIGTERM or SIGINT;
// SIGHUP scans the folder again. The log goes to `log`, one line each.
int RunNewsd(const std::vector<std::string>& args, std::ostream& out, std::ostream& log);

}  // namespace quorvane::newsd
