#pragma once

#include <QDialog>

#include "base/SearchType.h"

class QPushButton;
class QRadioButton;

namespace quorvane {

// "Select Search Type": precise or broad search for "Gather Data". Made
// anew for every run so that it opens with the first choice selected.
class TfrmSelSearch : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmSelSearch(QWidget* parent = nullptr);

  SearchType ChosenSearchType() const;

 private:
  QRadioButton* rbPrecise;
  QRadioButton* rbBroad;
  QPushButton* btnOk;
  QPushButton* btnCancel;
};

}  // namespace quorvane
