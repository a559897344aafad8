#include "newsd/NewsAnswer.h"

#include <cstdint>

namespace quorvane::newsd {

namespace {

NewsAnswer Refuse(int status, std::string why) {
  return {status, "Bad request: " + why + "\n", "bad request: " + why};
}

NewsAnswer Code(const char* code, std::string outcome) {
  return {200, code, std::move(outcome)};
}

}  // namespace

std::string LogHash(std::string_view text) {
  std::uint32_t hash = 2166136261u;  // FNV-1a
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 16777619u;
  }
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "#";
  for (int shift = 28; shift >= 0; shift -= 4) out += kHex[(hash >> shift) & 0xF];
  return out;
}

NewsAnswer AnswerNews(NewsScript script, const FormData& form, const ContentSnapshot& content,
                      const NewsAccess& access) {
  const std::string* publisher = form.Value("memusername");
  const std::string* product = form.Value("prodcode");
  const std::string* type = form.Value("prodtype");
  const std::string* conttype = form.Value("conttype");
  const std::string* newsId = form.Value("newsid");
  if (publisher == nullptr || product == nullptr || type == nullptr) {
    return Refuse(400, "memusername, prodcode and prodtype are required");
  }
  const bool list = script == NewsScript::List;
  if (list && (conttype == nullptr || (*conttype != "all" && *conttype != "lastcode"))) {
    return Refuse(400, "conttype must be all or lastcode");
  }
  if (!list && newsId == nullptr) return Refuse(400, "newsid is required");
  const std::string what = !list ? "details" : *conttype == "all" ? "list" : "newest";

  if (!content.newsReadable) return Code("CONNECTIONFAIL", what + ": CONNECTIONFAIL");
  if (!access.publisherIds.contains(*publisher)) {
    return Code("INVALIDUSER", what + ": INVALIDUSER (publisher " + LogHash(*publisher) + ")");
  }
  if (!access.productCodes.contains(*product)) {
    return Code("INVALIDPRODUCT", what + ": INVALIDPRODUCT (product " + LogHash(*product) + ")");
  }
  if (!access.productTypes.contains(*type)) {
    return Code("INVALIDPRODUCT", what + ": INVALIDPRODUCT (type " + LogHash(*type) + ")");
  }

  const NewsSet& news = content.news;
  if (!list) {
    if (const std::string* reply = news.DetailsReply(*newsId)) {
      return {200, *reply, "details " + *newsId + ": OK"};
    }
    return Code("INVALIDNEWS", "details " + LogHash(*newsId) + ": INVALIDNEWS");
  }
  if (*conttype == "all") {
    return {200, news.ListReply(), "list: OK, " + std::to_string(news.Size()) + " items"};
  }
  return {200, news.NewestReply(),
          "newest: OK, " + (news.NewestId().empty() ? std::string("none") : news.NewestId())};
}

NewsAnswer AnswerNewsRequest(NewsScript script, std::string_view contentType, std::string_view body,
                             const ContentSnapshot& content, const NewsAccess& access) {
  const auto boundary = FormBoundary(contentType);
  if (!boundary) return Refuse(400, "the body is not multipart/form-data");
  const FormParse parsed = ParseFormData(body, *boundary);
  if (!parsed.form) return Refuse(400, "the form does not parse: " + parsed.error);
  return AnswerNews(script, *parsed.form, content, access);
}

}  // namespace quorvane::newsd
