#pragma once

#include <QPointer>
#include <functional>
#include <string>
#include <vector>

#include "publisher/LiveUpdate.h"
#include "publisher/NewsService.h"
#include "publisher/ui/NewsBalloon.h"
#include "publisher/ui/OpenWindowMessages.h"

class QUrl;
class QWidget;

namespace quorvane {

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
    // Where a link clicked in a news item goes; unset: nowhere.
    std::function<void(const QUrl&)> openLink;
    // Asked before the updater starts: false keeps the window open and the
    // updater unstarted (the user kept unsaved rows). Empty: nothing to ask.
    std::function<bool()> readyToClose;
  };

  explicit PublisherServices(Parts parts);
  ~PublisherServices();
  PublisherServices(const PublisherServices&) = delete;
  PublisherServices& operator=(const PublisherServices&) = delete;

  // "Check News": fetches the list into `newsItems` and shows the news
  // window, or says there is no news.
  void NewsCommand(std::vector<std::string>& newsItems);

  // The background check of the start-up tick: the news notice, then the
  // silent update check. An update check the check did not get to because
  // it gave way to the user runs, in the background again, once the
  // user's command is done.
  void BackgroundCheck();

  // True while BackgroundCheck runs. Its requests disable no command of
  // the window.
  bool BackgroundCheckRunning() const { return backgroundRunning_; }

  // For a command of the user that needs the client. While the background
  // check runs, the check gives way: its running request is cut and ends
  // through its quiet failure path, it makes no further request, and
  // `command` is posted to run as soon as the check has returned (only the
  // first command asked for meanwhile; the one client serves one request
  // at a time). True when the command was put off; false when no check
  // runs and the caller goes on at once.
  bool DeferBehindBackgroundCheck(std::function<void()> command);

  // True once the running background check has given way; a request it
  // still starts is to be cut before it goes out.
  bool BackgroundCheckGaveWay() const { return backgroundRunning_ && backgroundYielded_; }

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
  void RunInBackground(const std::function<void()>& work);
  void CheckUpdatesInBackground();

  Parts parts_;
  bool backgroundRunning_ = false;
  bool backgroundYielded_ = false;
  bool updateCheckOwed_ = false;
  std::function<void()> deferredCommand_;
  OpenWindowMessages messages_;
  NewsService news_;
  LiveUpdate update_;
  QPointer<NewsBalloon> balloon_;
};

}  // namespace quorvane
