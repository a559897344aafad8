#include "sim/Simulator.h"

#include <gtest/gtest.h>

#include <QImage>
#include <chrono>
#include <set>
#include <thread>

#include "sim/SearchPages.h"
#include "sim/SimText.h"
#include "sim/SuggestionPages.h"
#include "support/ProgramReader.h"
#include "support/SimHttp.h"

using namespace quorvane;
using namespace quorvane::sim;

namespace reader = program_reader;
using namespace std::chrono_literals;

namespace {

const std::string kSuggestQuery = "&adult_filter=remove_offensive&suggest=Hit+Me";
// The boundary shape Quorvane uses: eight hyphens and 15 date digits.
const std::string kBoundary = "--------061524134501123";

using Fields = std::vector<std::pair<std::string, std::string>>;

// A multipart body laid out exactly as Quorvane's news client writes it,
// including the extra CR LF before the closing delimiter.
std::string ProgramMultipart(const Fields& fields, const std::string& boundary = kBoundary) {
  std::string body;
  for (const auto& [name, value] : fields) {
    body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" +
            value + "\r\n";
  }
  return body + "\r\n--" + boundary + "--\r\n";
}

Fields ListFields(const std::string& conttype, const std::string& user = "demo",
                  const std::string& code = "QV-DEMO", const std::string& type = "BM") {
  return {{"memusername", user},  {"prodcode", code},   {"prodtype", type},
          {"conttype", conttype}, {"newstarget", "UA"}, {"something", ""}};
}

Fields DetailFields(const std::string& id) {
  return {{"memusername", "demo"}, {"prodcode", "QV-DEMO"}, {"prodtype", "BG"},
          {"newsid", id},          {"newstarget", "UA"},    {"something", ""}};
}

class SimulatorTest : public ::testing::Test {
 protected:
  void SetUp() override { sim.Start(); }

  HttpReply Get(const std::string& target, HttpOptions options = {}) {
    return Fetch(sim.BaseUrl() + target, options);
  }

  HttpReply Suggest(const std::string& seedInQuery) {
    return Get("/?seed=" + seedInQuery + kSuggestQuery);
  }

  HttpReply PostNews(const std::string& path, const Fields& fields) {
    HttpOptions options;
    options.http10 = true;
    options.headers = {"Content-Type: multipart/form-data; boundary=" + kBoundary,
                       "Connection: keep-alive"};
    options.postBody = ProgramMultipart(fields);
    return Fetch(sim.BaseUrl() + path, options);
  }

