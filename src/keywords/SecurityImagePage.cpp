#include "keywords/SecurityImagePage.h"

#include "base/TextRoutines.h"

namespace quorvane {

namespace {
constexpr std::string_view kRandomStart = "<input type=\"hidden\" name=\"random\" value=\"";
constexpr std::string_view kSeedStart = "<input type=\"hidden\" name=\"seed\" value=\"";
constexpr std::string_view kImageStart = "src=\"";
constexpr std::string_view kQuote = "\"";
constexpr std::string_view kAmpEntity = "&amp;";
}  // namespace

SecurityImageValues ReadSecurityImagePage(std::string_view pageHtml) {
  TextWalker work(pageHtml);
  SecurityImageValues values;
  values.RandomValue = CutBetween(work, kRandomStart, kQuote);
  values.SeedValue = CutBetween(work, kSeedStart, kQuote);
  values.ImageSrc = DecodeAmpersandsOnce(CutBetween(work, kImageStart, kQuote));
  return values;
}

std::string DecodeAmpersandsOnce(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (true) {
    const std::size_t hit = text.find(kAmpEntity, pos);
    if (hit == std::string_view::npos) break;
    out.append(text.substr(pos, hit - pos));
    out.push_back('&');
    pos = hit + kAmpEntity.size();
  }
  out.append(text.substr(pos));
  return out;
}

}  // namespace quorvane
