#include "publisher/ui/PublisherServices.h"

#include <QProcess>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <exception>
#include <utility>

#include "base/ui/CrashHandler.h"
#include "base/ui/LocalText.h"
#include "publisher/BackgroundNewsCheck.h"
#include "publisher/ui/FNews.h"
#include "publisher/ui/NewsBalloon.h"
#include "settings/LastNewsId.h"
#include "web/HttpClient.h"

namespace quorvane {

namespace {

void StartDetached(const std::filesystem::path& program, const std::vector<std::string>& args) {
  QStringList arguments;
  for (const auto& arg : args) arguments << FromLocal(arg);
  // Whether the updater starts is not checked: the program closes either way.
  QProcess::startDetached(FromLocal(program.string()), arguments);
}

// The settings file's marker unless the caller brings its own store.
PublisherServices::Parts WithDefaultMarkerStore(PublisherServices::Parts parts) {
  if (!parts.readLastNewsId) parts.readLastNewsId = [] { return ReadLastNewsId(); };
  if (!parts.saveLastNewsId) {
    parts.saveLastNewsId = [](const std::string& id) { SaveLastNewsId(id); };
  }
  return parts;
}

}  // namespace

PublisherServices::PublisherServices(Parts parts)
    : parts_(WithDefaultMarkerStore(std::move(parts))),
      messages_(parts_.messages, parts_.mainWindow),
      news_(parts_.client, messages_, parts_.brand),
      update_(
          parts_.client, messages_, parts_.liveUpdateBase, StartDetached,
          [this] {
            if (parts_.mainWindow) parts_.mainWindow->close();
          },
          parts_.readyToClose) {}

PublisherServices::~PublisherServices() {
  if (balloon_) delete balloon_.data();
}

// The marker lives in the encrypted settings file. A file error there is
// reported like any unexpected error, and the command goes on: the tick
// still runs its update check, the news window stays open.
std::string PublisherServices::ReadMarker() {
  try {
    return parts_.readLastNewsId();
  } catch (const std::exception& e) {
    messages_.Warning(CrashHandler::ReportText(e.what()));
    return {};
  }
}

void PublisherServices::SaveMarker(const std::string& id) {
  try {
    parts_.saveLastNewsId(id);
  } catch (const std::exception& e) {
    messages_.Warning(CrashHandler::ReportText(e.what()));
  }
}

void PublisherServices::NewsCommand(std::vector<std::string>& newsItems) {
  newsItems.clear();
  const bool ok = news_.ShowBrandNews(newsItems);
  if (!messages_.Open()) return;
  if (ok && !newsItems.empty()) {
    TfrmNews window(
        newsItems, news_, [this](const std::string& id) { SaveMarker(id); }, parts_.mainWindow);
    if (parts_.openLink) window.OnLinkClicked(parts_.openLink);
    window.exec();
    return;
  }
  messages_.Information("There's no news for this application!");
}

void PublisherServices::BackgroundCheck() {
  RunInBackground([this] {
    BackgroundNewsCheck check(
        news_, [this] { return ReadMarker(); },
        [this](const std::string& text) { ShowNewsNotice(text); },
        [this] { CheckUpdatesInBackground(); });
    check.Run();
  });
}

// The silent update check of the start-up tick. A check that has given way
// before it asked is owed, not dropped: it runs once the user's command is
// done.
void PublisherServices::CheckUpdatesInBackground() {
  if (backgroundYielded_) {
    updateCheckOwed_ = true;
    return;
  }
  CheckUpdates(true);
}

void PublisherServices::RunInBackground(const std::function<void()>& work) {
  backgroundRunning_ = true;
  backgroundYielded_ = false;
  updateCheckOwed_ = false;
  // However the check ends, a command that waited for it runs next, and
  // after that an update check the check still owes.
  struct EndOfCheck {
    PublisherServices& self;
    ~EndOfCheck() {
      self.backgroundRunning_ = false;
      auto command = std::exchange(self.deferredCommand_, nullptr);
      if (!command && !self.updateCheckOwed_) return;
      try {
        // Not once the window has been closed meanwhile.
        QTimer::singleShot(0, &self.messages_, [&self = self, command = std::move(command)] {
          if (!self.messages_.Open()) return;
          if (command) command();
          // The user's own Check Updates pays the debt.
          if (!std::exchange(self.updateCheckOwed_, false) || !self.messages_.Open()) return;
          QTimer::singleShot(0, &self.messages_, [&self] {
            if (self.messages_.Open())
              self.RunInBackground([&self] { self.CheckUpdatesInBackground(); });
          });
        });
      } catch (...) {  // out of memory: the click is lost, the window goes on
      }
    }
  } endOfCheck{*this};
  work();
}

bool PublisherServices::DeferBehindBackgroundCheck(std::function<void()> command) {
  if (!backgroundRunning_) return false;
  backgroundYielded_ = true;
  // No abort flag: the cut fails the check's request without touching the
  // flag that the user's own commands go by.
  parts_.client.Disconnect();
  if (!deferredCommand_) deferredCommand_ = std::move(command);
  return true;
}

void PublisherServices::CheckUpdates(bool silent) {
  if (!silent) updateCheckOwed_ = false;
  update_.CheckUpdates(silent);
}

void PublisherServices::ShowNewsNotice(const std::string& text) {
  if (balloon_) {
    balloon_->close();
    delete balloon_.data();
  }
  if (!parts_.btnNews || !messages_.Open()) return;
  const QPoint anchor = parts_.btnNews->mapToGlobal(
      QPoint(parts_.btnNews->width() / 2, parts_.btnNews->height() / 2));
  balloon_ = new NewsBalloon(FromLocal(text), parts_.btnNews->window());
  balloon_->ShowAt(anchor);
}

}  // namespace quorvane