  Simulator sim;
};

bool IsChallenge(const std::string& page) {
  return page.find("Please enter the characters in the image") != std::string::npos;
}

// --- Keyword suggestions -------------------------------------------------

TEST_F(SimulatorTest, SuggestionPageReadsAsTheProgramReadsIt) {
  const HttpReply reply = Suggest("golf+clubs");
  ASSERT_EQ(reply.code, CURLE_OK);
  ASSERT_EQ(reply.status, 200);
  const std::string& page = reply.body;
  EXPECT_FALSE(IsChallenge(page));

  std::vector<reader::Row> expected;
  for (const Suggestion& s : SuggestionsFor("golf clubs", 12)) {
    expected.push_back({s.countText, s.phrase});
  }
  const auto rows = reader::Suggestions(page);
  EXPECT_EQ(rows, expected);
  ASSERT_EQ(rows.size(), 12u);
  EXPECT_EQ(rows[0].phrase, "golf clubs");
  EXPECT_EQ(rows[3].phrase, "golf clubs & accessories");
  EXPECT_EQ(rows[5].phrase, "women's golf clubs");

  // The shapes the reader has to cope with are really on the page.
  EXPECT_NE(page.find("<tr><td><b>" + rows[0].count + "</b></td>"), std::string::npos);
  EXPECT_NE(page.find("golf clubs &amp; accessories</a>"), std::string::npos);
  EXPECT_NE(page.find("women&#039;s golf clubs</a>"), std::string::npos);
  const auto end = page.find("<tr><td>&nbsp;</td>");
  ASSERT_NE(end, std::string::npos);
  EXPECT_NE(page.find("<tr><td>7</td>", end), std::string::npos) << "a row after the end row";
  for (const auto& row : rows) {
    EXPECT_NE(row.count.find_first_of("0123456789"), std::string::npos) << row.count;
  }
  // Counts fall from the top and carry separators once they reach 1,000.
  EXPECT_NE(rows[0].count.find(','), std::string::npos);

  // Leaving out the step past the footer picks up the header row.
  EXPECT_EQ(reader::Suggestions(page, false).front().count, "Searches");
}

TEST_F(SimulatorTest, SuggestionTableOptions) {
  struct Case {
    const char* name;
    int rows;
    bool upper;
    bool noTable;
    std::size_t rowsRead;
    std::size_t rowsReadIgnoringCase;
  };
  const Case cases[] = {
      {"three rows", 3, false, false, 3, 3},
      {"no rows", 0, false, false, 0, 0},
      {"capital footer", 5, true, false, 0, 5},
      {"no table", 12, false, true, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Scenario scenario;
    scenario.suggest.rows = c.rows;
    scenario.suggest.upperCaseFooter = c.upper;
    scenario.suggest.noTable = c.noTable;
    sim.SetScenario(scenario);
    const HttpReply reply = Suggest("golf+clubs");
    ASSERT_EQ(reply.status, 200);
    EXPECT_EQ(reader::Suggestions(reply.body).size(), c.rowsRead);
    // A reader whose presence test ignored case would find the rows.
    std::string lower = ToLowerAscii(reply.body);
    EXPECT_EQ(reader::Suggestions(lower).size(), c.rowsReadIgnoringCase);
    EXPECT_EQ(reply.body.find("</TFOOT>") != std::string::npos, c.upper);
  }
}

TEST_F(SimulatorTest, SuggestionSeedIsReadLikeAWebServerReadsIt) {
  // Quorvane sends the keyword unencoded: an "&" splits the query.
  const HttpReply reply = Suggest("fish+&+chips");
  ASSERT_EQ(reply.status, 200);
  const auto rows = reader::Suggestions(reply.body);
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows[0].phrase, "fish");
  EXPECT_EQ(rows[1].phrase, "cheap fish");

  // Leading and trailing "+" are blanks around the keyword.
  EXPECT_EQ(reader::Suggestions(Suggest("+golf++clubs+").body)[0].phrase, "golf clubs");
  // An empty seed gives a table without suggestions; no seed the start page.
  EXPECT_TRUE(reader::Suggestions(Suggest("").body).empty());
  const HttpReply start = Get("/");
  EXPECT_EQ(start.status, 200);
  EXPECT_EQ(start.body.find("</tfoot>"), std::string::npos);
}

TEST_F(SimulatorTest, PagesAreDeterministic) {
  Simulator other;
  other.Start();
  const std::vector<std::string> targets = {
      "/?seed=golf+clubs" + kSuggestQuery, "/search?q=%22golf+clubs%22", "/search?p=golf+clubs",
      "/results.aspx?q=%22golf+clubs%22", "/liveupdate/quorvane/mainappupdate.inf"};
  for (const std::string& target : targets) {
    SCOPED_TRACE(target);
    const HttpReply first = Get(target);
    EXPECT_EQ(first.status, 200);
    EXPECT_EQ(Get(target).body, first.body);
    EXPECT_EQ(Fetch(other.BaseUrl() + target).body, first.body);
  }
  EXPECT_NE(reader::Suggestions(Suggest("golf+clubs").body)[0].count,
            reader::Suggestions(Suggest("tennis+rackets").body)[0].count);
}

// --- Security image ------------------------------------------------------

TEST_F(SimulatorTest, SecurityImageWrongThenRightAnswer) {
  Scenario scenario;
  scenario.suggest.securityImage = SecurityImageMode::kFirst;
  scenario.suggest.securityImageCount = 1;
  sim.SetScenario(scenario);

  const HttpReply first = Suggest("golf+clubs");
  ASSERT_EQ(first.status, 200);
  ASSERT_TRUE(IsChallenge(first.body));
  EXPECT_EQ(first.body.find("</tfoot>"), std::string::npos);
  // Field order matters to the dialog: random, then seed, then the image.
  const auto randomAt = first.body.find("<input type=\"hidden\" name=\"random\" value=\"");
  const auto seedAt = first.body.find("<input type=\"hidden\" name=\"seed\" value=\"");
  ASSERT_NE(randomAt, std::string::npos);
  ASSERT_NE(seedAt, std::string::npos);
  EXPECT_LT(randomAt, seedAt);

  const reader::Challenge c1 = reader::ChallengeFields(first.body);
  EXPECT_EQ(c1.random.size(), 8u);
  EXPECT_EQ(c1.seed, "golf+clubs");
  EXPECT_EQ(c1.imageSrc, sim.BaseUrl() + "/captcha.png?random=" + c1.random + "&x=1");
  EXPECT_NE(first.body.find("?random=" + c1.random + "&amp;x=1\""), std::string::npos);

  const HttpReply image = Fetch(c1.imageSrc);
  EXPECT_EQ(image.status, 200);
  EXPECT_EQ(image.Header("Content-Type"), "image/png");
  EXPECT_EQ(image.body.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));

  const auto answer = [&](const std::string& password, const reader::Challenge& c) {
    return Get("/keyword-suggestion-tool.html?password=" + password + "&random=" + c.random +
               "&seed=" + c.seed);
  };
  const HttpReply wrong = answer("qv7x", c1);
  ASSERT_TRUE(IsChallenge(wrong.body));
  const reader::Challenge c2 = reader::ChallengeFields(wrong.body);
  EXPECT_NE(c2.random, c1.random);
  EXPECT_EQ(c2.seed, "golf+clubs");
  EXPECT_NE(c2.imageSrc, c1.imageSrc);

