#pragma once

#include <string>
#include <vector>

#include "publisher/LocalTime.h"
#include "publisher/MultipartForm.h"
#include "settings/BrandSettings.h"

namespace quorvane {

class HttpClient;
class Messages;

// The three requests of the publisher's news service, made through the
// main window's one HTTP client. Failures never throw: a transport failure
// is an empty reply, and the list and details requests report the reply
// code with a warning box.
class NewsService {
 public:
  NewsService(HttpClient& client, Messages& messages, const BrandSettings& brand,
              LocalClock clock = CurrentLocalTime);

  // The news list. On success appends the records to `items`; on failure
  // leaves `items` as it was.
  bool ShowLastNews(const std::string& publisherId, const std::string& brandCode,
                    const std::string& productType, const std::string& target,
                    std::vector<std::string>& items);

  // The newest item's id and title; never shows a message. `newestId` is
  // cleared at the start, so it is empty after a failure.
  bool CheckLastNews(const std::string& publisherId, const std::string& brandCode,
                     const std::string& productType, const std::string& target,
                     std::string& newestId, std::string& newestTitle);

  // One item's decoded HTML body; `body` is cleared at the start.
  bool RequestNewsDetails(const std::string& publisherId, const std::string& brandCode,
                          const std::string& productType, const std::string& target,
                          const std::string& newsId, std::string& body);

  // The same requests for the brand's own tier, with the target "UA". With
  // no tier, or an empty publisher id, nothing is sent and they return false.
  bool ShowBrandNews(std::vector<std::string>& items);
  bool CheckBrandNews(std::string& newestId, std::string& newestTitle);
  bool RequestBrandNewsDetails(const std::string& newsId, std::string& body);

 private:
  // Posts the form and returns the trimmed reply; empty after any failure.
  std::string Post(const std::string& productType, const std::string& script,
                   const std::vector<FormField>& fields);

  HttpClient& client_;
  Messages& messages_;
  const BrandSettings& brand_;
  LocalClock clock_;
};

}  // namespace quorvane
