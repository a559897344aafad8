#include "keywords/QueryText.h"

namespace quorvane {

std::string BlanksToPlus(std::string_view phrase) {
  std::string query(phrase);
  for (char& c : query) {
    if (c == ' ') c = '+';
  }
  return query;
}

}  // namespace quorvane
