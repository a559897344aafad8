#include "keywords/ui/FMainKeyword.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/Messages.h"
#include "base/ui/DesignSize.h"
#include "base/ui/FitButton.h"
#include "base/ui/LocalText.h"
#include "base/ui/WindowPlacement.h"
#include "keywords/ui/EnterKey.h"

namespace quorvane {

TfrmMainKeyword::TfrmMainKeyword(Messages& messages, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      messages_(messages) {
  setObjectName(QStringLiteral("frmMainKeyword"));
  setWindowTitle(QStringLiteral("Main Keyword"));

  // The design (309 x 109: the prompt at 12, 4 over the field at 12, 42,
  // the buttons at 68 and 160, 76) at small fonts; every part grows with
  // the user's font.
  auto* prompt =
      new QLabel(QStringLiteral("Please type the main keyword(s) Eg: golf, soccer:"), this);
  prompt->setObjectName(QStringLiteral("lblMainKeyword"));
  // Two lines when the desktop font is too wide for one.
  prompt->setWordWrap(true);
  QSizePolicy wrapping(QSizePolicy::Ignored, QSizePolicy::Preferred);
  wrapping.setHeightForWidth(true);
  prompt->setSizePolicy(wrapping);
  prompt->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
  prompt->setMinimumSize(285, 34);

  edtMainKeyword = new QLineEdit(this);
  edtMainKeyword->setObjectName(QStringLiteral("edtMainKeyword"));
  edtMainKeyword->setMinimumSize(285, 24);
  edtMainKeyword->installEventFilter(this);
  // The prompt names the field for screen readers.
  prompt->setBuddy(edtMainKeyword);

  btnOk = new FitButton(QStringLiteral("Ok"), QSize(80, 25), this);
  btnOk->setObjectName(QStringLiteral("btnOk"));
  btnCancel = new FitButton(QStringLiteral("Cancel"), QSize(80, 25), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));

  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(0);
  buttons->addSpacing(68 - 12);
  buttons->addWidget(btnOk);
  buttons->addSpacing(160 - 148);
  buttons->addWidget(btnCancel);
  buttons->addStretch(1);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(12, 4, 12, 8);
  column->setSpacing(0);
  column->addWidget(prompt);
  column->addSpacing(4);
  column->addWidget(edtMainKeyword);
  column->addSpacing(10);
  column->addLayout(buttons);
  FixSizeToContents(*this, QSize(309, 109));

  setTabOrder(edtMainKeyword, btnOk);
  setTabOrder(btnOk, btnCancel);
  edtMainKeyword->setFocus();

  connect(btnOk, &QPushButton::clicked, this, &TfrmMainKeyword::btnOkClick);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  CenterOnScreen(*this);
}

std::string TfrmMainKeyword::MainKeyword() const {
  return ToLocal(edtMainKeyword->text());
}

void TfrmMainKeyword::btnOkClick() {
  if (edtMainKeyword->text().isEmpty()) {
    messages_.Information("Please add a Main Keyword.");
    return;
  }
  accept();
}

bool TfrmMainKeyword::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edtMainKeyword && IsEnterKeyPress(event)) {
    edtMainKeywordKeyDown();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TfrmMainKeyword::edtMainKeywordKeyDown() {
  btnOkClick();
}

}  // namespace quorvane
