#include "keywords/ui/FAddKeywords.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "base/Messages.h"
#include "base/ui/DesignSize.h"
#include "base/ui/FileDialogs.h"
#include "base/ui/FitButton.h"
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

  // The design (426 x 147: the two prompts at 12, 10 and 12, 62 over their
  // fields, Browse at 334, 81, Ok and Cancel at 125 and 221, 114) at small
  // fonts; every part grows with the user's font, the window with them.
  auto* typePrompt = new QLabel(QStringLiteral("Please type keyword(s) Eg: golf, soccer:"), this);
  typePrompt->setObjectName(QStringLiteral("lblAddKeyword"));
  typePrompt->setMinimumHeight(18);

  edtAddKeyword = new QLineEdit(this);
  edtAddKeyword->setObjectName(QStringLiteral("edtAddKeyword"));
  edtAddKeyword->setMinimumSize(402, 24);

  auto* listPrompt = new QLabel(
      QStringLiteral("Or add a file with a keyword list (one group of keywords per line):"), this);
  listPrompt->setObjectName(QStringLiteral("lblList"));
  listPrompt->setMinimumHeight(18);

  edtList = new QLineEdit(this);
  edtList->setObjectName(QStringLiteral("edtList"));
  edtList->setMinimumSize(316, 24);

  // Each prompt names its field for screen readers.
  typePrompt->setBuddy(edtAddKeyword);
  listPrompt->setBuddy(edtList);

  btnBrowse = new FitButton(QStringLiteral("Browse"), QSize(80, 26), this);
  btnBrowse->setObjectName(QStringLiteral("btnBrowse"));

  btnOk = new FitButton(QStringLiteral("Ok"), QSize(80, 25), this);
  btnOk->setObjectName(QStringLiteral("btnOk"));

  btnCancel = new FitButton(QStringLiteral("Cancel"), QSize(80, 25), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));

  auto* listRow = new QHBoxLayout;
  listRow->setSpacing(6);
  listRow->addWidget(edtList, 1);
  listRow->addWidget(btnBrowse);
  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(0);
  buttons->addSpacing(125 - 12);
  buttons->addWidget(btnOk);
  buttons->addSpacing(221 - 205);
  buttons->addWidget(btnCancel);
  buttons->addStretch(1);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(12, 10, 12, 8);
  column->setSpacing(0);
  column->addWidget(typePrompt);
  column->addSpacing(2);
  column->addWidget(edtAddKeyword);
  column->addSpacing(8);
  column->addWidget(listPrompt);
  column->addSpacing(2);
  column->addLayout(listRow);
  column->addSpacing(6);
  column->addLayout(buttons);
  FixSizeToContents(*this, QSize(426, 147));

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
