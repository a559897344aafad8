#include "sim/UpdateDescriptor.h"

namespace quorvane::sim {

std::string UpdateDescriptor(const UpdateScenario& scenario) {
  if (scenario.raw) return *scenario.raw;
  return "[APPLICATION]\r\nName=Quorvane\r\nVersion=" + scenario.version +
         "\r\n\r\n[FILES]\r\nCount=0\r\n";
}

}  // namespace quorvane::sim
