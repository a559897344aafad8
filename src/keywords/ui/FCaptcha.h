#pragma once

#include <QDialog>
#include <string>
#include <utility>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quorvane {

class Messages;
class SecurityImageView;

// The security-image dialog: shows the image of a security-image page of
// the suggestion service and collects the characters the user reads from
// it. The caller sets PageHtml before showing it and reads the typed text,
// RandomValue and SeedValue after it closes, however it was closed.
class TfrmCaptcha : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmCaptcha(Messages& messages, QWidget* parent = nullptr);

  void SetPageHtml(std::string pageHtml) { pageHtml_ = std::move(pageHtml); }
  // The image is loaded trusting this authority's PEM file besides the
  // system's store (the HTTP client's test authority; empty: none).
  void TrustAuthority(const std::string& pemFile);
  const std::string& PageHtml() const { return pageHtml_; }
  const std::string& RandomValue() const { return randomValue_; }
  const std::string& SeedValue() const { return seedValue_; }
  const std::string& ImageSrc() const { return imageSrc_; }
  // The text of edtPassword, exactly as typed.
  std::string Password() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FormShow();
  void ShowSecurityImage();
  void btnRefreshClick();
  void btnOkClick();
  void btnCancelClick();

  Messages& messages_;
  std::string pageHtml_;
  std::string randomValue_;
  std::string seedValue_;
  std::string imageSrc_;

  QLabel* lblInstruction;
  SecurityImageView* imgSecurityImage;
  QLineEdit* edtPassword;
  QPushButton* btnRefresh;
  QPushButton* btnOk;
  QPushButton* btnCancel;
};

}  // namespace quorvane