  // The right characters with an outdated random value are refused too.
  const HttpReply stale = answer("qv7k", c1);
  ASSERT_TRUE(IsChallenge(stale.body));
  const reader::Challenge c3 = reader::ChallengeFields(stale.body);

  const HttpReply right = answer("qv7k", c3);
  ASSERT_FALSE(IsChallenge(right.body));
  EXPECT_EQ(reader::Suggestions(right.body).size(), 12u);
  EXPECT_EQ(reader::Suggestions(right.body)[0].phrase, "golf clubs");
  EXPECT_EQ(right.body, Suggest("golf+clubs").body) << "first 1: the next request goes through";
}

TEST_F(SimulatorTest, SecurityImageModes) {
  struct Case {
    const char* name;
    SecurityImageMode mode;
    int count;
    // Per step: 'S' a suggestion request, 'A' the right answer to the last
    // challenge; the expected letters: 'C' challenge, 'P' suggestion page.
    std::string steps;
    std::string expected;
  };
  const Case cases[] = {
      {"off", SecurityImageMode::kOff, 1, "SS", "PP"},
      {"first 2", SecurityImageMode::kFirst, 2, "SSS", "CCP"},
      {"always", SecurityImageMode::kAlways, 1, "SASA", "CPCP"},
      {"until solved", SecurityImageMode::kUntilSolved, 1, "SSASS", "CCPPP"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Scenario scenario;
    scenario.suggest.securityImage = c.mode;
    scenario.suggest.securityImageCount = c.count;
    scenario.suggest.securityImageAnswer = "Ab3";
    sim.SetScenario(scenario);
    std::string seen;
    reader::Challenge last;
    for (char step : c.steps) {
      const HttpReply reply =
          step == 'S' ? Suggest("golf+clubs")
                      : Get("/keyword-suggestion-tool.html?password=Ab3&random=" + last.random +
                            "&seed=" + last.seed);
      if (IsChallenge(reply.body)) last = reader::ChallengeFields(reply.body);
      seen += IsChallenge(reply.body) ? 'C' : 'P';
    }
    EXPECT_EQ(seen, c.expected);
  }
}

TEST(SecurityImageTest, ShowsTheAnswerDeterministically) {
  Simulator sim;
  sim.Start();
  const auto png = [&](const std::string& random) {
    return Fetch(sim.BaseUrl() + "/captcha.png?random=" + random + "&x=1").body;
  };
  const std::string a = png("0001");
  EXPECT_EQ(png("0001"), a);
  EXPECT_NE(png("0002"), a) << "the noise follows the random value";

  QImage image;
  ASSERT_TRUE(image.loadFromData(reinterpret_cast<const uchar*>(a.data()),
                                 static_cast<int>(a.size()), "PNG"));
  const int width4 = image.width();
  EXPECT_GE(image.height(), 40);
  EXPECT_LE(width4, 280);
  EXPECT_LE(image.height(), 111) << "fits the dialog's image view";
  int dark = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
  }
  EXPECT_GT(dark, 200) << "the characters are drawn";

  Scenario scenario;
  scenario.suggest.securityImageAnswer = "longer7";
  sim.SetScenario(scenario);
  const std::string b = png("0001");
  ASSERT_TRUE(image.loadFromData(reinterpret_cast<const uchar*>(b.data()),
                                 static_cast<int>(b.size()), "PNG"));
  EXPECT_GT(image.width(), width4);
}

// --- Search engines ------------------------------------------------------

struct EngineCase {
  Engine engine;
  std::string path;  // up to the term
  std::string narrowing;
  std::string start;
  std::string end;
};

const EngineCase kEngines[] = {
    {Engine::kGoogle, "/search?q=", "<font size=-1>Results", "of about <b>", "</b>"},
    {Engine::kYahoo, "/search?p=", "\"infotext\">", "of ", " for "},
    {Engine::kMsn, "/results.aspx?q=", "<span id=\"count\">", " of ", "</span>"},
};

std::string Cleanup(Engine engine, std::string count) {
  if (engine != Engine::kMsn) return count;
  for (auto at = count.find("results"); at != std::string::npos; at = count.find("results")) {
    count.erase(at, 7);
  }
  return reader::StripHtml(count);  // trims 0..32 at both ends; no markup is left here
}

TEST_F(SimulatorTest, SearchCountsSitBehindTheNarrowingMarkers) {
  std::set<std::string> allCounts;
  for (const EngineCase& e : kEngines) {
    for (const std::string term : {"%22golf+clubs%22", "golf+clubs"}) {
      SCOPED_TRACE(e.path + term);
      const HttpReply reply = Get(e.path + term);
      ASSERT_EQ(reply.status, 200);
      const std::string expected =
          FormatThousands(ResultCount(e.engine, PercentDecode(term, true), ""));
      const std::string count =
          Cleanup(e.engine, reader::Count(reply.body, e.narrowing, e.start, e.end));
      EXPECT_EQ(count, expected);
      EXPECT_NE(count.find(','), std::string::npos);
      // Without the narrowing step a reader picks up the decoy.
      const std::string decoy = Cleanup(e.engine, reader::Count(reply.body, "", e.start, e.end));
      EXPECT_FALSE(decoy.empty());
      EXPECT_NE(decoy, expected);
      allCounts.insert(count);
    }
  }
  EXPECT_EQ(allCounts.size(), 6u) << "precise and broad differ, and so do the engines";
}

