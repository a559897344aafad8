#pragma once

#include <functional>
#include <string>

namespace quorvane {

// Downloads one URL into `page`; true when the page arrived complete and
// was not aborted. The window passes its page fetcher; tests pass fakes.
using FetchFunction = std::function<bool(const std::string& url, std::string& page)>;

}  // namespace quorvane
