#include "publisher/NewsReply.h"

#include "base/AsciiText.h"
#include "base/TextRoutines.h"

namespace quorvane {

namespace {

std::string WithoutEndMarker(std::string_view reply) {
  return ReplaceAll(std::string(reply), kNewsEndMarker, "");
}

}  // namespace

std::string TrimReply(std::string_view reply) {
  return std::string(Trim(reply, kControlsAndSpace));
}

bool NewsReplySucceeded(std::string_view reply) {
  return reply.find("OK") != std::string_view::npos;
}

std::vector<std::string> ParseNewsList(std::string_view reply) {
  std::vector<std::string> pieces;
  SplitString(kNewsRecordSeparator, reply, pieces);
  std::vector<std::string> records;
  for (auto& piece : pieces) {
    if (piece.empty() || piece == "OK") continue;
    records.push_back(std::move(piece));
  }
  return records;
}

NewestNewsItem ParseNewestNewsItem(std::string_view reply) {
  const std::string rest = WithoutEndMarker(reply);
  NewestNewsItem item;
  if (rest == "OK") return item;
  std::vector<std::string> fields;
  SplitString('^', rest, fields);
  if (!fields.empty()) item.id = fields[0];
  if (fields.size() > 1) item.title = fields[1];
  return item;
}

std::string ParseNewsDetails(std::string_view reply) {
  return DecodeHexEscapes(WithoutEndMarker(reply));
}

std::optional<std::string> NewsFailureMessage(std::string_view reply, NewsRequestKind kind) {
  if (kind == NewsRequestKind::Newest) return std::nullopt;
  if (reply.empty()) return "There is a trouble accessing the news site. Contact your provider.";
  if (reply == "CONNECTIONFAIL") return "There is a trouble in the settings file on the news site.";
  if (reply == "INVALIDUSER")
    return "There is a trouble with the Publisher Id. Contact your provider.";
  if (reply == "INVALIDPRODUCT") {
    return "There is a trouble with the product validation. Contact your provider.";
  }
  if (reply == "INVALIDNEWS" && kind == NewsRequestKind::Details) {
    return "There is a trouble with this news. Contact your provider.";
  }
  return std::nullopt;
}

}  // namespace quorvane
