#include "brand/BrandProblem.h"

#include <algorithm>
#include <tuple>

namespace quorvane {

std::string FormatProblem(const BrandProblem& problem, const std::string& folder) {
  std::string text = folder;
  if (!text.empty() && text.back() != '/') text += '/';
  text += problem.file;
  if (problem.line > 0) text += ':' + std::to_string(problem.line);
  text += ": ";
  if (!problem.subject.empty()) text += problem.subject + ": ";
  text += problem.message;
  return text;
}

void SortProblems(BrandProblems& problems) {
  BrandProblems once;
  for (BrandProblem& problem : problems) {
    if (std::find(once.begin(), once.end(), problem) == once.end())
      once.push_back(std::move(problem));
  }
  std::stable_sort(once.begin(), once.end(), [](const BrandProblem& a, const BrandProblem& b) {
    return std::tie(a.file, a.line) < std::tie(b.file, b.line);
  });
  problems = std::move(once);
}

}  // namespace quorvane
