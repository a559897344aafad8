#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// Reading the news service's replies. Every function but TrimReply takes
// the reply already trimmed.

// Record separator of the list reply (the macron sign in the 8-bit code page).
inline constexpr char kNewsRecordSeparator = '\xAF';
// The separator followed by "OK", which ends the newest-item and details replies.
inline constexpr std::string_view kNewsEndMarker = "\xAFOK";

// Drops bytes 0 to 32 from both ends.
std::string TrimReply(std::string_view reply);

// A reply holding "OK" anywhere succeeded; this test comes before any other.
bool NewsReplySucceeded(std::string_view reply);

// The records of a successful list reply, in reply order, without the
// empty pieces and the pieces that are exactly "OK".
std::vector<std::string> ParseNewsList(std::string_view reply);

struct NewestNewsItem {
  std::string id;
  std::string title;
};

// The newest item of a successful newest-item reply; both fields empty when
// the service has no item. A reply with fewer fields leaves the missing
// ones empty.
NewestNewsItem ParseNewestNewsItem(std::string_view reply);

// The HTML body of a successful details reply, its "$XX" escapes decoded;
// empty when an escape is malformed.
std::string ParseNewsDetails(std::string_view reply);

enum class NewsRequestKind { List, Newest, Details };

// The message for a failed reply, if its code has one for this request.
std::optional<std::string> NewsFailureMessage(std::string_view reply, NewsRequestKind kind);

}  // namespace quorvane
