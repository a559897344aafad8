// The keyword list reader on arbitrary file bytes, and the page reader
// that follows the same line rules.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "keywords/KeywordFile.h"
#include "settings/SettingsLines.h"
#include "web/CrLfLines.h"

using namespace quorvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = AsText(data, size);
  const std::vector<std::string> lines = SplitKeywordLines(bytes);

  constexpr std::string_view kBreaks("\r\n\0", 3);
  for (const auto& line : lines) FUZZ_CHECK(line.find_first_of(kBreaks) == std::string::npos);
  // Everything from the first NUL on is ignored; before it the line rules
  // are those of the settings text.
  const std::string_view read = bytes.substr(0, bytes.find('\0'));
  FUZZ_CHECK(lines == SplitLines(read));
  // Written back with CR LF, the file reads the same.
  FUZZ_CHECK(SplitKeywordLines(JoinLines(lines)) == lines);

  // A downloaded page becomes the same lines, each ended by CR LF, also
  // when appended to text already read.
  FUZZ_CHECK(CrLfLines(bytes) == JoinLines(lines));
  std::string text = "earlier page\r\n";
  AppendCrLfLines(bytes, text);
  FUZZ_CHECK(text == "earlier page\r\n" + JoinLines(lines));
  return 0;
}