TEST_F(SimulatorTest, MsnCountCarriesTheResultsWord) {
  const HttpReply reply = Get("/results.aspx?q=golf+clubs");
  const std::string raw = reader::Count(reply.body, "<span id=\"count\">", " of ", "</span>");
  EXPECT_EQ(raw, FormatThousands(ResultCount(Engine::kMsn, "golf clubs", "")) + " results");
}

TEST_F(SimulatorTest, SearchEngineModes) {
  for (const EngineCase& e : kEngines) {
    SCOPED_TRACE(EngineName(e.engine));
    const auto setMode = [&](EngineMode mode, int status) {
      Scenario scenario;
      EngineScenario& es = e.engine == Engine::kGoogle  ? scenario.search.google
                           : e.engine == Engine::kYahoo ? scenario.search.yahoo
                                                        : scenario.search.msn;
      es.mode = mode;
      es.status = status;
      sim.SetScenario(scenario);
    };
    const std::string target = e.path + "%22golf+clubs%22";
    const std::string expected = FormatThousands(ResultCount(e.engine, "\"golf clubs\"", ""));

    setMode(EngineMode::kFail, 500);
    EXPECT_EQ(Get(target).status, 500);
    setMode(EngineMode::kFail, 503);
    EXPECT_EQ(Get(target).status, 503);

    setMode(EngineMode::kNoMarkers, 500);
    HttpReply reply = Get(target);
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reader::Count(reply.body, e.narrowing, e.start, e.end), "");

    setMode(EngineMode::kNoNarrowing, 500);
    reply = Get(target);
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body.find(e.narrowing), std::string::npos);
    EXPECT_EQ(Cleanup(e.engine, reader::Count(reply.body, e.narrowing, e.start, e.end)), expected);
  }
  // The other engines keep answering when one fails.
  Scenario scenario;
  scenario.search.yahoo.mode = EngineMode::kFail;
  sim.SetScenario(scenario);
  EXPECT_EQ(Get("/search?p=golf").status, 500);
  EXPECT_EQ(Get("/search?q=golf").status, 200);
  EXPECT_EQ(Get("/results.aspx?q=golf").status, 200);
}

TEST_F(SimulatorTest, HugeTermCountsPassTheSignedLimit) {
  Scenario scenario;
  scenario.search.hugeTerm = "Golf  Clubs";
  sim.SetScenario(scenario);
  for (const EngineCase& e : kEngines) {
    for (const std::string term : {"%22golf+clubs%22", "golf+clubs"}) {
      SCOPED_TRACE(e.path + term);
      const std::string count =
          Cleanup(e.engine, reader::Count(Get(e.path + term).body, e.narrowing, e.start, e.end));
      std::string digits;
      for (char c : count) {
        if (c != ',') digits += c;
      }
      ASSERT_FALSE(digits.empty());
      EXPECT_GT(std::stoull(digits), 2147483647ull);
    }
  }
  const std::string other = Cleanup(
      Engine::kGoogle,
      reader::Count(Get("/search?q=golf").body, "<font size=-1>Results", "of about <b>", "</b>"));
  EXPECT_LT(other.size(), 13u) << "other terms keep ordinary counts: " << other;
}

// --- Slow responses ------------------------------------------------------

TEST_F(SimulatorTest, DelayAndDripSlowAResponseWithoutChangingIt) {
  const std::string target = "/results.aspx?q=golf+clubs";
  const HttpReply normal = Get(target);
  Scenario scenario;
  scenario.search.msn.pace = {300, 0, 0};
  sim.SetScenario(scenario);
  HttpReply slow = Get(target);
  EXPECT_EQ(slow.body, normal.body);
  EXPECT_GE(slow.seconds, 0.29);

  scenario.search.msn.pace = {0, 200, 40};
  sim.SetScenario(scenario);
  slow = Get(target);
  EXPECT_EQ(slow.body, normal.body);
  const double pieces = static_cast<double>((normal.body.size() + 199) / 200);
  EXPECT_GE(slow.seconds, pieces * 0.039);
  EXPECT_EQ(Get("/search?q=golf+clubs").seconds < 0.5, true) << "other engines stay fast";
}

TEST_F(SimulatorTest, ReleaseHeldFinishesAHeldResponse) {
  Scenario scenario;
  scenario.search.google.pace = {60000, 0, 0};
  sim.SetScenario(scenario);
  HttpReply reply;
  std::thread client([&] { reply = Get("/search?q=golf"); });
  ASSERT_TRUE(sim.WaitForRequests(SimService::kGoogle, 1, 5s));
  sim.ReleaseHeld();
  client.join();
  EXPECT_EQ(reply.status, 200);
  EXPECT_LT(reply.seconds, 5.0);
}

