#pragma once

#include <QDialog>
#include <string>

class QLineEdit;
class QPushButton;

namespace quorvane {

class Messages;

// "Enter Keyword(s)": one phrase typed by hand, or the path of a keyword
// list file. Only collects and checks the input; the main window adds the
// rows after OK.
class TfrmAddKeywords final : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmAddKeywords(Messages& messages, QWidget* parent = nullptr);

  // The typed phrase and the list path, 8-bit, exactly as entered.
  std::string AddKeyword() const;
  std::string ListPath() const;

  void btnOkClick();
  void btnBrowseClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Enter in either edit does what "Ok" does.
  void edtAddKeywordKeyDown();
  void edtListKeyDown();

  Messages& messages_;
  QLineEdit* edtAddKeyword;
  QLineEdit* edtList;
  QPushButton* btnBrowse;
  QPushButton* btnOk;
  QPushButton* btnCancel;
};

}  // namespace quorvane
