#include "keywords/ui/FMainKeyword.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/Messages.h"
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
  setFixedSize(309, 109);

  auto* prompt =
      new QLabel(QStringLiteral("Please type the main keyword(s) Eg: golf, soccer:"), this);
  prompt->setObjectName(QStringLiteral("lblMainKeyword"));
  // Two lines when the desktop font is too wide for one.
  prompt->setWordWrap(true);
  prompt->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
  prompt->setGeometry(12, 4, 285, 34);

  edtMainKeyword = new QLineEdit(this);
  edtMainKeyword->setObjectName(QStringLiteral("edtMainKeyword"));
  edtMainKeyword->setGeometry(12, 42, 285, 24);
  edtMainKeyword->installEventFilter(this);
  // The prompt names the field for screen readers.
  prompt->setBuddy(edtMainKeyword);

  btnOk = new QPushButton(QStringLiteral("Ok"), this);
  btnOk->setObjectName(QStringLiteral("btnOk"));
  btnOk->setGeometry(68, 76, 80, 25);

  btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnCancel->setGeometry(160, 76, 80, 25);

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
