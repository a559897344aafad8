#include "publisher/BackgroundNewsCheck.h"

#include "publisher/NewsId.h"
#include "publisher/NewsService.h"

namespace quorvane {

BackgroundNewsCheck::BackgroundNewsCheck(NewsService& news,
                                         std::function<std::string()> readLastNewsId,
                                         std::function<void(const std::string&)> showNotice,
                                         std::function<void()> checkUpdatesSilently)
    : news_(news),
      readLastNewsId_(std::move(readLastNewsId)),
      showNotice_(std::move(showNotice)),
      checkUpdatesSilently_(std::move(checkUpdatesSilently)) {}

std::string BackgroundNewsCheck::NoticeText(const std::string& title) {
  return "You've Got A Message!\r\n" + title;
}

void BackgroundNewsCheck::Run() {
  std::string newestId;
  std::string newestTitle;
  if (news_.CheckBrandNews(newestId, newestTitle)) {
    if (ReadNewsId(newestId) > ReadNewsId(readLastNewsId_())) showNotice_(NoticeText(newestTitle));
  }
  checkUpdatesSilently_();
}

}  // namespace quorvane
