#pragma once

#include <httplib.h>

#include <string>
#include <string_view>

#include "sim/HoldGate.h"
#include "sim/RawQuery.h"

namespace quorvane::sim {

// The /fault/... endpoints: transport and HTTP oddities for the fetcher.
// `path` is the decoded path, `baseUrl` the simulator's own address for
// absolute redirect targets, `ticket` the gate's ticket of the request.
void AnswerFault(std::string_view path, const RawQuery& query, const std::string& baseUrl,
                 HoldGate& gate, std::uint64_t ticket, httplib::Response& res);

}  // namespace quorvane::sim
