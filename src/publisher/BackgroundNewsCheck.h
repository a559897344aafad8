#pragma once

#include <functional>
#include <string>

namespace quorvane {

class NewsService;

// The one tick after start-up: asks the news service for its newest item,
// announces it when it is newer than the last item the user has read, and
// then runs the silent update check, whatever the news part found.
class BackgroundNewsCheck {
 public:
  BackgroundNewsCheck(NewsService& news, std::function<std::string()> readLastNewsId,
                      std::function<void(const std::string&)> showNotice,
                      std::function<void()> checkUpdatesSilently);

  void Run();

  // "You've Got A Message!" and the title, on two lines.
  static std::string NoticeText(const std::string& title);

 private:
  NewsService& news_;
  std::function<std::string()> readLastNewsId_;
  std::function<void(const std::string&)> showNotice_;
  std::function<void()> checkUpdatesSilently_;
};

}  // namespace quorvane
