#include "app/ui/FAbout.h"

#include <QFont>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <string_view>

#include "app/ui/DarkPalette.h"

#include "base/ProgramVersion.h"
#include "base/ui/DesignSize.h"
#include "base/ui/FitButton.h"
#include "base/ui/LocalText.h"
#include "base/ui/WindowPlacement.h"
#include "settings/SettingsLines.h"

namespace quorvane {

namespace {

// The design: 368 x 211, the three lines at 9, 7 / 32 / 57, the text at
// 8, 88 (348 x 71) and "Ok" at 129, 171 (87 x 21). A layout keeps those
// places at small fonts and lets each part grow with the user's font.
constexpr QSize kDesignSize(368, 211);
constexpr int kLineStep = 25;
constexpr int kCopyrightStep = 31;
constexpr QSize kTextSize(348, 71);
constexpr QSize kOkSize(87, 21);
constexpr int kOkLeft = 129;

QLabel* Line(const char* name, int minimumHeight, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  // Brand texts are shown as they are, never read as markup.
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setMinimumHeight(minimumHeight);
  return label;
}

}  // namespace

TfrmAbout::TfrmAbout(const BrandSettings& brand, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName(QStringLiteral("frmAbout"));
  setModal(true);

  lblProductName = Line("lblProductName", kLineStep, this);
  QFont bold = lblProductName->font();
  bold.setBold(true);
  lblProductName->setFont(bold);
  lblProductVersion = Line("lblProductVersion", kLineStep, this);
  lblCopyright1 = Line("lblCopyright1", kCopyrightStep, this);

  memAbout = new QPlainTextEdit(this);
  memAbout->setObjectName(QStringLiteral("memAbout"));
  memAbout->setReadOnly(true);
  memAbout->setAccessibleName(QStringLiteral("About"));
  memAbout->setFrameShape(QFrame::NoFrame);
  memAbout->setMinimumSize(kTextSize);
  memAbout->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  QFont memoFont = memAbout->font();
  memoFont.setPixelSize(std::max(14, QFontInfo(memoFont).pixelSize()));
  memAbout->setFont(memoFont);
  // Black on a light desktop; on a dark one the palette's text colour,
  // which black would all but vanish against.
  const QPalette desktop;
  const QColor ink = IsDarkPalette(desktop) ? desktop.color(QPalette::Text) : QColor(Qt::black);
  QPalette memoColours = memAbout->palette();
  memoColours.setColor(QPalette::Text, ink);
  memAbout->setPalette(memoColours);
  // Without a border the text reads as part of the dialog, on its
  // background, whatever skin is loaded.
  memAbout->setStyleSheet(
      QStringLiteral("QPlainTextEdit { background: transparent; color: %1; }").arg(ink.name()));

  editAbout = new FitButton(QStringLiteral("Ok"), kOkSize, this);
  editAbout->setObjectName(QStringLiteral("editAbout"));
  editAbout->setDefault(true);
  // The keys start on the one button; Tab reaches the text to select it.
  editAbout->setFocus();
  connect(editAbout, &QPushButton::clicked, this, &TfrmAbout::editAboutClick);

  auto* okRow = new QHBoxLayout;
  okRow->addSpacing(kOkLeft - 8);
  okRow->addWidget(editAbout);
  okRow->addStretch(1);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(8, 7, 12, 19);
  column->setSpacing(0);
  auto* lines = new QVBoxLayout;
  lines->setContentsMargins(1, 0, 0, 0);  // the lines stand a pixel right of the text
  lines->setSpacing(0);
  lines->addWidget(lblProductName);
  lines->addWidget(lblProductVersion);
  lines->addWidget(lblCopyright1);
  column->addLayout(lines);
  column->addWidget(memAbout, 1);
  column->addSpacing(12);
  column->addLayout(okRow);

  FormCreate(brand);
  // Not resizable: the design size, or what a large font needs.
  FixSizeToContents(*this, kDesignSize);

  // On the screen's middle, not over the main window.
  CenterOnScreen(*this);
}

void TfrmAbout::FormCreate(const BrandSettings& brand) {
  setWindowTitle(QStringLiteral("About ") + FromLocal(brand.ApplicationName) +
                 QStringLiteral("..."));
  lblProductName->setText(FromLocal(brand.ApplicationName));
  lblProductVersion->setText(QStringLiteral("Product Version: ") + FromLocal(ProgramVersion));
  lblCopyright1->setText(QStringLiteral("Copyright (c) ") + FromLocal(brand.CopyrightYears) +
                         QStringLiteral(" ") + FromLocal(brand.CopyrightCompany));

  QStringList lines;
  for (const auto& line : SplitLines(brand.AboutText)) lines << FromLocal(line);
  memAbout->setPlainText(lines.join(QLatin1Char('\n')));
}

void TfrmAbout::editAboutClick() {
  accept();
}

}  // namespace quorvane
