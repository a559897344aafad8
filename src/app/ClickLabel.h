#pragma once

#include <QLabel>

// A label that reports a click of the left mouse button (the banner
// pictures, the link labels).
class ClickLabel : public QLabel {
  Q_OBJECT

 public:
  explicit ClickLabel(QWidget* parent = nullptr);

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};
