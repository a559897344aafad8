#pragma once

#include <QDialog>
#include <string>

class QLineEdit;
class QPushButton;

namespace quorvane {

class Messages;

// "Main Keyword": asks for the seed phrase of suggestion gathering. Only
// collects and checks the text; the main window takes it after OK.
class TfrmMainKeyword final : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmMainKeyword(Messages& messages, QWidget* parent = nullptr);

  // The typed text, 8-bit, exactly as typed.
  std::string MainKeyword() const;

  void btnOkClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Enter in the edit does what "Ok" does.
  void edtMainKeywordKeyDown();

  Messages& messages_;
  QLineEdit* edtMainKeyword;
  QPushButton* btnOk;
  QPushButton* btnCancel;
};

}  // namespace quorvane
