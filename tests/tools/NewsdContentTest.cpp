// The news and update service's logic on bytes: the forms clients post,
// the publisher's news files, the replies, the configuration and the
// content folder. Replies are read back with the program's own readers.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/TextRoutines.h"
#include "newsd/ContentFolder.h"
#include "newsd/FormData.h"
#include "newsd/NewsAnswer.h"
#include "newsd/NewsItems.h"
#include "newsd/ServiceConfig.h"
#include "publisher/MultipartForm.h"
#include "publisher/NewsReply.h"
#include "publisher/NewsRequest.h"
#include "support/TempFolder.h"

using namespace quorvane;
using namespace quorvane::newsd;

namespace {

namespace fs = std::filesystem;

std::string Part(const std::string& name, const std::string& value) {
  return "--B\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n";
}

std::string Form(const std::vector<std::pair<std::string, std::string>>& fields) {
  std::string body;
  for (const auto& [name, value] : fields) body += Part(name, value);
  return body + "--B--\r\n";
}

TEST(NewsdFormTest, ReadsTheProgramsOwnRequestBodies) {
  const std::string id = std::string("pub\0\xAF^\r\n--x", 11);
  for (const auto& [selector, value] : {std::pair<std::string, std::string>{"conttype", "all"},
                                        {"conttype", "lastcode"},
                                        {"newsid", "104"}}) {
    const MultipartBody sent =
        BuildMultipartBody(MakeFormBoundary({2026, 3, 7, 9, 5, 2, 45}),
                           NewsFormFields(id, "ACME-1", "BG", selector, value, "UA"));
    const auto boundary = FormBoundary(sent.contentType);
    ASSERT_TRUE(boundary.has_value());
    const FormParse parsed = ParseFormData(sent.body, *boundary);
    ASSERT_TRUE(parsed.form.has_value()) << parsed.error;
    std::vector<std::string> names;
    for (const FormPart& part : parsed.form->parts) names.push_back(part.name);
    EXPECT_EQ(names, (std::vector<std::string>{"memusername", "prodcode", "prodtype", selector,
                                               "newstarget", "something"}));
    EXPECT_EQ(*parsed.form->Value("memusername"), id);
    EXPECT_EQ(*parsed.form->Value(selector), value);
    EXPECT_EQ(*parsed.form->Value("newstarget"), "UA");
  }
}

TEST(NewsdFormTest, BoundariesComeOnlyFromFormDataTypes) {
  const std::pair<const char*, std::optional<std::string>> cases[] = {
      {"multipart/form-data; boundary=--------030724090502045", "--------030724090502045"},
      {"Multipart/Form-Data;charset=x; BOUNDARY=\"a b;c\"", "a b;c"},
      {"multipart/form-data", std::nullopt},
      {"multipart/form-data; boundary=", std::nullopt},
      {"multipart/form-data; boundary=\"unclosed", std::nullopt},
      {"multipart/mixed; boundary=x", std::nullopt},
      {"application/x-www-form-urlencoded", std::nullopt},
  };
  for (const auto& [type, boundary] : cases) {
    EXPECT_EQ(FormBoundary(type), boundary) << type;
  }
  EXPECT_EQ(FormBoundary("multipart/form-data; boundary=" + std::string(71, 'b')), std::nullopt);
  EXPECT_TRUE(FormBoundary("multipart/form-data; boundary=" + std::string(70, 'b')).has_value());
}

TEST(NewsdFormTest, ValuesAreTheExactBytesAndBrokenFormsAreRefused) {
  struct Case {
    const char* what;
    std::string body;
    std::string value;  // of field "a"; empty: the form must be refused with `error`
    std::string error;
  };
  const Case cases[] = {
      {"plain", Form({{"a", "one"}}), "one", ""},
      {"preamble and epilogue", "junk\r\n" + Form({{"a", "x"}}) + "tail", "x", ""},
      {"boundary-like text inside", Form({{"a", "x--B y\r\n-B"}}), "x--B y\r\n-B", ""},
      {"unquoted name", "--B\r\nContent-Disposition: form-data; name=a\r\n\r\nv\r\n--B--", "v", ""},
      {"no delimiter", "just text", "", "no delimiter"},
      {"no closing delimiter", "--B\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n1", "",
       "no closing delimiter"},
      {"headers never end", "--B\r\nContent-Disposition: form-data; name=\"a\"\r\n", "",
       "part headers"},
      {"no name", "--B\r\nContent-Disposition: form-data\r\n\r\n1\r\n--B--", "", "without a name"},
      {"not form-data", "--B\r\nContent-Disposition: attachment; name=a\r\n\r\n1\r\n--B--", "",
       "not form-data"},
      {"header without colon", "--B\r\nbroken\r\n\r\n1\r\n--B--", "", "without a colon"},
      {"delimiter line not ended", "--Bx\r\n" + Form({{"a", "1"}}), "", "does not end"},
      {"quote never closed", "--B\r\nContent-Disposition: form-data; name=\"a\r\n\r\n1\r\n--B--",
       "", "does not parse"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const FormParse parsed = ParseFormData(c.body, "B");
    if (c.error.empty()) {
      ASSERT_TRUE(parsed.form.has_value()) << parsed.error;
      EXPECT_EQ(*parsed.form->Value("a"), c.value);
    } else {
      EXPECT_FALSE(parsed.form.has_value());
      EXPECT_NE(parsed.error.find(c.error), std::string::npos) << parsed.error;
    }
  }
}

TEST(NewsdFormTest, APartCountAboveTheLimitIsRefused) {
  std::vector<std::pair<std::string, std::string>> fields;
  for (std::size_t i = 0; i < kMaxFormParts; ++i) fields.emplace_back("f" + std::to_string(i), "v");
  EXPECT_TRUE(ParseFormData(Form(fields), "B").form.has_value());
  fields.emplace_back("one", "more");
  const FormParse parsed = ParseFormData(Form(fields), "B");
  EXPECT_FALSE(parsed.form.has_value());
  EXPECT_EQ(parsed.error, "too many parts");
}

TEST(NewsdItemTest, ItemFilesAreReadOrRefusedWithTheirLine) {
  struct Case {
    const char* what;
    std::string text;
    int line;           // of the error
    std::string error;  // empty: the item reads
  };
  const std::string good = "Id: 104\nTitle: Spring offer\nDate: 2026-03-01\n\n";
  const Case cases[] = {
      {"plain", good + "<p>x</p>", 0, ""},
      {"CR LF, a byte-order mark, other letter case",
       "\xEF\xBB\xBFid:104\r\nTITLE:  Spring offer \r\ndate: 2026-03-01\r\n\r\n<p>x</p>", 0, ""},
      {"no Id", "Title: t\nDate: d\n\nx", 0, "no Id field"},
      {"Id zero", "Id: 0\nTitle: t\nDate: d\n\nx", 1, "whole number"},
      {"Id with a leading zero", "Id: 07\nTitle: t\nDate: d\n\nx", 1, "whole number"},
      {"Id past 32 bits", "Id: 2147483648\nTitle: t\nDate: d\n\nx", 1, "whole number"},
      {"Id not a number", "Id: 1a\nTitle: t\nDate: d\n\nx", 1, "whole number"},
      {"title with ^", "Id: 1\nTitle: a^b\nDate: d\n\nx", 2, "Title holds ^"},
      {"title with 0xAF", "Id: 1\nTitle: a\xC2\xAF\nDate: d\n\nx", 2, "0xAF"},
      {"empty date", "Id: 1\nTitle: t\nDate:\n\nx", 3, "Date is empty"},
      {"unknown field", "Id: 1\nTitel: t\nDate: d\n\nx", 2, "unknown field Titel"},
      {"Id twice", "Id: 1\nId: 2\nTitle: t\nDate: d\n\nx", 2, "Id given twice"},
      {"no empty line", "Id: 1\nTitle: t\nDate: d\n", 0, "no empty line"},
      {"not a field", "Id: 1\nhello\n\nx", 2, "not a field"},
      {"body over 1 MiB", good + std::string(kMaxNewsBody + 1, 'x'), 0, "larger than 1 MiB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const NewsItemParse parsed = ParseNewsItem(c.text);
    if (c.error.empty()) {
      ASSERT_TRUE(parsed.item.has_value()) << parsed.error;
      EXPECT_EQ(parsed.item->id, 104);
      EXPECT_EQ(parsed.item->title, "Spring offer");
      EXPECT_EQ(parsed.item->date, "2026-03-01");
      EXPECT_EQ(parsed.item->body, "<p>x</p>");
    } else {
      EXPECT_FALSE(parsed.item.has_value());
      EXPECT_EQ(parsed.line, c.line);
      EXPECT_NE(parsed.error.find(c.error), std::string::npos) << parsed.error;
    }
  }
}

TEST(NewsdItemTest, BodiesArriveWholeThroughTheProgramsReader) {
  std::string everyByte;
  for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
  const std::string bodies[] = {everyByte,
                                "  <p>leading blanks</p>\r\n\r\n",
                                "Cost $5E up",
                                std::string("tail \xAFOK"),
                                "",
                                "\t<p>tab</p>"};
  for (const std::string& body : bodies) {
    const std::string escaped = EscapeNewsBody(body);
    EXPECT_EQ(DecodeHexEscapes(escaped), body);
    NewsSet set({{1, "1", "t", "d", body}});
    const std::string reply = *set.DetailsReply("1");
    const std::string read = TrimReply(reply);
    ASSERT_TRUE(NewsReplySucceeded(read));
    EXPECT_EQ(ParseNewsDetails(read), body);
  }
}

TEST(NewsdItemTest, ListAndNewestRepliesReadAsTheProgramReadsThem) {
  const NewsSet set({{5, "5", "Older", "2024-01-01", "a"},
                     {12, "12", "Newest item", "2024-03-03", "b"},
                     {9, "9", "Middle", "2024-02-02", "c"}});
  EXPECT_EQ(ParseNewsList(TrimReply(set.ListReply())),
            (std::vector<std::string>{"12^Newest item^2024-03-03", "9^Middle^2024-02-02",
                                      "5^Older^2024-01-01"}));
  const NewestNewsItem newest = ParseNewestNewsItem(TrimReply(set.NewestReply()));
  EXPECT_EQ(newest.id, "12");
  EXPECT_EQ(newest.title, "Newest item");
  EXPECT_EQ(set.DetailsReply("13"), nullptr);

  const NewsSet empty;
  EXPECT_EQ(empty.ListReply(), "OK");
  EXPECT_EQ(empty.NewestReply(), "OK");
  EXPECT_TRUE(ParseNewsList(empty.ListReply()).empty());
}

class NewsdAnswerTest : public ::testing::Test {
 protected:
  NewsdAnswerTest() {
    content_.newsReadable = true;
    content_.news = NewsSet({{7, "7", "Seven", "2024-07-07", "<p>seven</p>"}});
    access_.publisherIds = {"acme-gold"};
    access_.productCodes = {"ACME-1"};
    access_.productTypes = {"BG"};
  }

  NewsAnswer Ask(NewsScript script, const std::string& publisher, const std::string& product,
                 const std::string& type, const std::string& selector, const std::string& value) {
    const MultipartBody body = BuildMultipartBody(
        "--------030724090502045", NewsFormFields(publisher, product, type, selector, value, "UA"));
    return AnswerNewsRequest(script, body.contentType, body.body, content_, access_);
  }

  ContentSnapshot content_;
  NewsAccess access_;
};

TEST_F(NewsdAnswerTest, EveryRefusalIsTheCodeTheProgramTurnsIntoItsMessage) {
  using K = NewsRequestKind;
  struct Case {
    NewsScript script;
    std::string publisher, product, type, selector, value;
    std::string reply;
    std::optional<std::string> message;  // the program's, for the list or details request
  };
  const auto L = NewsScript::List;
  const auto D = NewsScript::Details;
  const Case cases[] = {
      {L, "acme-gold", "ACME-1", "BG", "conttype", "all", "7^Seven^2024-07-07\xAFOK", std::nullopt},
      {L, "acme-gold", "ACME-1", "BG", "conttype", "lastcode", "7^Seven\xAFOK", std::nullopt},
      {D, "acme-gold", "ACME-1", "BG", "newsid", "7", "<p>seven</p>\xAFOK", std::nullopt},
      {L, "someone", "ACME-1", "BG", "conttype", "all", "INVALIDUSER",
       "There is a trouble with the Publisher Id. Contact your provider."},
      {L, "acme-gold", "OTHER", "BG", "conttype", "all", "INVALIDPRODUCT",
       "There is a trouble with the product validation. Contact your provider."},
      {D, "acme-gold", "ACME-1", "BM", "newsid", "7", "INVALIDPRODUCT",
       "There is a trouble with the product validation. Contact your provider."},
      {D, "acme-gold", "ACME-1", "BG", "newsid", "8", "INVALIDNEWS",
       "There is a trouble with this news. Contact your provider."},
      {D, "acme-gold", "ACME-1", "BG", "newsid", "07", "INVALIDNEWS",
       "There is a trouble with this news. Contact your provider."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    const NewsAnswer answer = Ask(c.script, c.publisher, c.product, c.type, c.selector, c.value);
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.body, c.reply);
    const K kind = c.script == D ? K::Details : K::List;
    EXPECT_EQ(NewsFailureMessage(TrimReply(answer.body), kind), c.message);
    // The log never holds what a stranger sent in clear.
    for (const std::string& sent : {c.publisher, c.product}) {
      if (sent == "someone" || sent == "OTHER") {
        EXPECT_EQ(answer.outcome.find(sent), std::string::npos) << answer.outcome;
      }
    }
  }

  content_.newsReadable = false;
  const NewsAnswer broken = Ask(L, "acme-gold", "ACME-1", "BG", "conttype", "all");
  EXPECT_EQ(broken.body, "CONNECTIONFAIL");
  EXPECT_EQ(NewsFailureMessage(broken.body, K::List),
            "There is a trouble in the settings file on the news site.");
}

TEST_F(NewsdAnswerTest, RequestsTheProgramNeverSendsAreBadRequests) {
  const auto refused = [&](std::string_view type, std::string_view body, NewsScript script) {
    const NewsAnswer answer = AnswerNewsRequest(script, type, body, content_, access_);
    EXPECT_EQ(answer.status, 400) << body;
    EXPECT_EQ(answer.body.find("OK"), std::string::npos) << "a refusal must not read as success";
  };
  const std::string type = "multipart/form-data; boundary=B";
  refused("text/plain", "memusername=acme-gold", NewsScript::List);
  refused(type, "--B\r\n", NewsScript::List);
  refused(type, Form({{"memusername", "acme-gold"}, {"prodcode", "ACME-1"}}), NewsScript::List);
  refused(type,
          Form({{"memusername", "acme-gold"},
                {"prodcode", "ACME-1"},
                {"prodtype", "BG"},
                {"conttype", "some"}}),
          NewsScript::List);
  refused(type, Form({{"memusername", "acme-gold"}, {"prodcode", "ACME-1"}, {"prodtype", "BG"}}),
          NewsScript::Details);
}

TEST(NewsdConfigTest, ConfigurationsAreReadOrRefusedLineByLine) {
  const std::string base =
      "folder = content\npublisher_ids = acme-gold, acme-master\nproduct_codes = ACME-1\n";
  const ConfigParse good = ParseServiceConfig(
      "# the service\n" + base +
          "listen = [::1]:9000\nproduct_types = BG\nthreads = 4\nmax_request_bytes = 2048\n"
          "rescan_seconds = 5\nlog_requests = no\n",
      "/etc/n.conf");
  ASSERT_TRUE(good.config.has_value());
  const ServiceConfig& c = *good.config;
  EXPECT_EQ(c.host, "::1");
  EXPECT_EQ(c.port, 9000);
  EXPECT_EQ(c.folder, fs::path("/etc/content"));
  EXPECT_EQ(c.access.publisherIds,
            (std::set<std::string, std::less<>>{"acme-gold", "acme-master"}));
  EXPECT_EQ(c.access.productTypes, (std::set<std::string, std::less<>>{"BG"}));
  EXPECT_EQ(c.threads, 4);
  EXPECT_EQ(c.maxRequestBytes, 2048u);
  EXPECT_FALSE(c.logRequests);

  const std::pair<std::string, std::string> bad[] = {
      {base + "listen = 127.0.0.1\n", "n.conf:4: listen: must be host:port"},
      {base + "listen = 127.0.0.1:70000\n", "n.conf:4: listen: must be host:port"},
      {base + "threads = 0\n", "n.conf:4: threads: must be a number from 1 to 256"},
      {base + "product_types = BG BX\n", "n.conf:4: product_types: must list product types"},
      {base + "max_request_bytes = 10\n", "n.conf:4: max_request_bytes: must be a number"},
      {base + "log_requests = maybe\n", "n.conf:4: log_requests: must be yes or no"},
      {base + "colour = blue\n", "n.conf:4: colour: unknown key"},
      {base + "folder = other\n", "n.conf:4: folder: given twice"},
      {base + "just words\n", "n.conf:4: not a \"key = value\" line"},
      {"folder = x\nproduct_codes = A\n", "n.conf: publisher_ids: missing"},
      {"folder = x\npublisher_ids = \nproduct_codes = A\n",
       "n.conf:2: publisher_ids: must list at least one publisher id"},
  };
  for (const auto& [text, error] : bad) {
    const ConfigParse parsed = ParseServiceConfig(text, "n.conf");
    EXPECT_FALSE(parsed.config.has_value()) << text;
    ASSERT_EQ(parsed.errors.size(), 1u) << text;
    EXPECT_TRUE(parsed.errors[0].starts_with(error)) << parsed.errors[0];
  }
}

class NewsdFolderTest : public ::testing::Test {
 protected:
  NewsdFolderTest() {
    fs::create_directories(folder_.Path() / "news");
    fs::create_directories(folder_.Path() / "liveupdate" / "acme" / "files");
  }
  void Write(const std::string& relative, const std::string& bytes) {
    WriteFileBytes(folder_.Path() / relative, bytes);
  }
  TempFolder folder_;
};

TEST_F(NewsdFolderTest, BadFilesAreLeftOutWithAReasonAndTheRestIsServed) {
  Write("news/a.news", "Id: 3\nTitle: Three\nDate: d\n\nthree");
  Write("news/b.news", "Id: 3\nTitle: Again\nDate: d\n\nagain");
  Write("news/c.news", "Id: 4\nTitle: a^b\nDate: d\n\nx");
  Write("news/notes.txt", "Id: 9\nTitle: not news\nDate: d\n\nx");
  Write("news/d.news~", "Id: 8\nTitle: back-up\nDate: d\n\nx");
  Write("news/.e.news", "Id: 7\nTitle: hidden\nDate: d\n\nx");
  Write("liveupdate/acme/mainappupdate.inf", "[APPLICATION]\nVersion=2.1\n");
  fs::create_directories(folder_.Path() / "liveupdate" / "beta");
  Write("liveupdate/beta/mainappupdate.inf", "[APPLICATION]\nVersion: 2.1\n");

  const ContentSnapshot content = LoadContent(folder_.Path());
  EXPECT_TRUE(content.newsReadable);
  EXPECT_EQ(content.news.Size(), 1u);
  EXPECT_EQ(content.news.NewestId(), "3");
  std::vector<std::pair<std::string, std::string>> problems;
  for (const ContentProblem& p : content.problems) problems.emplace_back(p.file, p.message);
  EXPECT_EQ(problems, (std::vector<std::pair<std::string, std::string>>{
                          {"news/b.news", "Id 3 is taken by news/a.news; left out"},
                          {"news/c.news",
                           "line 2: Title holds ^, which separates the fields of a news "
                           "record; left out"},
                          {"liveupdate/beta/mainappupdate.inf",
                           "no Version in its [APPLICATION] section: no update is ever offered"}}));
  EXPECT_EQ(content.descriptors.size(), 2u);
  EXPECT_EQ(content.descriptors.at("acme"), "[APPLICATION]\nVersion=2.1\n");
}

TEST_F(NewsdFolderTest, WithoutANewsFolderEveryNewsRequestIsRefused) {
  fs::remove_all(folder_.Path() / "news");
  const ContentSnapshot content = LoadContent(folder_.Path());
  EXPECT_FALSE(content.newsReadable);
  ASSERT_EQ(content.problems.size(), 1u);
  EXPECT_EQ(content.problems[0].file, "news");
}

TEST_F(NewsdFolderTest, TheFingerprintChangesWithEveryFileAScanReads) {
  Write("news/a.news", "Id: 3\nTitle: Three\nDate: d\n\nthree");
  const std::string before = ContentFingerprint(folder_.Path());
  EXPECT_EQ(ContentFingerprint(folder_.Path()), before);
  Write("news/other.txt", "ignored");
  EXPECT_EQ(ContentFingerprint(folder_.Path()), before);
  Write("news/a.news", "Id: 3\nTitle: Three, longer\nDate: d\n\nthree");
  EXPECT_NE(ContentFingerprint(folder_.Path()), before);
}

TEST_F(NewsdFolderTest, ReleaseFilesAreServedOnlyFromInsideTheUpdateFolder) {
  Write("liveupdate/acme/setup.bin", "release");
  Write("liveupdate/acme/files/part.bin", "part");
  Write("secret.conf", "publisher ids");
  Write("liveupdate/acme/.hidden", "hidden");
  fs::create_symlink(folder_.Path() / "secret.conf", folder_.Path() / "liveupdate/acme/out");
  fs::create_symlink(folder_.Path() / "liveupdate/acme/setup.bin",
                     folder_.Path() / "liveupdate/acme/current");
  const fs::path root = fs::canonical(folder_.Path() / "liveupdate");
  const std::pair<std::string, std::optional<fs::path>> cases[] = {
      {"/liveupdate/acme/setup.bin", root / "acme/setup.bin"},
      {"/liveupdate/acme/files/part.bin", root / "acme/files/part.bin"},
      {"/liveupdate/acme/current", root / "acme/setup.bin"},
      {"/liveupdate/acme/out", std::nullopt},
      {"/liveupdate/acme/../../secret.conf", std::nullopt},
      {"/liveupdate/acme/./setup.bin", std::nullopt},
      {"/liveupdate/acme/.hidden", std::nullopt},
      {"/liveupdate/acme//setup.bin", std::nullopt},
      {"/liveupdate/acme/files/", std::nullopt},
      {"/liveupdate/acme", std::nullopt},
      {"/liveupdate/acme/missing", std::nullopt},
      {"/liveupdate/acme\\..\\..\\secret.conf", std::nullopt},
      {std::string("/liveupdate/acme/setup.bin\0x", 28), std::nullopt},
      {"/other/acme/setup.bin", std::nullopt},
  };
  for (const auto& [path, file] : cases) {
    EXPECT_EQ(UpdateFile(folder_.Path(), path), file) << path;
  }
}

}  // namespace
