// The INI reader of the live update on arbitrary descriptor text, with the
// version comparison it feeds.
//
// Input: a section and a key, each ended by a backslash and one more byte
// ("\\" is a backslash inside them), then the descriptor text.

#include <fuzzer/FuzzedDataProvider.h>

#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "publisher/IniFile.h"
#include "publisher/VersionNumber.h"

using namespace quorvane;

namespace {

std::string Case(std::string text, bool upper) {
  for (char& c : text) {
    if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// The published version read by the C library in single precision: a plain
// decimal number (no hex, "inf" or "nan", no blanks) that is finite.
bool ReferenceNewer(const std::string& published) {
  if (published.empty() || published.find_first_not_of("0123456789.eE+-") != std::string::npos)
    return false;
  errno = 0;
  char* end = nullptr;
  const float value = std::strtof(published.c_str(), &end);
  if (end != published.c_str() + published.size() || !std::isfinite(value)) return false;
  if (errno == ERANGE && std::fabs(value) > 1.0f) return false;
  return static_cast<double>(value) > 2.0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string section = in.ConsumeRandomLengthString(32);
  const std::string key = in.ConsumeRandomLengthString(32);
  const std::string text = in.ConsumeRemainingBytesAsString();

  const std::string value = ReadIniStringFromText(text, section, key);
  // A value stays on its line and comes from the text.
  FUZZ_CHECK(value.find_first_of("\r\n") == std::string::npos);
  FUZZ_CHECK(text.find(value) != std::string::npos);
  // Section and key names match in any letter case.
  FUZZ_CHECK(ReadIniStringFromText(text, Case(section, true), Case(key, false)) == value);

  const std::string published = ReadIniStringFromText(text, "APPLICATION", "Version");
  FUZZ_CHECK(IsNewerVersion(published, "2.0") == ReferenceNewer(published));
  return 0;
}
