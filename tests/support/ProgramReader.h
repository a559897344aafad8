#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// Reads simulator pages the way Quorvane reads the services' pages: the
// same markers, the same forward walk through one working text. Tests use
// it to show that a page carries its values where the program looks.
namespace program_reader {

// Case-insensitive cut; `work` moves to the end marker (see base/TextRoutines).
std::string CutBetween(std::string& work, std::string_view start, std::string_view end);

// The replacements of StripHtml that these pages need (entities, <b>,
// quotes), then bytes 0..32 trimmed at both ends.
std::string StripHtml(std::string_view fragment);

struct Row {
  std::string count;
  std::string phrase;
  bool operator==(const Row&) const = default;
};
// The suggestion rows of a page; with `skipFooter` false the reader
// leaves out the step past "</tfoot>" (as a faulty program would).
std::vector<Row> Suggestions(const std::string& page, bool skipFooter = true);

struct Challenge {
  std::string random;
  std::string seed;
  std::string imageSrc;  // with every &amp; turned into &
};
Challenge ChallengeFields(const std::string& page);

// The count between `start` and `end` after the narrowing marker; an
// empty `narrowing` skips that step.
std::string Count(const std::string& page, std::string_view narrowing, std::string_view start,
                  std::string_view end);

// "$" + two hex digits to one byte; empty on a malformed escape.
std::string DecodeHexEscapes(std::string_view text);

}  // namespace program_reader

}  // namespace quorvane
