// The publisher's news service reading what clients send it, and the
// publisher's own news files. The first byte picks the input:
//   0  a request to getlastnews.php: a Content-Type line, LF, the body
//   1  the same to getnewsdetails.php
//   2  a news item file
// Besides not crashing: a refusal never reads as a success, every form
// part is the bytes between two delimiters, an item that is read can be
// served (its list fields hold no separator) and its body travels whole.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "base/TextRoutines.h"
#include "newsd/FormData.h"
#include "newsd/NewsAnswer.h"
#include "newsd/NewsItems.h"
#include "publisher/NewsReply.h"

using namespace quorvane;
using namespace quorvane::newsd;

namespace {

const ContentSnapshot& Content() {
  static const ContentSnapshot content = [] {
    ContentSnapshot c;
    c.newsReadable = true;
    c.news = NewsSet({{7, "7", "Seven", "2024-07-07", "<p>seven $ ^</p>"},
                      {3, "3", "Three", "2024-03-03", " three"}});
    return c;
  }();
  return content;
}

const NewsAccess& Access() {
  static const NewsAccess access = [] {
    NewsAccess a;
    a.publisherIds = {"pub"};
    a.productCodes = {"P1"};
    return a;
  }();
  return access;
}

void CheckRequest(NewsScript script, std::string_view input) {
  const auto newline = input.find('\n');
  const std::string_view type = input.substr(0, newline);
  const std::string_view body =
      newline == std::string_view::npos ? std::string_view{} : input.substr(newline + 1);

  if (const auto boundary = FormBoundary(type)) {
    FUZZ_CHECK(!boundary->empty() && boundary->size() <= 70);
    const FormParse parsed = ParseFormData(body, *boundary);
    FUZZ_CHECK(parsed.form.has_value() != !parsed.error.empty());
    if (parsed.form) {
      FUZZ_CHECK(parsed.form->parts.size() <= kMaxFormParts);
      const std::string delimiter = "\r\n--" + *boundary;
      for (const FormPart& part : parsed.form->parts) {
        FUZZ_CHECK(part.value.find(delimiter) == std::string::npos);
        FUZZ_CHECK(body.find(part.value) != std::string_view::npos);
      }
    }
  }

  const NewsAnswer answer = AnswerNewsRequest(script, type, body, Content(), Access());
  FUZZ_CHECK(answer.status == 200 || answer.status == 400);
  FUZZ_CHECK(!answer.outcome.empty());
  if (answer.status == 400) {
    FUZZ_CHECK(!NewsReplySucceeded(TrimReply(answer.body)));
    return;
  }
  const std::string reply = TrimReply(answer.body);
  if (NewsReplySucceeded(reply)) {
    const bool known = reply == Content().news.ListReply() ||
                       reply == Content().news.NewestReply() ||
                       answer.body == *Content().news.DetailsReply("7") ||
                       answer.body == *Content().news.DetailsReply("3");
    FUZZ_CHECK(known);
  } else {
    FUZZ_CHECK(reply == "INVALIDUSER" || reply == "INVALIDPRODUCT" || reply == "INVALIDNEWS");
  }
}

void CheckItem(std::string_view text) {
  const NewsItemParse parsed = ParseNewsItem(text);
  FUZZ_CHECK(parsed.item.has_value() == parsed.error.empty());
  if (!parsed.item) return;
  const NewsItem& item = *parsed.item;
  FUZZ_CHECK(item.id >= 1);
  FUZZ_CHECK(std::to_string(item.id) == item.idText);
  for (const std::string* field : {&item.title, &item.date}) {
    FUZZ_CHECK(!field->empty());
    for (const char c : *field) {
      const auto byte = static_cast<unsigned char>(c);
      FUZZ_CHECK(c != '^' && c != kNewsRecordSeparator && byte >= 0x20 && byte != 0x7F);
    }
  }
  const std::string escaped = EscapeNewsBody(item.body);
  for (const char c : escaped) {
    const auto byte = static_cast<unsigned char>(c);
    FUZZ_CHECK(byte > 0x20 || (byte == 0x20 && &c != escaped.data()));
    FUZZ_CHECK(byte < 0x7F && c != '^');
  }
  FUZZ_CHECK(DecodeHexEscapes(escaped) == item.body);

  const NewsSet set({item});
  const std::string details = TrimReply(*set.DetailsReply(item.idText));
  FUZZ_CHECK(ParseNewsDetails(details) == item.body);
  const std::vector<std::string> records = ParseNewsList(TrimReply(set.ListReply()));
  FUZZ_CHECK(records.size() == 1);
  FUZZ_CHECK(records[0] == item.idText + "^" + item.title + "^" + item.date);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto [kind, rest] = SplitKind(data, size, 3);
  if (kind == 0) CheckRequest(NewsScript::List, rest);
  if (kind == 1) CheckRequest(NewsScript::Details, rest);
  if (kind == 2) CheckItem(rest);
  return 0;
}
