#include "publisher/PublisherServices.h"

#include <QProcess>
#include <QStringList>
#include <QWidget>
#include <exception>

#include "app/Messages.h"
#include "publisher/BackgroundNewsCheck.h"
#include "publisher/FNews.h"
#include "publisher/NewsBalloon.h"

namespace {

void StartDetached(const std::filesystem::path& program, const std::vector<std::string>& args) {
  QStringList arguments;
  for (const auto& arg : args) arguments << QString::fromLocal8Bit(arg);
  // Whether the updater starts is not checked: the program closes either way.
  QProcess::startDetached(QString::fromLocal8Bit(program.string()), arguments);
}

}  // namespace

PublisherServices::PublisherServices(Parts parts)
    : parts_(std::move(parts)),
      news_(parts_.client, parts_.messages, parts_.brand),
      update_(parts_.client, parts_.messages, parts_.liveUpdateBase, StartDetached, [this] {
        if (parts_.mainWindow) parts_.mainWindow->close();
      }) {}

PublisherServices::~PublisherServices() {
  if (balloon_) delete balloon_.data();
}

// The marker lives in the encrypted settings file; a file error there must
// not end the command that needed it, so it is reported and the command
// goes on as if no marker were stored (or the save had not happened).
std::string PublisherServices::ReadMarker() {
  try {
    return parts_.readLastNewsId ? parts_.readLastNewsId() : std::string();
  } catch (const std::exception& e) {
    parts_.messages.Warning(e.what());
    return {};
  }
}

void PublisherServices::SaveMarker(const std::string& id) {
  try {
    if (parts_.saveLastNewsId) parts_.saveLastNewsId(id);
  } catch (const std::exception& e) {
    parts_.messages.Warning(e.what());
  }
}

void PublisherServices::NewsCommand(std::vector<std::string>& newsItems) {
  newsItems.clear();
  const bool ok = news_.ShowBrandNews(newsItems);
  if (ok && !newsItems.empty()) {
    TfrmNews window(
        newsItems, news_, [this](const std::string& id) { SaveMarker(id); }, parts_.mainWindow);
    window.exec();
    return;
  }
  parts_.messages.Information("There's no news for this application!");
}

void PublisherServices::BackgroundCheck() {
  BackgroundNewsCheck check(
      news_, [this] { return ReadMarker(); },
      [this](const std::string& text) { ShowNewsNotice(text); }, [this] { CheckUpdates(true); });
  check.Run();
}

void PublisherServices::CheckUpdates(bool silent) {
  update_.CheckUpdates(silent);
}

void PublisherServices::ShowNewsNotice(const std::string& text) {
  if (balloon_) {
    balloon_->close();
    delete balloon_.data();
  }
  if (!parts_.btnNews) return;
  const QPoint anchor = parts_.btnNews->mapToGlobal(
      QPoint(parts_.btnNews->width() / 2, parts_.btnNews->height() / 2));
  balloon_ = new NewsBalloon(QString::fromLocal8Bit(text));
  balloon_->ShowAt(anchor);
}
