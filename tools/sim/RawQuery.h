#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvane::sim {

// The query of a request target, split at "&" and "=" without any
// decoding first, so a value holding "+" or an unencoded "&" reads the way
// a web server of the services would read it.
class RawQuery {
 public:
  explicit RawQuery(std::string_view target);

  bool Has(std::string_view key) const;
  // First value of the key as sent, or "".
  std::string Raw(std::string_view key) const;
  // The same, percent-decoded with "+" as a blank.
  std::string Value(std::string_view key) const;

 private:
  const std::string* Find(std::string_view key) const;

  std::vector<std::pair<std::string, std::string>> pairs_;  // decoded key, raw value
};

}  // namespace quorvane::sim
