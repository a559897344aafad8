#include "keywords/ui/FCaptcha.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/Messages.h"
#include "base/ui/AccessibleRole.h"
#include "base/ui/DesignSize.h"
#include "base/ui/FitButton.h"
#include "base/ui/LocalText.h"
#include "base/ui/WindowPlacement.h"
#include "keywords/SecurityImagePage.h"
#include "keywords/ui/SecurityImageView.h"

namespace quorvane {

namespace {

QPushButton* MakeButton(const char* caption, const char* name, QWidget* parent) {
  auto* button = new FitButton(QString::fromLatin1(caption), QSize(75, 25), parent);
  button->setObjectName(QString::fromLatin1(name));
  // Enter must not press anything: the answer is sent only by a click.
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

}  // namespace

TfrmCaptcha::TfrmCaptcha(Messages& messages, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      messages_(messages) {
  setObjectName(QStringLiteral("frmCaptcha"));
  setWindowTitle(QStringLiteral("Security image"));

  lblInstruction = new QLabel(QStringLiteral("Please enter the characters in the image"), this);
  lblInstruction->setObjectName(QStringLiteral("lblInstruction"));

  imgSecurityImage = new SecurityImageView(this);
  imgSecurityImage->setObjectName(QStringLiteral("imgSecurityImage"));
  imgSecurityImage->setFixedSize(280, 111);
  imgSecurityImage->setAccessibleName(QStringLiteral("Security image"));
  SetAccessibleRole(imgSecurityImage, QAccessible::Graphic);

  edtPassword = new QLineEdit(this);
  edtPassword->setObjectName(QStringLiteral("edtPassword"));
  edtPassword->setFixedWidth(280);
  // The instruction names the field for screen readers.
  lblInstruction->setBuddy(edtPassword);

  btnRefresh = MakeButton("Refresh", "btnRefresh", this);
  btnOk = MakeButton("Ok", "btnOk", this);
  btnCancel = MakeButton("Cancel", "btnCancel", this);

  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(0);
  buttons->addWidget(btnRefresh);
  buttons->addStretch();
  buttons->addWidget(btnOk);
  buttons->addStretch();
  buttons->addWidget(btnCancel);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(15, 6, 15, 8);
  layout->setSpacing(5);
  layout->addWidget(lblInstruction);
  layout->addWidget(imgSecurityImage);
  layout->addWidget(edtPassword);
  layout->addStretch();
  layout->addLayout(buttons);
  // 310 x 209, or larger where the user's font needs it.
  FixSizeToContents(*this, QSize(310, 209));

  setTabOrder(imgSecurityImage, edtPassword);
  setTabOrder(edtPassword, btnRefresh);
  setTabOrder(btnRefresh, btnOk);
  setTabOrder(btnOk, btnCancel);

  connect(btnRefresh, &QPushButton::clicked, this, &TfrmCaptcha::btnRefreshClick);
  connect(btnOk, &QPushButton::clicked, this, &TfrmCaptcha::btnOkClick);
  connect(btnCancel, &QPushButton::clicked, this, &TfrmCaptcha::btnCancelClick);
  CenterOnScreen(*this);
}

std::string TfrmCaptcha::Password() const {
  return ToLocal(edtPassword->text());
}

void TfrmCaptcha::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TfrmCaptcha::TrustAuthority(const std::string& pemFile) {
  imgSecurityImage->TrustAuthority(pemFile);
}

void TfrmCaptcha::FormShow() {
  // The user came to type: the field takes the keys from the start.
  edtPassword->setFocus();
  ShowSecurityImage();
}

void TfrmCaptcha::ShowSecurityImage() {
  const SecurityImageValues values = ReadSecurityImagePage(pageHtml_);
  randomValue_ = values.RandomValue;
  seedValue_ = values.SeedValue;
  imageSrc_ = values.ImageSrc;
  // Taken as it stands: a relative address is not resolved and just fails.
  imgSecurityImage->Navigate(QUrl(FromLocal(imageSrc_)));
}

void TfrmCaptcha::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TfrmCaptcha::btnRefreshClick() {
  imgSecurityImage->Refresh();
}

void TfrmCaptcha::btnOkClick() {
  if (edtPassword->text().isEmpty()) {
    messages_.Information("Please enter a password.");
    return;
  }
  accept();
}

void TfrmCaptcha::btnCancelClick() {
  reject();
}

}  // namespace quorvane
