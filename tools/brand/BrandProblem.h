#pragma once

#include <string>
#include <vector>

namespace quorvane {

// One thing that keeps a brand folder from shipping, printed as one line:
// "FILE[:LINE]: [SUBJECT: ]MESSAGE". SUBJECT is the tag or file part the
// problem is about; LINE counts the lines of the decrypted settings text.
struct BrandProblem {
  std::string file;     // a name inside the brand folder
  int line = 0;         // 0: not about one line
  std::string subject;  // a tag name, or empty
  std::string message;

  bool operator==(const BrandProblem&) const = default;
};

using BrandProblems = std::vector<BrandProblem>;

// The line, the folder's path in front of the file name.
std::string FormatProblem(const BrandProblem& problem, const std::string& folder);

// Sorted by file, then line, keeping the order of the checks within one
// place; the same problem twice is kept once.
void SortProblems(BrandProblems& problems);

}  // namespace quorvane
