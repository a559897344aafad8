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
  edtFilter = new QLineEdit;
  edtFilter->setObjectName(QStringLiteral("edtFilter"));
  edtFilter->setAccessibleName(QStringLiteral("Filter"));
  edtFilter->setAccessibleDescription(
      QStringLiteral("Words a shown phrase must contain; words starting with - hide a phrase"));
  edtFilter->setPlaceholderText(QStringLiteral("words to keep, -words to hide"));
  edtFilter->installEventFilter(this);
  caption->setBuddy(edtFilter);
  lblFilterShown = new QLabel;
  lblFilterShown->setObjectName(QStringLiteral("lblFilterShown"));
  lblFilterShown->setAccessibleName(QStringLiteral("Rows shown"));
  lblFilterShown->setTextFormat(Qt::PlainText);
  row->addWidget(caption);
  row->addWidget(edtFilter, 1);
  row->addWidget(lblFilterShown);
  hide();

  actFilter = new QAction(QStringLiteral("Filter"), this);
  actFilter->setObjectName(QStringLiteral("actFilter"));
  actFilter->setShortcut(QKeySequence::Find);
  connect(actFilter, &QAction::triggered, this, [this] { CrashHandler::Guard([&] { Open(); }); });

  connect(edtFilter, &QLineEdit::textChanged, this, [this](const QString& text) {
    CrashHandler::Guard([&] { model_.SetFilter(ToLocal(text)); });
  });
  // Any change of the rows may change the count shown.
  connect(&model_, &ResultsModel::modelReset, this, &FilterBar::UpdateCount);
  connect(&model_, &ResultsModel::rowsInserted, this, &FilterBar::UpdateCount);
  connect(&model_, &ResultsModel::rowsRemoved, this, &FilterBar::UpdateCount);
}

void FilterBar::Open() {
  show();
  edtFilter->setFocus(Qt::ShortcutFocusReason);
  edtFilter->selectAll();
}

void FilterBar::Close() {
  edtFilter->clear();
  hide();
  table_.setFocus(Qt::OtherFocusReason);
}

bool FilterBar::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edtFilter) {
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
  lblFilterShown->setText(text);
  // Its name says what it is; a screen reader reads the count from here.
  lblFilterShown->setAccessibleDescription(text);
}

}  // namespace quorvane
