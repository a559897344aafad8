#include "keywords/ui/FAddKeywords.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

#include "base/Messages.h"
#include "base/ui/FileDialogs.h"
#include "base/ui/LocalText.h"
#include "base/ui/WindowPlacement.h"
#include "keywords/KeywordFile.h"
#include "keywords/ui/EnterKey.h"

namespace quorvane {

TfrmAddKeywords::TfrmAddKeywords(Messages& messages, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      messages_(messages) {
  setObjectName(QStringLiteral("frmAddKeywords"));
  setWindowTitle(QStringLiteral("Enter Keyword(s)"));
  setFixedSize(426, 147);

  auto* typePrompt = new QLabel(QStringLiteral("Please type keyword(s) Eg: golf, soccer:"), this);
  typePrompt->setObjectName(QStringLiteral("lblAddKeyword"));
  typePrompt->setGeometry(12, 10, 402, 18);

  edtAddKeyword = new QLineEdit(this);
  edtAddKeyword->setObjectName(QStringLiteral("edtAddKeyword"));
  edtAddKeyword->setGeometry(12, 30, 402, 24);

  auto* listPrompt = new QLabel(
      QStringLiteral("Or add a file with a keyword list (one group of keywords per line):"), this);
  listPrompt->setObjectName(QStringLiteral("lblList"));
  listPrompt->setGeometry(12, 62, 402, 18);

  edtList = new QLineEdit(this);
  edtList->setObjectName(QStringLiteral("edtList"));
  edtList->setGeometry(12, 82, 316, 24);

  // Each prompt names its field for screen readers.
  typePrompt->setBuddy(edtAddKeyword);
  listPrompt->setBuddy(edtList);

  btnBrowse = new QPushButton(QStringLiteral("Browse"), this);
  btnBrowse->setObjectName(QStringLiteral("btnBrowse"));
  btnBrowse->setGeometry(334, 81, 80, 26);

  btnOk = new QPushButton(QStringLiteral("Ok"), this);
  btnOk->setObjectName(QStringLiteral("btnOk"));
  btnOk->setGeometry(125, 114, 80, 25);

  btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnCancel->setGeometry(221, 114, 80, 25);

  setTabOrder(edtAddKeyword, btnOk);
  setTabOrder(btnOk, btnCancel);
  setTabOrder(btnCancel, edtList);
  setTabOrder(edtList, btnBrowse);
  edtAddKeyword->setFocus();

  edtAddKeyword->installEventFilter(this);
  edtList->installEventFilter(this);
  connect(btnOk, &QPushButton::clicked, this, &TfrmAddKeywords::btnOkClick);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(btnBrowse, &QPushButton::clicked, this, &TfrmAddKeywords::btnBrowseClick);
  CenterOnScreen(*this);
}

std::string TfrmAddKeywords::AddKeyword() const {
  return ToLocal(edtAddKeyword->text());
}

std::string TfrmAddKeywords::ListPath() const {
  return ToLocal(edtList->text());
}

void TfrmAddKeywords::btnOkClick() {
  if (!edtAddKeyword->text().isEmpty() && !edtList->text().isEmpty()) {
    messages_.Information("Please select only one way to add keywords.");
    return;
  }
  if (!edtList->text().isEmpty() && !KeywordFileExists(std::filesystem::path(ListPath()))) {
    messages_.Information("Please select a valid file.");
    return;
  }
  accept();
}

void TfrmAddKeywords::btnBrowseClick() {
  const QString chosen = FileDialogs::GetOpenFileName(this, QStringLiteral("Open file"), QString(),
                                                      QStringLiteral("Text files (*.txt)"));
  if (!chosen.isEmpty()) edtList->setText(chosen);
}

bool TfrmAddKeywords::eventFilter(QObject* watched, QEvent* event) {
  if (IsEnterKeyPress(event)) {
    if (watched == edtAddKeyword) {
      edtAddKeywordKeyDown();
      return true;
    }
    if (watched == edtList) {
      edtListKeyDown();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TfrmAddKeywords::edtAddKeywordKeyDown() {
  btnOkClick();
}

void TfrmAddKeywords::edtListKeyDown() {
  btnOkClick();
}

}  // namespace quorvane
