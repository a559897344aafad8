#include "app/GroupThousands.h"

namespace quorvane {

std::string GroupThousands(long long count) {
  const bool negative = count < 0;
  std::string digits = std::to_string(negative ? -count : count);
  for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, 1, ',');
  return negative ? "-" + digits : digits;
}

}  // namespace quorvane
