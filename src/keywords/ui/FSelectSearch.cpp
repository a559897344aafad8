#include "keywords/ui/FSelectSearch.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "base/ui/WindowPlacement.h"

namespace quorvane {

namespace {

constexpr int kMargin = 10;

// The window has a fixed size: the two long captions get a smaller font,
// the same for both, until they fit its width, whatever the desktop's
// default font.
void FitWidth(std::initializer_list<QRadioButton*> choices, int width) {
  const auto fits = [&] {
    for (QRadioButton* choice : choices) {
      if (choice->sizeHint().width() > width) return false;
    }
    return true;
  };
  QFont font = (*choices.begin())->font();
  while (!fits() && font.pointSizeF() > 6) {
    font.setPointSizeF(font.pointSizeF() - 0.5);
    for (QRadioButton* choice : choices) choice->setFont(font);
  }
}

}  // namespace

TfrmSelSearch::TfrmSelSearch(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("frmSelSearch"));
  setWindowTitle(QStringLiteral("Select Search Type"));
  setFixedSize(480, 114);

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
  FitWidth({rbPrecise, rbBroad}, width() - 2 * kMargin);

  btnOk = new QPushButton(QStringLiteral("Ok"), this);
  btnOk->setObjectName(QStringLiteral("btnOk"));
  btnOk->setDefault(true);
  btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
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