TEST_F(SimulatorTest, StopEndsHeldAndDrippingResponsesAtOnce) {
  Scenario scenario;
  scenario.search.google.pace = {60000, 0, 0};
  scenario.search.yahoo.pace = {0, 1, 60000};
  sim.SetScenario(scenario);
  HttpReply held;
  HttpReply dripping;
  std::thread a([&] { held = Get("/search?q=golf"); });
  std::thread b([&] { dripping = Get("/search?p=golf"); });
  ASSERT_TRUE(sim.WaitForRequests(2, 5s));
  std::this_thread::sleep_for(100ms);
  const auto start = std::chrono::steady_clock::now();
  sim.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
  a.join();
  b.join();
  EXPECT_NE(held.status, 200);
  EXPECT_NE(dripping.code, CURLE_OK) << "the body was cut short";
  EXPECT_FALSE(sim.Running());
}

// --- News service --------------------------------------------------------

TEST_F(SimulatorTest, NewsRequestIsLoggedWithEveryFieldExact) {
  const HttpReply reply = PostNews("/news/getlastnews.php", ListFields("all"));
  ASSERT_EQ(reply.status, 200);
  const auto posts = sim.Requests(SimService::kNewsList);
  ASSERT_EQ(posts.size(), 1u);
  const SimRequest& r = posts[0];
  EXPECT_EQ(r.method, "POST");
  EXPECT_EQ(r.version, "HTTP/1.0");
  EXPECT_EQ(r.target, "/news/getlastnews.php");
  EXPECT_EQ(r.Header("content-type"), "multipart/form-data; boundary=" + kBoundary);
  EXPECT_EQ(r.Header("Content-Length"), std::to_string(r.body.size()));
  EXPECT_EQ(r.body, ProgramMultipart(ListFields("all")));
  ASSERT_TRUE(r.multipart);
  ASSERT_TRUE(r.multipartValid) << r.multipartError;
  std::vector<std::pair<std::string, std::string>> fields;
  for (const SimFormField& f : r.fields) fields.emplace_back(f.name, f.value);
  Fields expected = ListFields("all");
  expected.back().second = "\r\n";  // the extra CR LF before the closing delimiter
  EXPECT_EQ(fields, expected);
}

TEST_F(SimulatorTest, NewsRepliesFollowTheRecordFormat) {
  HttpReply reply = PostNews("/news/getlastnews.php", ListFields("all"));
  EXPECT_EQ(reply.body,
            "101^Welcome to Quorvane^2024-01-15\xAF"
            "102^Five research tips^2024-02-03\xAF"
            "103^Spring update available^2024-03-21\xAFOK");

  reply = PostNews("/news/getlastnews.php", ListFields("lastcode"));
  EXPECT_EQ(reply.body, "103^Spring update available\xAFOK");

  // Any folder works, and the newest item is the one with the largest id.
  Scenario scenario;
  scenario.news.items = {{7, "Seven", "2024-07-07", "<p>7</p>"},
                         {30, "Thirty", "x", "<p>30</p>"},
                         {12, "Twelve", "y", "<p>12</p>"}};
  sim.SetScenario(scenario);
  reply = PostNews("/publisher/acme/getlastnews.php", ListFields("lastcode"));
  EXPECT_EQ(reply.body, "30^Thirty\xAFOK");
  reply = PostNews("/getlastnews.php", ListFields("all"));
  EXPECT_EQ(reply.body,
            "7^Seven^2024-07-07\xAF"
            "30^Thirty^x\xAF"
            "12^Twelve^y\xAFOK");

  scenario.news.items.clear();
  sim.SetScenario(scenario);
  EXPECT_EQ(PostNews("/news/getlastnews.php", ListFields("all")).body, "OK");
  EXPECT_EQ(PostNews("/news/getlastnews.php", ListFields("lastcode")).body, "OK");
}

TEST_F(SimulatorTest, NewsDetailsAreEscapedAndDecodeToTheBody) {
  for (const NewsItem& item : NewsScenario::DefaultItems()) {
    SCOPED_TRACE(item.id);
    const HttpReply reply =
        PostNews("/news/getnewsdetails.php", DetailFields(std::to_string(item.id)));
    ASSERT_EQ(reply.status, 200);
    const std::string& body = reply.body;
    ASSERT_GE(body.size(), 3u);
    EXPECT_EQ(body.substr(body.size() - 3), "\xAFOK");
    const std::string escaped = body.substr(0, body.size() - 3);
    EXPECT_EQ(escaped.find_first_of("^\xAF\r\n"), std::string::npos);
    for (char c : escaped) EXPECT_LT(static_cast<unsigned char>(c), 0x80);
    EXPECT_EQ(reader::DecodeHexEscapes(escaped), item.body);
  }
  const HttpReply tips = PostNews("/news/getnewsdetails.php", DetailFields("102"));
  EXPECT_NE(tips.body.find("$2419"), std::string::npos) << "$19 escaped";
  EXPECT_NE(tips.body.find("with $5E or"), std::string::npos);
  EXPECT_NE(PostNews("/news/getnewsdetails.php", DetailFields("103")).body.find("caf$E9"),
            std::string::npos);

  Scenario scenario;
  scenario.news.items = {{5, "t", "d", " lead\r\nline\xAF$^"}};
  sim.SetScenario(scenario);
  const HttpReply odd = PostNews("/news/getnewsdetails.php", DetailFields("5"));
  EXPECT_EQ(odd.body, "$20lead$0D$0Aline$AF$24$5E\xAFOK");
}

