#include "keywords/ui/FSelectSearch.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "base/ui/DesignSize.h"
#include "base/ui/FitButton.h"
#include "base/ui/WindowPlacement.h"

namespace quorvane {

namespace {

constexpr int kMargin = 10;

}  // namespace

TfrmSelSearch::TfrmSelSearch(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("frmSelSearch"));
  setWindowTitle(QStringLiteral("Select Search Type"));

  rbPrecise = new QRadioButton(
      QStringLiteral("Precise Search Eg: \"golf clubs\" Should appear the word in the same order."),
      this);
  rbPrecise->setObjectName(QStringLiteral("rbPrecise"));
  rbBroad = new QRadioButton(
      QStringLiteral("Broad Search Eg: golf clubs, any word no matther the order or position in "
                     "the text."),
      this);
  rbBroad->setObjectName(QStringLiteral("rbBroad"));
  auto* group = new QButtonGroup(this);
  group->addButton(rbPrecise);
  group->addButton(rbBroad);
  rbPrecise->setChecked(true);

  btnOk = new FitButton(QStringLiteral("Ok"), QSize(75, 25), this);
  btnOk->setObjectName(QStringLiteral("btnOk"));
  btnOk->setDefault(true);
  btnCancel = new FitButton(QStringLiteral("Cancel"), QSize(75, 25), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOk);
  buttons->addWidget(btnCancel);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
  layout->addWidget(rbPrecise);
  layout->addWidget(rbBroad);
  layout->addStretch();
  layout->addLayout(buttons);
  // 480 x 114, or wider where the user's font makes the captions wider:
  // they are shown whole, never in a smaller font.
  FixSizeToContents(*this, QSize(480, 114));

  setTabOrder(btnOk, btnCancel);
  setTabOrder(btnCancel, rbPrecise);
  setTabOrder(rbPrecise, rbBroad);

  connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  btnOk->setFocus();
  CenterOnScreen(*this);
}

SearchType TfrmSelSearch::ChosenSearchType() const {
  return rbPrecise->isChecked() ? SearchType::Precise : SearchType::Broad;
}

}  // namespace quorvane
