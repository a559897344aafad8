#include "keywords/SearchEngines.h"

#include "base/AsciiText.h"
#include "base/TextRoutines.h"
#include "keywords/QueryText.h"
#include "web/RequestUrl.h"

namespace quorvane {

namespace {

struct EngineProtocol {
  std::string_view path;       // path and query key, before the term
  std::string_view narrowing;  // looked for first, to skip look-alikes
  std::string_view start;      // count start marker
  std::string_view end;        // count end marker
};

const EngineProtocol& Protocol(SearchEngine engine) {
  static constexpr EngineProtocol kGoogle{"/search?q=", "<font size=-1>Results", "of about <b>",
                                          "</b>"};
  static constexpr EngineProtocol kYahoo{"/search?p=", "\"infotext\">", "of ", " for "};
  static constexpr EngineProtocol kMsn{"/results.aspx?q=", "<span id=\"count\">", " of ",
                                       "</span>"};
  switch (engine) {
    case SearchEngine::Google:
      return kGoogle;
    case SearchEngine::Yahoo:
      return kYahoo;
    case SearchEngine::Msn:
      break;
  }
  return kMsn;
}

// MSN writes "2,340 results": the word goes (exact case), then the blanks
// and control characters around the number.
std::string CleanMsnCount(std::string count) {
  count = ReplaceAll(std::move(count), "results", "");
  return std::string(Trim(count, kControlsAndSpace));
}

}  // namespace

ResultColumn CountColumn(SearchEngine engine) {
  switch (engine) {
    case SearchEngine::Google:
      return kColGoogle;
    case SearchEngine::Yahoo:
      return kColYahoo;
    case SearchEngine::Msn:
      break;
  }
  return kColMsn;
}

std::string SearchUrl(SearchEngine engine, const std::string& host, std::string_view phrase,
                      SearchType type) {
  const std::string_view quote = type == SearchType::Precise ? "%22" : "";
  std::string url = host;
  url += Protocol(engine).path;
  url += quote;
  url += BlanksToPlus(phrase);
  url += quote;
  return EncodeUnsendableBytes(url);
}

std::string CutResultCount(SearchEngine engine, std::string_view page) {
  const EngineProtocol& protocol = Protocol(engine);
  TextWalker work(page);
  CutBetween(work, protocol.narrowing, protocol.start);
  std::string count = CutBetween(work, protocol.start, protocol.end);
  if (engine == SearchEngine::Msn) count = CleanMsnCount(std::move(count));
  return count;
}

}  // namespace quorvane