TEST_F(SimulatorTest, NewsErrorCodes) {
  struct Case {
    const char* name;
    std::function<void(NewsScenario&)> change;
    std::string path;
    Fields fields;
    long status;
    std::string reply;
  };
  const std::string list = "/news/getlastnews.php";
  const std::string details = "/news/getnewsdetails.php";
  const auto none = [](NewsScenario&) {};
  const Case cases[] = {
      {"wrong publisher", none, list, ListFields("all", "someone"), 200, "INVALIDUSER"},
      {"empty publisher", none, details, {{"memusername", ""}}, 200, "INVALIDUSER"},
      {"wrong product code", none, list, ListFields("all", "demo", "QV-OTHER"), 200,
       "INVALIDPRODUCT"},
      {"unknown product type", none, list, ListFields("lastcode", "demo", "QV-DEMO", "BX"), 200,
       "INVALIDPRODUCT"},
      {"other tier than required", [](NewsScenario& n) { n.productType = "BG"; }, list,
       ListFields("all"), 200, "INVALIDPRODUCT"},
      {"settings trouble", [](NewsScenario& n) { n.connectionFail = true; }, list,
       ListFields("all"), 200, "CONNECTIONFAIL"},
      {"unknown news id", none, details, DetailFields("999"), 200, "INVALIDNEWS"},
      {"id text must match", none, details, DetailFields("0101"), 200, "INVALIDNEWS"},
      {"verbatim list reply", [](NewsScenario& n) { n.listReply = "INVALIDUSER\r\n"; }, list,
       ListFields("all"), 200, "INVALIDUSER\r\n"},
      {"verbatim lastcode reply", [](NewsScenario& n) { n.lastcodeReply = "12^T\xAFOK"; }, list,
       ListFields("lastcode", "nobody"), 200, "12^T\xAFOK"},
      {"verbatim details reply", [](NewsScenario& n) { n.detailsReply = "invalidnews"; }, details,
       DetailFields("101"), 200, "invalidnews"},
      {"server error", [](NewsScenario& n) { n.status = 500; }, list, ListFields("all"), 500, ""},
      {"unknown conttype", none, list, ListFields("everything"), 400, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Scenario scenario;
    c.change(scenario.news);
    sim.SetScenario(scenario);
    const HttpReply reply = PostNews(c.path, c.fields);
    EXPECT_EQ(reply.status, c.status);
    if (c.status == 200) {
      EXPECT_EQ(reply.body, c.reply);
    }
  }
}

TEST_F(SimulatorTest, NewsRefusesWhatIsNotAMultipartPost) {
  EXPECT_EQ(Get("/news/getlastnews.php").status, 405);
  HttpOptions form;
  form.postBody = "memusername=demo&conttype=all";
  EXPECT_EQ(Get("/news/getlastnews.php", form).status, 400);
  HttpOptions broken;
  broken.headers = {"Content-Type: multipart/form-data; boundary=XYZ"};
  broken.postBody = "--XYZ\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\nno end";
  EXPECT_EQ(Get("/news/getlastnews.php", broken).status, 400);
  const auto logged = sim.Requests(SimService::kNewsList);
  ASSERT_EQ(logged.size(), 3u);
  EXPECT_TRUE(logged[2].multipart);
  EXPECT_FALSE(logged[2].multipartValid);
  EXPECT_FALSE(logged[2].multipartError.empty());
}

// --- Live update ---------------------------------------------------------

TEST_F(SimulatorTest, UpdateDescriptor) {
  const std::string path = "/liveupdate/quorvane/mainappupdate.inf";
  HttpReply reply = Get(path);
  EXPECT_EQ(reply.status, 200);
  const auto section = reply.body.find("[APPLICATION]\r\n");
  ASSERT_NE(section, std::string::npos);
  EXPECT_NE(reply.body.find("\r\nVersion=2.0\r\n", section), std::string::npos);
  EXPECT_NE(reply.body.find("\r\nName=Quorvane\r\n", section), std::string::npos);

  Scenario scenario;
  scenario.update.version = "3.00";
  sim.SetScenario(scenario);
  EXPECT_NE(Get(path).body.find("\r\nVersion=3.00\r\n"), std::string::npos);

  scenario.update.raw = "[OTHER]\nVersion=9\n";
  sim.SetScenario(scenario);
  EXPECT_EQ(Get(path).body, "[OTHER]\nVersion=9\n");

  scenario.update.missing = true;
  sim.SetScenario(scenario);
  EXPECT_EQ(Get(path).status, 404);
  EXPECT_EQ(Get("/liveupdate/quorvane/Updater.exe").status, 404);
}

// --- Fault endpoints -----------------------------------------------------

TEST_F(SimulatorTest, FaultStatusesAndRedirects) {
  HttpReply reply = Get("/fault/404");
  EXPECT_EQ(reply.status, 404);
  EXPECT_NE(reply.body.find("<html>"), std::string::npos);
  EXPECT_EQ(Get("/fault/status/503").status, 503);
  EXPECT_EQ(Get("/fault/status/99").status, 400);

  HttpOptions follow;
  follow.follow = true;
  reply = Get("/fault/redirect/3", follow);
  EXPECT_EQ(reply.status, 200);
  EXPECT_EQ(reply.redirects, 3);
  EXPECT_NE(reply.body.find("Arrived after 3 redirects."), std::string::npos);

  reply = Get("/fault/redirect/15");
  EXPECT_EQ(reply.status, 302);
  EXPECT_EQ(reply.Header("Location"), sim.BaseUrl() + "/fault/redirect/14?hops=1");
  reply = Get("/fault/redirect/0");
  EXPECT_NE(reply.body.find("Arrived after 0 redirects."), std::string::npos);

  reply = Get("/fault/redirect-nolocation", follow);
  EXPECT_EQ(reply.status, 302);
  EXPECT_FALSE(reply.HasHeader("Location"));
  EXPECT_EQ(reply.redirects, 0);
}

TEST_F(SimulatorTest, FaultFraming) {
  HttpReply reply = Get("/fault/cut");
  EXPECT_EQ(reply.code, CURLE_PARTIAL_FILE);
  EXPECT_EQ(reply.Header("Content-Length"), "1000");
  EXPECT_EQ(reply.body.size(), 100u);

  reply = Get("/fault/chunked");
  EXPECT_EQ(reply.code, CURLE_OK);
  EXPECT_EQ(reply.body, "<html><body>\n<p>first chunk</p>\n<p>second chunk</p>\n</body></html>\n");
  std::string raw = RawExchange(sim.Port(),
                                "GET /fault/chunked HTTP/1.1\r\nHost: x\r\n"
                                "Connection: close\r\n\r\n");
  EXPECT_NE(raw.find("Transfer-Encoding: chunked\r\n"), std::string::npos);
  EXPECT_NE(raw.find("\r\n14\r\n<p>second chunk</p>\n\r\n"), std::string::npos);
  EXPECT_NE(raw.find("\r\n0\r\n\r\n"), std::string::npos);

  reply = Get("/fault/nul");
  const std::string nul = "<p>before the NUL byte</p>\n";
  ASSERT_GT(reply.body.size(), nul.size() + 1);
  EXPECT_EQ(reply.body.substr(0, nul.size()), nul);
  EXPECT_EQ(reply.body[nul.size()], '\0');
  EXPECT_EQ(reply.Header("Content-Length"), std::to_string(reply.body.size()));

  // Keep-alive asked for, and still the body ends only with the connection.
  const auto start = std::chrono::steady_clock::now();
  raw = RawExchange(sim.Port(), "GET /fault/close HTTP/1.1\r\nHost: x\r\n\r\n");
  EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms) << "closed right after the body";
  const auto headEnd = raw.find("\r\n\r\n");
  ASSERT_NE(headEnd, std::string::npos);
  const std::string head = raw.substr(0, headEnd);
  EXPECT_EQ(head.find("Content-Length"), std::string::npos) << head;
  EXPECT_EQ(head.find("Transfer-Encoding"), std::string::npos) << head;
  EXPECT_NE(raw.find("</body></html>\n", headEnd), std::string::npos);
  EXPECT_EQ(Get("/fault/close").code, CURLE_OK);
}

