#pragma once

#include <QPainterPath>
#include <QPointer>
#include <QWidget>

namespace quorvane {

// The hint balloon that points at the News button when unread news is
// waiting: a shaped, topmost window that never takes the focus. The next
// key press, mouse button press or wheel turn anywhere in the application,
// or a change of activation, closes it; the input that closes it goes no
// further. Moving the mouse leaves it open. It also goes when its owner
// window is hidden or closed. It deletes itself on closing.
class NewsBalloon : public QWidget {
  Q_OBJECT

 public:
  // The four ways to stand beside the anchor, in the order they are tried.
  enum class Placement { BelowLeft, BelowRight, AboveLeft, AboveRight };

  explicit NewsBalloon(const QString& text, QWidget* owner = nullptr);
  ~NewsBalloon() override;

  // Places the balloon at `anchor` (screen coordinates) by the first
  // placement that fits on that screen, and shows it.
  void ShowAt(QPoint anchor);

  Placement placement() const { return placement_; }

  // The first placement whose rectangle lies wholly inside `screen` (the
  // last one when none fits), and the balloon's top-left corner there.
  // `size` is the whole window, drop shadow included.
  static Placement ChoosePlacement(QPoint anchor, QSize size, const QRect& screen, QPoint* topLeft);

  static constexpr int kShadowDepth = 4;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  static QPoint TopLeftFor(Placement placement, QPoint anchor, QSize size);
  QPainterPath Outline() const;
  void StopWatching();

  QPointer<QWidget> owner_;
  QString text_;
  QSize textSize_;
  Placement placement_ = Placement::BelowLeft;
  bool watching_ = false;
};

}  // namespace quorvane
