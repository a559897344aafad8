#pragma once

#include <string>

namespace quorvane::sim {

// Texts of quorvane-sim --help, shared with the /sim page.

// Command line and options.
std::string UsageText();
// Every endpoint, with addresses under `baseUrl`.
std::string EndpointsText(const std::string& baseUrl);
// The scenario file format with an example.
std::string ScenarioFormatText();

}  // namespace quorvane::sim