TEST_F(SimulatorTest, FaultDripCookieAndEcho) {
  HttpReply reply = Get("/fault/drip?bytes=5&ms=60");
  EXPECT_EQ(reply.body, "abcde");
  EXPECT_GE(reply.seconds, 0.29);
  EXPECT_EQ(Get("/fault/drip?bytes=x").status, 400);

  reply = Get("/fault/cookie");
  EXPECT_EQ(reply.Header("Set-Cookie"), "simsession=s1m5e55; path=/");

  reply = Get("/fault/echo?body=a%0Ab+c%0D%0A%0D%0Ad&type=text/plain");
  EXPECT_EQ(reply.body, "a\nb+c\r\n\r\nd");
  EXPECT_EQ(reply.Header("Content-Type"), "text/plain");
}

// --- Request log and server ----------------------------------------------

TEST_F(SimulatorTest, RequestLogKeepsTheRawTargetAndHeaders) {
  HttpOptions options;
  options.headers = {"Content-Type: text/html", "Accept-Encoding: gzip, deflate", "X-Probe: one"};
  const HttpReply reply = Get("/search?q=%22golf+clubs%22&x=%41#frag", options);
  EXPECT_EQ(reply.Header("Content-Encoding"), "") << "never compressed";
  Get("/nowhere");

  const auto log = sim.Requests();
  ASSERT_EQ(log.size(), 2u);
  const SimRequest& r = log[0];
  EXPECT_EQ(r.service, SimService::kGoogle);
  EXPECT_EQ(r.method, "GET");
  EXPECT_EQ(r.target, "/search?q=%22golf+clubs%22&x=%41");
  EXPECT_EQ(r.path, "/search");
  EXPECT_EQ(r.version, "HTTP/1.1");
  EXPECT_EQ(r.Header("Content-Type"), "text/html");
  EXPECT_EQ(r.Header("accept-encoding"), "gzip, deflate");
  EXPECT_EQ(r.Header("X-Probe"), "one");
  EXPECT_FALSE(r.HasHeader("REMOTE_ADDR"));
  EXPECT_FALSE(r.HasHeader("LOCAL_PORT"));
  EXPECT_EQ(log[1].service, SimService::kUnknown);

  // Bytes that no client library would leave alone.
  RawExchange(sim.Port(), "GET /?seed=caf\xE9+%zz+\"q\"" + kSuggestQuery +
                              " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
  const auto suggest = sim.Requests(SimService::kSuggest);
  ASSERT_EQ(suggest.size(), 1u);
  EXPECT_EQ(suggest[0].target, "/?seed=caf\xE9+%zz+\"q\"" + kSuggestQuery);
  EXPECT_EQ(suggest[0].version, "HTTP/1.0");

  EXPECT_EQ(sim.RequestCount(), 3u);
  sim.ClearRequests();
  EXPECT_TRUE(sim.Requests().empty());
}

TEST_F(SimulatorTest, ServicesAnswerOnlyTheirMethods) {
  HttpOptions post;
  post.postBody = "x";
  EXPECT_EQ(Get("/search?q=golf", post).status, 405);
  EXPECT_EQ(Get("/nowhere").status, 404);
  EXPECT_EQ(Get("/sim").status, 200);
  EXPECT_NE(Get("/sim").body.find(sim.BaseUrl() + "/captcha.png"), std::string::npos);
}

TEST_F(SimulatorTest, ScenarioChangesWhileRunning) {
  EXPECT_EQ(Get("/search?q=golf").status, 200);
  sim.ChangeScenario([](Scenario& s) { s.search.google.mode = EngineMode::kFail; });
  EXPECT_EQ(Get("/search?q=golf").status, 500);
  EXPECT_EQ(sim.GetScenario().search.google.mode, EngineMode::kFail);

  // ChangeScenario keeps the security-image count, SetScenario restarts it.
  sim.ChangeScenario([](Scenario& s) {
    s.suggest.securityImage = SecurityImageMode::kFirst;
    s.suggest.securityImageCount = 1;
  });
  EXPECT_TRUE(IsChallenge(Suggest("golf").body));
  sim.ChangeScenario([](Scenario& s) { s.suggest.rows = 2; });
  EXPECT_FALSE(IsChallenge(Suggest("golf").body));
  sim.SetScenario(sim.GetScenario());
  EXPECT_TRUE(IsChallenge(Suggest("golf").body));
}

TEST(SimulatorServerTest, StartStopAndPorts) {
  Simulator sim;
  EXPECT_FALSE(sim.Running());
  EXPECT_EQ(sim.BaseUrl(), "");
  const int port = sim.Start();
  EXPECT_GT(port, 0);
  EXPECT_EQ(sim.Start(), port) << "already running";
  EXPECT_EQ(sim.BaseUrl(), "http://127.0.0.1:" + std::to_string(port));
  EXPECT_EQ(Fetch(sim.BaseUrl() + "/sim").status, 200);

  Simulator second;
  EXPECT_THROW(second.Start(port), std::runtime_error) << "the port is taken";
  EXPECT_THROW(second.Start(70000), std::invalid_argument);

  // An idle keep-alive connection does not hold up Stop for long.
  std::thread idle([&] { RawExchange(port, "GET /sim HTTP/1.1\r\nHost: x\r\n\r\n", 10000); });
  ASSERT_TRUE(sim.WaitForRequests(2, 5s));
  const auto start = std::chrono::steady_clock::now();
  sim.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2500ms);
  idle.join();
  EXPECT_FALSE(sim.Running());
  EXPECT_NE(Fetch("http://127.0.0.1:" + std::to_string(port) + "/sim").code, CURLE_OK);

  // The fixed port is free again, and the log survives a restart.
  EXPECT_EQ(second.Start(port), port);
  second.Stop();
  EXPECT_GT(sim.Start(), 0);
  EXPECT_EQ(sim.RequestCount(), 2u);
}

}  // namespace
