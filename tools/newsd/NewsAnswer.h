#pragma once

#include <string>
#include <string_view>

#include "newsd/ContentFolder.h"
#include "newsd/FormData.h"
#include "newsd/ServiceConfig.h"

namespace quorvane::newsd {

enum class NewsScript {
  List,     // getlastnews.php: conttype "all" (the list) or "lastcode" (the newest item)
  Details,  // getnewsdetails.php: newsid
};

struct NewsAnswer {
  int status = 200;
  std::string body;
  // What happened, for the log: no client address, and ids and codes the
  // service does not know only as a short hash.
  std::string outcome;
};

// The answer to one news request whose body parsed as `form`. Refusals are
// the codes the program reads (CONNECTIONFAIL, INVALIDUSER, INVALIDPRODUCT,
// INVALIDNEWS) with status 200; a request that lacks a field the program
// always sends gets 400.
NewsAnswer AnswerNews(NewsScript script, const FormData& form, const ContentSnapshot& content,
                      const NewsAccess& access);

// The answer to a news request as it arrives: its Content-Type and body.
NewsAnswer AnswerNewsRequest(NewsScript script, std::string_view contentType, std::string_view body,
                             const ContentSnapshot& content, const NewsAccess& access);

// A short stable stand-in for a text the log must not show: "#" and eight
// hex digits.
std::string LogHash(std::string_view text);

}  // namespace quorvane::newsd
