// The news service's three replies, read from arbitrary bytes as they come
// off the wire. The first byte picks the request: 0 the news list, 1 the
// newest item, 2 one item's details (so seed files start with the digit).

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "publisher/NewsId.h"
#include "publisher/NewsRecord.h"
#include "publisher/NewsReply.h"

using namespace quorvane;

namespace {

// A signed 32-bit decimal: one optional sign, digits only, in range.
std::int32_t ReferenceNewsId(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return 0;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
    if (value > std::int64_t{1} << 32) return 0;
  }
  if (negative) value = -value;
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max())
    return 0;
  return static_cast<std::int32_t>(value);
}

void CheckId(std::string_view id) {
  FUZZ_CHECK(ReadNewsId(id) == ReferenceNewsId(id));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto [kind, raw] = SplitKind(data, size, 3);
  const std::string reply = TrimReply(raw);
  FUZZ_CHECK(!HasBlankEdge(reply));
  FUZZ_CHECK(raw.find(reply) != std::string_view::npos);

  static constexpr NewsRequestKind kKinds[] = {NewsRequestKind::List, NewsRequestKind::Newest,
                                               NewsRequestKind::Details};
  const NewsRequestKind request = kKinds[kind];
  if (!NewsReplySucceeded(reply)) {
    const std::optional<std::string> message = NewsFailureMessage(reply, request);
    if (request == NewsRequestKind::Newest) FUZZ_CHECK(!message);
    if (message) FUZZ_CHECK(!message->empty());
    return 0;
  }
  FUZZ_CHECK(reply.find("OK") != std::string::npos);

  switch (request) {
    case NewsRequestKind::List:
      for (const std::string& record : ParseNewsList(reply)) {
        FUZZ_CHECK(!record.empty() && record != "OK");
        FUZZ_CHECK(record.find(kNewsRecordSeparator) == std::string::npos);
        const NewsRecord fields = SplitNewsRecord(record);
        FUZZ_CHECK((fields.id + fields.title + fields.published).find('^') == std::string::npos);
        FUZZ_CHECK(record.compare(0, fields.id.size(), fields.id) == 0);
        CheckId(fields.id);
      }
      break;
    case NewsRequestKind::Newest: {
      const NewestNewsItem item = ParseNewestNewsItem(reply);
      FUZZ_CHECK(item.id.find('^') == std::string::npos);
      FUZZ_CHECK(item.title.find('^') == std::string::npos);
      FUZZ_CHECK(item.id.find(kNewsEndMarker) == std::string::npos);
      CheckId(item.id);
      break;
    }
    case NewsRequestKind::Details: {
      const std::string body = ParseNewsDetails(reply);
      FUZZ_CHECK(body.size() <= reply.size());
      break;
    }
  }
  return 0;
}
