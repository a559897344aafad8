#pragma once

#include <QPointer>
#include <functional>
#include <string>
#include <vector>

#include "publisher/LiveUpdate.h"
#include "publisher/NewsBalloon.h"
#include "publisher/NewsService.h"
#include "publisher/OpenWindowMessages.h"

class QWidget;

// The main window's news and update commands: "Check News", "Check
// Updates", the one tick after start-up and its notice balloon. The main
// window owns one and forwards its handlers to it.
class PublisherServices {
 public:
  struct Parts {
    HttpClient& client;
    Messages& messages;
    const BrandSettings& brand;
    std::string liveUpdateBase;  // ends in "/"
    QWidget* mainWindow;         // closed after the updater has been started
    QWidget* btnNews;            // where the notice balloon points
    // The last-news marker; empty: ReadLastNewsId / SaveLastNewsId of the
    // brand settings file.
    std::function<std::string()> readLastNewsId;
    std::function<void(const std::string&)> saveLastNewsId;
  };

  explicit PublisherServices(Parts parts);
  ~PublisherServices();
  PublisherServices(const PublisherServices&) = delete;
  PublisherServices& operator=(const PublisherServices&) = delete;

  // "Check News": fetches the list into `newsItems` and shows the news
  // window, or says there is no news.
  void NewsCommand(std::vector<std::string>& newsItems);

  // The background check of the start-up tick: the news notice, then the
  // silent update check.
  void BackgroundCheck();

  // "Check Updates" (silent false) and the start-up check (silent true).
  void CheckUpdates(bool silent);

  // Shows the notice balloon at the centre of the News button, replacing
  // one still shown.
  void ShowNewsNotice(const std::string& text);

  // The balloon on view, if any.
  NewsBalloon* Balloon() const {
    return balloon_ && balloon_->isVisible() ? balloon_.data() : nullptr;
  }

  NewsService& News() { return news_; }

 private:
  std::string ReadMarker();
  void SaveMarker(const std::string& id);

  Parts parts_;
  OpenWindowMessages messages_;
  NewsService news_;
  LiveUpdate update_;
  QPointer<NewsBalloon> balloon_;
};
