#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QPushButton;
class QSplitter;
class QTextBrowser;
class QTreeWidget;
class QUrl;

namespace quorvane {

class NewsService;

// The news window: lists the publisher's news items and shows the body of
// the selected one, fetched from the news service on selection. Every body
// shown becomes the last news item read.
class TfrmNews : public QDialog {
  Q_OBJECT

 public:
  // `newsItems` are the records of the list request (id^title^published);
  // `saveLastNewsId` stores the id of each item whose body was shown.
  TfrmNews(const std::vector<std::string>& newsItems, NewsService& news,
           std::function<void(const std::string&)> saveLastNewsId, QWidget* parent = nullptr);
  ~TfrmNews() override;

  // Where a link clicked in an item's body goes; the view itself never
  // follows one.
  void OnLinkClicked(std::function<void(const QUrl&)> open);

  // True while the body of the selected row is being fetched.
  bool FetchingDetails() const { return fetchingDetails_; }

  QTreeWidget* lvwItems = nullptr;
  QTextBrowser* prfEditorNews = nullptr;
  QPushButton* btnExit = nullptr;

  // Column of the row's hidden id cell; its Qt::UserRole data holds the
  // id's bytes exactly as the service sent them.
  static constexpr int kIdColumn = 2;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormShow();
  void lvwItemsChange();
  bool lvwItemsChanging() const;
  void btnExitClick();
  void SetBusyCursor(bool busy);

  const std::vector<std::string>& newsItems_;
  NewsService& news_;
  std::function<void(const std::string&)> saveLastNewsId_;
  std::function<void(const QUrl&)> openLink_;
  bool fetchingDetails_ = false;
  // Controls are named as their object names, without an underscore.
  QWidget* panList = nullptr;
  QWidget* panButtons = nullptr;
  QSplitter* splitter = nullptr;
};

}  // namespace quorvane
