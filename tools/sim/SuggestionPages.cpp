#include "sim/SuggestionPages.h"

#include <algorithm>
#include <cstdint>

#include "sim/SimText.h"

namespace quorvane::sim {

namespace {

// Row shapes; "{}" stands for the seed. The fourth and sixth carry the
// characters that the page writes as &amp; and &#039;.
constexpr std::string_view kShapes[] = {
    "{}",         "cheap {}",  "{} for sale", "{} & accessories", "used {}",
    "women's {}", "best {}",   "{} reviews",  "discount {}",      "{} online",
    "kids {}",    "{} prices", "buy {}",      "{} deals",         "custom {}",
    "{} sets",    "{} guide",  "new {}",      "{} outlet",        "{} uk",
};
constexpr int kMaxRows = 1000;

std::string Shape(std::string_view shape, std::string_view seed) {
  std::string out(shape);
  const auto at = out.find("{}");
  out.replace(at, 2, seed);
  return out;
}

std::string SuggestLink(std::string_view phrase) {
  return "/?seed=" + FormEncode(phrase) + "&amp;adult_filter=remove_offensive&amp;suggest=Hit+Me";
}

std::string Row(std::string_view countCell, std::string_view phrase) {
  return "<tr><td>" + std::string(countCell) + "</td><td><a href=\"" + SuggestLink(phrase) + "\">" +
         HtmlEscape(phrase) + "</a></td></tr>\n";
}

const char* kHead =
    "<html>\n<head>\n<title>Free Keyword Suggestion Tool</title>\n"
    "<style>body{font-family:Verdana,sans-serif;font-size:13px}"
    "table.kw td{padding:2px 8px}</style>\n</head>\n<body>\n"
    "<h1>Free Keyword Suggestion Tool</h1>\n";

std::string SeedForm(std::string_view seed) {
  return "<form action=\"/\" method=\"get\">Keyword: <input type=\"text\" name=\"seed\" value=\"" +
         HtmlEscape(seed) +
         "\" size=\"30\">\n<input type=\"hidden\" name=\"adult_filter\" "
         "value=\"remove_offensive\">\n<input type=\"submit\" name=\"suggest\" value=\"Hit Me\">"
         "\n</form>\n";
}

}  // namespace

std::vector<Suggestion> SuggestionsFor(std::string_view seed, int rows) {
  const std::string keyword = CollapseBlanks(seed);
  std::vector<Suggestion> out;
  if (keyword.empty()) return out;
  rows = std::clamp(rows, 0, kMaxRows);
  const std::uint64_t h = StableHash("suggest|" + ToLowerAscii(keyword));
  std::uint64_t count = 5000 + h % 95000;
  for (int i = 0; i < rows; ++i) {
    const auto shapes = std::size(kShapes);
    std::string phrase = static_cast<std::size_t>(i) < shapes
                             ? Shape(kShapes[i], keyword)
                             : keyword + " " + std::to_string(i + 1);
    if (i > 0) {
      const std::uint64_t fall = 55 + StableHash(keyword + "#" + std::to_string(i)) % 40;
      count = std::max<std::uint64_t>(1, count * fall / 100);
    }
    out.push_back({std::move(phrase), FormatThousands(count), i % 4 == 0});
  }
  return out;
}

std::string SuggestionPage(std::string_view seed, const SuggestScenario& scenario) {
  std::string page = kHead + SeedForm(CollapseBlanks(seed));
  if (scenario.noTable) {
    return page +
           "<p class=\"notice\">The keyword database is being updated. Please try again in a "
           "few minutes.</p>\n</body>\n</html>\n";
  }
  page +=
      "<table class=\"kw\" border=\"0\">\n<thead>\n"
      // A "<tr><td>" row before the footer: the rows that count start after it.
      "<tr><td>Searches</td><td><a href=\"/help.html#count\">Keyword</a></td></tr>\n"
      "</thead>\n<tfoot>\n<tr><td colspan=\"2\"><small>Counts are predicted daily searches."
      "</small></td></tr>\n";
  page += scenario.upperCaseFooter ? "</TFOOT>\n" : "</tfoot>\n";
  page += "<tbody>\n";
  for (const Suggestion& s : SuggestionsFor(seed, scenario.rows)) {
    page += Row(s.bold ? "<b>" + s.countText + "</b>" : s.countText, s.phrase);
  }
  // The empty count cell ends the list; what follows is an advertisement
  // row that a reader of the list must not take as a suggestion.
  page += "<tr><td>&nbsp;</td><td>&nbsp;</td></tr>\n";
  page += Row("7", "see more suggestions");
  page += "</tbody>\n</table>\n</body>\n</html>\n";
  return page;
}

std::string SuggestionStartPage() {
  return kHead + SeedForm("") +
         "<p>Type a keyword and press Hit Me to see related searches.</p>\n</body>\n</html>\n";
}

std::string ChallengePage(std::string_view rawSeed, std::string_view random,
                          std::string_view imageUrl) {
  std::string seed;
  for (char c : rawSeed) {
    if (c == '"') {
      seed += "%22";
    } else if (c == '<') {
      seed += "%3C";
    } else if (c == '>') {
      seed += "%3E";
    } else {
      seed += c;
    }
  }
  std::string src;
  for (char c : imageUrl) {
    if (c == '&') {
      src += "&amp;";
    } else {
      src += c;
    }
  }
  return std::string(kHead) +
         // An earlier image: the security image is the first src after the seed field.
         "<img src=\"/images/shield.gif\" width=\"32\" height=\"32\" alt=\"\">\n"
         "<h2>Security check</h2>\n"
         "<p>Please enter the characters in the image below to see your keywords.</p>\n"
         "<form action=\"/keyword-suggestion-tool.html\" method=\"get\">\n"
         "<input type=\"hidden\" name=\"random\" value=\"" +
         std::string(random) +
         "\">\n"
         "<input type=\"hidden\" name=\"seed\" value=\"" +
         seed +
         "\">\n"
         "<img src=\"" +
         src +
         "\" alt=\"security image\"><br>\n"
         "<input type=\"text\" name=\"password\" size=\"10\">\n"
         "<input type=\"submit\" value=\"Continue\">\n</form>\n</body>\n</html>\n";
}

std::string ChallengeRandom(int n) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::uint64_t h = StableHash("random|" + std::to_string(n));
  std::string out;
  for (int i = 0; i < 8; ++i) {
    out += kHex[h & 15];
    h >>= 4;
  }
  return out;
}

}  // namespace quorvane::sim
