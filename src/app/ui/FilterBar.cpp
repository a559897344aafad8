#include "app/ui/FilterBar.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

#include "app/KeywordFilter.h"
#include "app/ui/ResultsModel.h"
#include "base/ui/CrashHandler.h"
#include "base/ui/LocalText.h"

namespace quorvane {

FilterBar::FilterBar(ResultsModel& model, QTableView& table, QWidget* parent)
    : QWidget(parent), model_(model), table_(table) {
  setObjectName(QStringLiteral("panFilter"));
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(6, 4, 6, 4);
  row->setSpacing(6);

  auto* caption = new QLabel(QStringLiteral("&Filter:"));
  edtFilter_ = new QLineEdit;
  edtFilter_->setObjectName(QStringLiteral("edtFilter"));
  edtFilter_->setAccessibleName(QStringLiteral("Filter"));
  edtFilter_->setAccessibleDescription(
      QStringLiteral("Words a shown phrase must contain; words starting with - hide a phrase"));
  edtFilter_->setPlaceholderText(QStringLiteral("words to keep, -words to hide"));
  edtFilter_->installEventFilter(this);
  caption->setBuddy(edtFilter_);
  lblShown_ = new QLabel;
  lblShown_->setObjectName(QStringLiteral("lblFilterShown"));
  lblShown_->setAccessibleName(QStringLiteral("Rows shown"));
  lblShown_->setTextFormat(Qt::PlainText);
  row->addWidget(caption);
  row->addWidget(edtFilter_, 1);
  row->addWidget(lblShown_);
  hide();

  actFilter_ = new QAction(QStringLiteral("Filter"), this);
  actFilter_->setObjectName(QStringLiteral("actFilter"));
  actFilter_->setShortcut(QKeySequence::Find);
  connect(actFilter_, &QAction::triggered, this, [this] { CrashHandler::Guard([&] { Open(); }); });

  connect(edtFilter_, &QLineEdit::textChanged, this, [this](const QString& text) {
    CrashHandler::Guard([&] { model_.SetFilter(ToLocal(text)); });
  });
  // Any change of the rows may change the count shown.
  connect(&model_, &ResultsModel::modelReset, this, &FilterBar::UpdateCount);
  connect(&model_, &ResultsModel::rowsInserted, this, &FilterBar::UpdateCount);
  connect(&model_, &ResultsModel::rowsRemoved, this, &FilterBar::UpdateCount);
}

void FilterBar::Open() {
  show();
  edtFilter_->setFocus(Qt::ShortcutFocusReason);
  edtFilter_->selectAll();
}

void FilterBar::Close() {
  edtFilter_->clear();
  hide();
  table_.setFocus(Qt::OtherFocusReason);
}

bool FilterBar::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edtFilter_) {
    // Esc belongs to the field while it has the focus, ahead of any window
    // shortcut on the same key.
    const bool escape =
        (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier;
    if (escape) {
      event->accept();
      if (event->type() == QEvent::KeyPress) Close();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void FilterBar::UpdateCount() {
  const QString text =
      model_.FilterActive()
          ? QString::fromLatin1(ShownRowsText(model_.ShownCount(), model_.RowCount()))
          : QString();
  lblShown_->setText(text);
  // Its name says what it is; a screen reader reads the count from here.
  lblShown_->setAccessibleDescription(text);
}

}  // namespace quorvane
