#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "sim/Scenario.h"

namespace quorvane::sim {

// A scenario file's text or content is wrong. The message names the file
// and line: "demo.scenario:12: unknown key "rowz" in [suggest]".
class ScenarioError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads scenario files (format in HelpText.cpp, ScenarioFormatText).
class ScenarioFile {
 public:
  static Scenario Load(const std::filesystem::path& file);
  // `origin` names the text in messages; body_file paths are taken
  // relative to `folder`.
  static Scenario Parse(std::string_view text, const std::string& origin,
                        const std::filesystem::path& folder);
};

}  // namespace quorvane::sim
