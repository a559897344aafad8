#pragma once

#include <string>

#include "sim/Scenario.h"

// The live-update descriptor mainappupdate.inf, an INI text.
std::string UpdateDescriptor(const UpdateScenario& scenario);
