// The security-image page's hidden fields and image address, cut from
// arbitrary pages.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "base/TextRoutines.h"
#include "keywords/SecurityImagePage.h"

using namespace quorvane;

namespace {

std::size_t Occurrences(std::string_view text, std::string_view searched) {
  std::size_t count = 0;
  for (std::size_t at = text.find(searched); at != std::string_view::npos;
       at = text.find(searched, at + searched.size()))
    ++count;
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view page = AsText(data, size);
  const SecurityImageValues values = ReadSecurityImagePage(page);

  // Each value ends at the next double quote.
  FUZZ_CHECK(values.RandomValue.find('"') == std::string::npos);
  FUZZ_CHECK(values.SeedValue.find('"') == std::string::npos);
  FUZZ_CHECK(values.ImageSrc.find('"') == std::string::npos);

  // The same walk on a copy of the page that is cut as it goes.
  std::string work(page);
  const std::string random =
      CutBetween(work, "<input type=\"hidden\" name=\"random\" value=\"", "\"");
  const std::string seed = CutBetween(work, "<input type=\"hidden\" name=\"seed\" value=\"", "\"");
  const std::string src = CutBetween(work, "src=\"", "\"");
  FUZZ_CHECK(values.RandomValue == random);
  FUZZ_CHECK(values.SeedValue == seed);
  FUZZ_CHECK(values.ImageSrc == DecodeAmpersandsOnce(src));

  // One pass: every "&amp;" present loses its "amp;", nothing more.
  const std::string once = DecodeAmpersandsOnce(page);
  FUZZ_CHECK(once.size() == page.size() - 4 * Occurrences(page, "&amp;"));
  if (Occurrences(page, "&amp;") == 0) FUZZ_CHECK(once == page);
  return 0;
}
