#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::newsd {

// One news item as the publisher writes it, one file per item:
//
//   Id: 104
//   Title: Spring offer
//   Date: 2026-03-01
//
//   <p>The HTML body, sent as it stands.</p>
//
// Field names in any letter case; the first empty line ends them and
// everything after it is the body.
struct NewsItem {
  std::int32_t id = 0;  // 1 and up; a larger id is a newer item
  std::string idText;   // as sent and asked back
  std::string title;
  std::string date;
  std::string body;
};

// The largest body served; a bigger one is a mistake, not news.
inline constexpr std::size_t kMaxNewsBody = 1024 * 1024;

struct NewsItemParse {
  std::optional<NewsItem> item;
  int line = 0;       // where the trouble is, 0 for the whole file
  std::string error;  // why there is no item
};

NewsItemParse ParseNewsItem(std::string_view text);

// A body as it travels: "$" and two upper-case hex digits stand for "$",
// "^", every byte outside printable ASCII (line breaks and 0xAF among
// them) and a leading blank, which the reader would trim away.
std::string EscapeNewsBody(std::string_view body);

// The items of the news folder with every reply to them made up front, so
// that answering takes no work and one set is never half changed.
class NewsSet {
 public:
  NewsSet() : NewsSet(std::vector<NewsItem>{}) {}
  // The items must carry different ids.
  explicit NewsSet(std::vector<NewsItem> items);

  std::size_t Size() const { return size_; }
  // Newest first: "id^title^date" records each followed by 0xAF, then "OK".
  const std::string& ListReply() const { return list_; }
  // "id^title" of the newest item, 0xAF and "OK"; just "OK" without items.
  const std::string& NewestReply() const { return newest_; }
  const std::string& NewestId() const { return newestId_; }
  // The escaped body, 0xAF and "OK"; nothing for an id not served.
  const std::string* DetailsReply(std::string_view idText) const;

 private:
  std::size_t size_ = 0;
  std::string list_;
  std::string newest_;
  std::string newestId_;
  std::map<std::string, std::string, std::less<>> details_;
};

}  // namespace quorvane::newsd
