#pragma once

#include <map>
#include <string>

#include "brand/BrandProblem.h"
#include "settings/BrandReader.h"

namespace quorvane {

// The settings text as the check sees it: what the program reads from it,
// where each tag stands, and what is wrong with its tags.
struct SettingsTextReading {
  BrandTags read;  // the values exactly as the program cuts them
  // Line of the first start tag of each tag the text holds, by the tag's
  // name as the program spells it ("Banner2", "LastNewsId").
  std::map<std::string, int> lines;
  BrandProblems problems;

  int LineOf(const std::string& tag) const {
    const auto it = lines.find(tag);
    return it == lines.end() ? 0 : it->second;
  }
};

// Reads the decrypted settings text `text` the way the program does and
// finds the tags it would not read as the publisher meant: unknown or
// misspelt names, tags without their partner, tags twice, tags out of
// order, gaps in the numbered families, and a last-news marker the
// program's own save would mishandle. Problems name `file`.
SettingsTextReading ReadSettingsTextForCheck(const std::string& text, const std::string& file);

}  // namespace quorvane
