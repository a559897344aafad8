#pragma once

#include <QLabel>

namespace quorvane {

// A label that reports a click of the left mouse button (the banner
// pictures, the link labels). When it takes the keyboard focus, Enter,
// Return and Space click it too, and the focus shows as a frame.
class ClickLabel : public QLabel {
  Q_OBJECT

 public:
  explicit ClickLabel(QWidget* parent = nullptr);

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace quorvane
