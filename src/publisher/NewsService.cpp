#include "publisher/NewsService.h"

#include "base/Messages.h"
#include "publisher/BrandTier.h"
#include "publisher/MultipartForm.h"
#include "publisher/NewsReply.h"
#include "publisher/NewsRequest.h"
#include "web/HttpClient.h"

namespace quorvane {

namespace {

constexpr char kTarget[] = "UA";

}  // namespace

NewsService::NewsService(HttpClient& client, Messages& messages, const BrandSettings& brand,
                         LocalClock clock)
    : client_(client), messages_(messages), brand_(brand), clock_(std::move(clock)) {}

std::string NewsService::Post(const std::string& productType, const std::string& script,
                              const std::vector<FormField>& fields) {
  const std::string url = NewsScriptUrl(NewsBaseUrlOf(brand_, productType), script);
  const MultipartBody form = BuildMultipartBody(MakeFormBoundary(clock_()), fields);
  std::string reply;
  if (!client_.Post(url, form.contentType, form.body, reply)) reply.clear();
  return TrimReply(reply);
}

bool NewsService::ShowLastNews(const std::string& publisherId, const std::string& brandCode,
                               const std::string& productType, const std::string& target,
                               std::vector<std::string>& items) {
  const std::string reply =
      Post(productType, std::string(kNewsListScript),
           NewsFormFields(publisherId, brandCode, productType, "conttype", "all", target));
  if (!NewsReplySucceeded(reply)) {
    if (auto message = NewsFailureMessage(reply, NewsRequestKind::List)) {
      messages_.Warning(*message);
    }
    return false;
  }
  for (auto& record : ParseNewsList(reply)) items.push_back(std::move(record));
  return true;
}

bool NewsService::CheckLastNews(const std::string& publisherId, const std::string& brandCode,
                                const std::string& productType, const std::string& target,
                                std::string& newestId, std::string& newestTitle) {
  newestId.clear();
  const std::string reply =
      Post(productType, std::string(kNewsListScript),
           NewsFormFields(publisherId, brandCode, productType, "conttype", "lastcode", target));
  if (!NewsReplySucceeded(reply)) return false;
  NewestNewsItem item = ParseNewestNewsItem(reply);
  newestId = std::move(item.id);
  newestTitle = std::move(item.title);
  return true;
}

bool NewsService::RequestNewsDetails(const std::string& publisherId, const std::string& brandCode,
                                     const std::string& productType, const std::string& target,
                                     const std::string& newsId, std::string& body) {
  body.clear();
  const std::string reply =
      Post(productType, std::string(kNewsDetailsScript),
           NewsFormFields(publisherId, brandCode, productType, "newsid", newsId, target));
  if (!NewsReplySucceeded(reply)) {
    if (auto message = NewsFailureMessage(reply, NewsRequestKind::Details)) {
      messages_.Warning(*message);
    }
    return false;
  }
  body = ParseNewsDetails(reply);
  return true;
}

bool NewsService::ShowBrandNews(std::vector<std::string>& items) {
  const auto tier = RequestTierOf(brand_);
  if (!tier) return false;
  return ShowLastNews(tier->publisherId, brand_.BranderCode, tier->productType, kTarget, items);
}

bool NewsService::CheckBrandNews(std::string& newestId, std::string& newestTitle) {
  const auto tier = RequestTierOf(brand_);
  if (!tier) return false;
  return CheckLastNews(tier->publisherId, brand_.BranderCode, tier->productType, kTarget, newestId,
                       newestTitle);
}

bool NewsService::RequestBrandNewsDetails(const std::string& newsId, std::string& body) {
  const auto tier = RequestTierOf(brand_);
  if (!tier) return false;
  return RequestNewsDetails(tier->publisherId, brand_.BranderCode, tier->productType, kTarget,
                            newsId, body);
}

}  // namespace quorvane
