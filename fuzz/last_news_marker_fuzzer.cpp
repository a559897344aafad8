// The last-news marker's read and save on arbitrary settings text, without
// the container: the save works on the lines of the working copy, the read
// on the lines joined with CR LF, as the file routines do.
//
// Input: two ids to save, each ended by a backslash and one more byte
// ("\\" is a backslash inside them), then the decrypted settings text.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "settings/LastNewsMarker.h"
#include "settings/SettingsLines.h"

using namespace quorvane;

namespace {

constexpr std::string_view kStartTag = "<%%LastNewsId%%>";
constexpr std::string_view kEndTag = "<%%/LastNewsId%%>";

std::string Marker(const std::string& id) {
  return std::string(kStartTag) + id + std::string(kEndTag);
}

// The first start tag in any letter case, if it is written in exact case.
bool FirstStartTagExact(const std::string& text) {
  for (std::size_t i = 0; i + kStartTag.size() <= text.size(); ++i) {
    const std::string_view here(text.data() + i, kStartTag.size());
    if (ContainsNoCase(here, kStartTag)) return here == kStartTag;
  }
  return true;
}

// The file cycle: written with CR LF after every line, read back as lines.
std::string ReadAfterWrite(const std::vector<std::string>& lines) {
  return FindLastNewsId(JoinLines(SplitLines(JoinLines(lines))));
}

void CheckSave(const std::vector<std::string>& lines, const std::vector<std::string>& saved,
               const std::string& id) {
  std::size_t k = 0;
  while (k < lines.size() && lines[k].find(kStartTag) == std::string::npos) ++k;
  if (k == lines.size()) {
    // No marker yet: it goes last, on a line of its own.
    FUZZ_CHECK(saved.size() == lines.size() + 1);
    FUZZ_CHECK(std::equal(lines.begin(), lines.end(), saved.begin()));
    FUZZ_CHECK(saved.back() == Marker(id));
    return;
  }
  if (saved.size() == lines.size() + 1) {
    // A start tag without its end tag stays; the new marker goes before it.
    FUZZ_CHECK(saved[k] == Marker(id));
    FUZZ_CHECK(
        std::equal(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(k), saved.begin()));
    FUZZ_CHECK(std::equal(lines.begin() + static_cast<std::ptrdiff_t>(k), lines.end(),
                          saved.begin() + static_cast<std::ptrdiff_t>(k) + 1));
    return;
  }
  // Rewritten in place: every other line and the text around the marker
  // pair on its own line stay.
  FUZZ_CHECK(saved.size() == lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i != k) FUZZ_CHECK(saved[i] == lines[i]);
  }
  const std::size_t start = lines[k].find(kStartTag);
  FUZZ_CHECK(saved[k].compare(0, start, lines[k], 0, start) == 0);
  FUZZ_CHECK(saved[k].compare(start, Marker(id).size(), Marker(id)) == 0);
  const std::size_t after = saved[k].size() - start - Marker(id).size();
  FUZZ_CHECK(after <= lines[k].size() - start - kStartTag.size());
  FUZZ_CHECK(saved[k].compare(saved[k].size() - after, after, lines[k], lines[k].size() - after,
                              after) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string id = in.ConsumeRandomLengthString(64);
  const std::string nextId = in.ConsumeRandomLengthString(64);
  const std::string settings = in.ConsumeRemainingBytesAsString();

  const std::vector<std::string> lines = SplitLines(settings);
  const std::string text = JoinLines(lines);
  const std::string stored = FindLastNewsId(text);
  FUZZ_CHECK(!ContainsNoCase(stored, kEndTag));
  if (!stored.empty()) FUZZ_CHECK(ContainsNoCase(text, kStartTag));

  std::vector<std::string> saved = lines;
  PutLastNewsId(saved, id);
  CheckSave(lines, saved, id);

  // A following read gives the saved id back, unless the id cannot stand in
  // a line and a marker (a line break, an end tag in it), or the text holds
  // a start tag in other letter case before the one the save looks for.
  const bool idFits = id.find_first_of("\r\n") == std::string::npos && !ContainsNoCase(id, kEndTag);
  if (idFits && FirstStartTagExact(text)) FUZZ_CHECK(ReadAfterWrite(saved) == id);

  // Saving again replaces the marker the first save wrote.
  if (!ContainsNoCase(id, kEndTag)) {
    std::vector<std::string> twice = saved;
    PutLastNewsId(twice, nextId);
    std::vector<std::string> once = lines;
    PutLastNewsId(once, nextId);
    FUZZ_CHECK(twice == once);
  }
  return 0;
}
