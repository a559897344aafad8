#include "sim/SearchPages.h"

#include "sim/SimText.h"

namespace quorvane::sim {

namespace {

std::string Words(std::string_view term) {
  std::string words = CollapseBlanks(term);
  if (words.size() >= 2 && words.front() == '"' && words.back() == '"') {
    words = CollapseBlanks(std::string_view(words).substr(1, words.size() - 2));
  }
  return ToLowerAscii(words);
}

bool IsPrecise(std::string_view term) {
  const std::string t = CollapseBlanks(term);
  return t.size() >= 2 && t.front() == '"' && t.back() == '"';
}

// Three plain result entries; addresses stay on reserved example domains.
std::string ResultList(std::string_view term) {
  const std::string t = HtmlEscape(CollapseBlanks(term));
  std::string out;
  const char* hosts[] = {"www.example.com", "shop.example.net", "guide.example.org"};
  int n = 0;
  for (const char* host : hosts) {
    ++n;
    out += "<p class=\"g\"><a href=\"http://" + std::string(host) + "/\">" + t + " - page " +
           std::to_string(n) + "</a><br>\n<small>Everything about " + t + ", compared and rated." +
           "</small></p>\n";
  }
  return out;
}

std::string GooglePage(std::string_view term, EngineMode mode, const std::string& count) {
  const std::string t = HtmlEscape(CollapseBlanks(term));
  std::string page = "<html><head><title>" + (mode == EngineMode::kNoNarrowing ? "Web" : t) +
                     " - Google Search</title></head>\n<body bgcolor=#ffffff>\n";
  switch (mode) {
    case EngineMode::kNormal:
      page +=
          "<table width=100%><tr><td><font size=-1>Searching an index of about "
          "<b>8,058,044,651</b> web pages</font></td></tr></table>\n"
          "<table width=100% bgcolor=#e5ecf9><tr><td><font size=+1><b>Web</b></font></td>"
          "<td align=right nowrap><font size=-1>Results <b>1</b> - <b>10</b> of about <b>" +
          count + "</b> for <b>" + t + "</b>. (<b>0.21</b> seconds)</font></td></tr></table>\n";
      break;
    case EngineMode::kNoNarrowing:
      page += "<div>Results 1 - 10 of about <b>" + count + "</b> pages.</div>\n";
      break;
    default:
      page += "<p>Your search - <b>" + t + "</b> - did not match any documents.</p>\n";
      return page + "</body></html>\n";
  }
  return page + ResultList(term) + "</body></html>\n";
}

std::string YahooPage(std::string_view term, EngineMode mode, const std::string& count) {
  const std::string t = HtmlEscape(CollapseBlanks(term));
  std::string page = "<html><head><title>" + (mode == EngineMode::kNoNarrowing ? "Web" : t) +
                     " - Yahoo! Search Results</title></head>\n<body>\n";
  switch (mode) {
    case EngineMode::kNormal:
      page +=
          "<div class=\"tip\">Tip 2 of 9 for better searching: use quotes.</div>\n"
          "<div id=\"info\"><p class=\"infotext\" id=\"infotext\">Results <strong>1 - 10</strong> "
          "of " +
          count + " for <strong>" + t + "</strong> - 0.12 sec.</p></div>\n";
      break;
    case EngineMode::kNoNarrowing:
      page += "<p>Results 1 - 10 of " + count + " for this search.</p>\n";
      break;
    default:
      page += "<p>We did not find results: check the spelling or try other words.</p>\n";
      return page + "</body></html>\n";
  }
  return page + ResultList(term) + "</body></html>\n";
}

std::string MsnPage(std::string_view term, EngineMode mode, const std::string& count) {
  const std::string t = HtmlEscape(CollapseBlanks(term));
  std::string page = "<html><head><title>MSN Search: " +
                     (mode == EngineMode::kNoNarrowing ? std::string("Web") : t) +
                     "</title></head>\n<body>\n";
  switch (mode) {
    case EngineMode::kNormal:
      page +=
          "<div id=\"hd\"><span class=\"pager\">Page 1 of 5,000</span></div>\n"
          "<div id=\"results_area\"><h5 id=\"resultsheader\"><span id=\"count\">1-10 of " +
          count + " results</span> containing <strong>" + t + "</strong></h5></div>\n";
      break;
    case EngineMode::kNoNarrowing:
      page += "<div><span>1-10 of " + count + " results</span></div>\n";
      break;
    default:
      page += "<p>We did not find any results for <strong>" + t + "</strong>.</p>\n";
      return page + "</body></html>\n";
  }
  return page + ResultList(term) + "</body></html>\n";
}

}  // namespace

const char* EngineName(Engine engine) {
  switch (engine) {
    case Engine::kGoogle:
      return "google";
    case Engine::kYahoo:
      return "yahoo";
    case Engine::kMsn:
      break;
  }
  return "msn";
}

std::uint64_t ResultCount(Engine engine, std::string_view term, std::string_view hugeTerm) {
  const std::string words = Words(term);
  if (words.empty()) return 0;
  const std::uint64_t h = StableHash(std::string(EngineName(engine)) + "|" + words);
  const bool precise = IsPrecise(term);
  if (!Words(hugeTerm).empty() && words == Words(hugeTerm)) {
    return precise ? 2147483648ull + (h >> 16) % 1000000000ull : 3500000000ull + h % 6000000000ull;
  }
  std::uint64_t broad = 1000 + (h >> 8) % 9000;
  for (std::uint64_t i = 0; i < h % 5; ++i) broad *= 10;
  if (!precise) return broad;
  return broad / (3 + (h >> 40) % 25);
}

std::string SearchPage(Engine engine, std::string_view term, EngineMode mode,
                       std::string_view hugeTerm) {
  const std::string count = FormatThousands(ResultCount(engine, term, hugeTerm));
  switch (engine) {
    case Engine::kGoogle:
      return GooglePage(term, mode, count);
    case Engine::kYahoo:
      return YahooPage(term, mode, count);
    case Engine::kMsn:
      break;
  }
  return MsnPage(term, mode, count);
}

std::string SearchStartPage(Engine engine) {
  const std::string action = engine == Engine::kMsn ? "/results.aspx" : "/search";
  const std::string key = engine == Engine::kYahoo ? "p" : "q";
  return "<html><head><title>Web Search</title></head>\n<body>\n<form action=\"" + action +
         "\" method=\"get\"><input type=\"text\" name=\"" + key +
         "\" size=\"40\"> <input type=\"submit\" value=\"Search\"></form>\n</body></html>\n";
}

}  // namespace quorvane::sim
