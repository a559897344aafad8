#pragma once

#include <QDialog>

#include "settings/BrandSettings.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace quorvane {

// The About window: the brand's name, the program version, the brand's
// copyright line and its about text. A fixed-size modal dialog without
// title-bar buttons; "Ok" closes it.
class TfrmAbout : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmAbout(const BrandSettings& brand, QWidget* parent = nullptr);

  QLabel* lblProductName;
  QLabel* lblProductVersion;
  QLabel* lblCopyright1;
  QPlainTextEdit* memAbout;
  QPushButton* editAbout;

 private:
  void FormCreate(const BrandSettings& brand);
  void editAboutClick();
};

}  // namespace quorvane
