#pragma once

#include <string>

#include "sim/Scenario.h"

namespace quorvane::sim {

// The live-update descriptor mainappupdate.inf, an INI text.
std::string UpdateDescriptor(const UpdateScenario& scenario);

}  // namespace quorvane::sim
