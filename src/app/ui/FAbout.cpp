#include "app/ui/FAbout.h"

#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <string_view>

#include "base/ProgramVersion.h"
#include "base/ui/LocalText.h"
#include "base/ui/WindowPlacement.h"
#include "settings/SettingsLines.h"

namespace quorvane {

namespace {

template <typename Control>
Control* Place(Control* control, const char* name, int left, int top) {
  control->setObjectName(QString::fromLatin1(name));
  control->move(left, top);
  return control;
}

}  // namespace

TfrmAbout::TfrmAbout(const BrandSettings& brand, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName(QStringLiteral("frmAbout"));
  setModal(true);
  setFixedSize(368, 211);

  lblProductName = Place(new QLabel(this), "lblProductName", 9, 7);
  QFont bold = lblProductName->font();
  bold.setBold(true);
  lblProductName->setFont(bold);
  lblProductVersion = Place(new QLabel(this), "lblProductVersion", 9, 32);
  lblCopyright1 = Place(new QLabel(this), "lblCopyright1", 9, 57);
  // Brand texts are shown as they are, never read as markup.
  for (QLabel* label : {lblProductName, lblProductVersion, lblCopyright1}) {
    label->setTextFormat(Qt::PlainText);
  }

  memAbout = Place(new QPlainTextEdit(this), "memAbout", 8, 88);
  memAbout->resize(348, 71);
  memAbout->setReadOnly(true);
  memAbout->setAccessibleName(QStringLiteral("About"));
  memAbout->setFrameShape(QFrame::NoFrame);
  QFont memoFont = memAbout->font();
  memoFont.setPixelSize(14);
  memAbout->setFont(memoFont);
  QPalette memoColours = memAbout->palette();
  memoColours.setColor(QPalette::Text, Qt::black);
  memAbout->setPalette(memoColours);
  // Without a border the text reads as part of the dialog, on its
  // background, whatever skin is loaded.
  memAbout->setStyleSheet(
      QStringLiteral("QPlainTextEdit { background: transparent; color: black; }"));

  editAbout = Place(new QPushButton(QStringLiteral("Ok"), this), "editAbout", 129, 171);
  editAbout->resize(87, 21);
  editAbout->setDefault(true);
  connect(editAbout, &QPushButton::clicked, this, &TfrmAbout::editAboutClick);

  FormCreate(brand);

  // On the screen's middle, not over the main window.
  CenterOnScreen(*this);
}

void TfrmAbout::FormCreate(const BrandSettings& brand) {
  setWindowTitle(QStringLiteral("About ") + FromLocal(brand.ApplicationName) +
                 QStringLiteral("..."));
  lblProductName->setText(FromLocal(brand.ApplicationName));
  lblProductName->adjustSize();
  lblProductVersion->setText(QStringLiteral("Product Version: ") + FromLocal(ProgramVersion));
  lblProductVersion->adjustSize();
  lblCopyright1->setText(QStringLiteral("Copyright (c) ") + FromLocal(brand.CopyrightYears) +
                         QStringLiteral(" ") + FromLocal(brand.CopyrightCompany));
  lblCopyright1->adjustSize();

  QStringList lines;
  for (const auto& line : SplitLines(brand.AboutText)) lines << FromLocal(line);
  memAbout->setPlainText(lines.join(QLatin1Char('\n')));
}

void TfrmAbout::editAboutClick() {
  accept();
}

}  // namespace quorvane
