#include "publisher/ui/NewsBalloon.h"

#include <QApplication>
#include <QBitmap>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

#include "base/ui/AccessibleRole.h"

namespace quorvane {

namespace {

constexpr int kPaddingX = 8;
constexpr int kPaddingY = 6;
constexpr int kStemHeight = 14;
constexpr int kStemWidth = 16;
constexpr int kRadius = 6;

bool IsClosingInput(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::TabletPress:
    case QEvent::TouchBegin:
      return true;
    default:
      return false;
  }
}

bool IsActivationChange(QEvent::Type type) {
  switch (type) {
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
    case QEvent::ApplicationActivate:
    case QEvent::ApplicationDeactivate:
    case QEvent::ApplicationStateChange:
      return true;
    default:
      return false;
  }
}

}  // namespace

NewsBalloon::NewsBalloon(const QString& text, QWidget* owner)
    // A tool-tip window: frameless, above all others, and never activated,
    // so showing it changes no window's activation (which would close it).
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus),
      owner_(owner) {
  setObjectName(QStringLiteral("NewsBalloon"));
  setAttribute(Qt::WA_DeleteOnClose);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);

  // The service's lines end in CR LF; a lone CR would draw as a box.
  text_ = QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text_.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  // The text is painted, not held by a label: screen readers get it as
  // the name of a notification.
  setAccessibleName(text_);
  SetAccessibleRole(this, QAccessible::Notification);

  QFont font(QStringLiteral("MS Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(8);
  setFont(font);
  setPalette(QToolTip::palette());

  textSize_ = QFontMetrics(font).size(0, text_);
  setFixedSize(textSize_.width() + 2 * kPaddingX + kShadowDepth,
               textSize_.height() + 2 * kPaddingY + kStemHeight + kShadowDepth);
}

NewsBalloon::~NewsBalloon() {
  StopWatching();
}

QPoint NewsBalloon::TopLeftFor(Placement placement, QPoint anchor, QSize size) {
  // The shape without its shadow is what stands against the anchor.
  const int w = size.width() - kShadowDepth;
  const int h = size.height() - kShadowDepth;
  switch (placement) {
    case Placement::BelowLeft:
      return {anchor.x() - 3 - w, anchor.y() + 1};
    case Placement::BelowRight:
      return {anchor.x() + 6, anchor.y() + 1};
    case Placement::AboveLeft:
      return {anchor.x() - 1 - w, anchor.y() - 1 - h};
    case Placement::AboveRight:
      return {anchor.x() + 1, anchor.y() - 1 - h};
  }
  return anchor;
}

NewsBalloon::Placement NewsBalloon::ChoosePlacement(QPoint anchor, QSize size, const QRect& screen,
                                                    QPoint* topLeft) {
  const Placement order[] = {Placement::BelowLeft, Placement::BelowRight, Placement::AboveLeft,
                             Placement::AboveRight};
  for (Placement p : order) {
    const QPoint corner = TopLeftFor(p, anchor, size);
    if (screen.contains(QRect(corner, size))) {
      if (topLeft) *topLeft = corner;
      return p;
    }
  }
  if (topLeft) *topLeft = TopLeftFor(Placement::AboveRight, anchor, size);
  return Placement::AboveRight;
}

void NewsBalloon::ShowAt(QPoint anchor) {
  QScreen* screen = QGuiApplication::screenAt(anchor);
  if (!screen) screen = QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->geometry() : QRect(anchor, size());
  QPoint corner;
  placement_ = ChoosePlacement(anchor, size(), area, &corner);
  move(corner);

  const QPainterPath outline = Outline();
  QRegion shape(outline.toFillPolygon().toPolygon());
  setMask(shape.united(shape.translated(kShadowDepth, kShadowDepth)));

  show();
  raise();
  if (!watching_) {
    qApp->installEventFilter(this);
    watching_ = true;
  }
}

QPainterPath NewsBalloon::Outline() const {
  const int w = width() - kShadowDepth;
  const int h = height() - kShadowDepth;
  const bool below = placement_ == Placement::BelowLeft || placement_ == Placement::BelowRight;
  // The stem stands at the corner nearest the anchor.
  const bool stemRight = placement_ == Placement::BelowLeft || placement_ == Placement::AboveLeft;

  const QRectF body(0.5, below ? kStemHeight + 0.5 : 0.5, w - 1.0, h - kStemHeight - 1.0);
  QPainterPath path;
  path.addRoundedRect(body, kRadius, kRadius);

  const qreal tipX = stemRight ? w - 0.5 : 0.5;
  const qreal baseX = stemRight ? tipX - kStemWidth : tipX + kStemWidth;
  const qreal tipY = below ? 0.5 : h - 0.5;
  const qreal edgeY = below ? body.top() : body.bottom();
  const qreal innerY = below ? body.top() + kRadius : body.bottom() - kRadius;
  QPainterPath stem;
  stem.moveTo(tipX, tipY);
  stem.lineTo(tipX, innerY);
  stem.lineTo(baseX, edgeY);
  stem.closeSubpath();
  return path.united(stem).simplified();
}

void NewsBalloon::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPainterPath outline = Outline();
  painter.fillPath(outline.translated(kShadowDepth, kShadowDepth), QColor(64, 64, 64));
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillPath(outline, palette().color(QPalette::ToolTipBase));
  painter.setPen(QPen(palette().color(QPalette::ToolTipText), 1));
  painter.drawPath(outline);

  const bool below = placement_ == Placement::BelowLeft || placement_ == Placement::BelowRight;
  const QRect textRect(kPaddingX, (below ? kStemHeight : 0) + kPaddingY, textSize_.width(),
                       textSize_.height());
  painter.setPen(palette().color(QPalette::ToolTipText));
  painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop, text_);
}

bool NewsBalloon::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::ShortcutOverride) {
    // Claiming the key keeps a shortcut from firing; the key press that
    // follows closes the balloon and is spent.
    event->accept();
    return true;
  }
  if (IsClosingInput(type)) {
    StopWatching();
    close();
    return true;
  }
  const bool ownerGoes = watched == owner_ && owner_ &&
                         (type == QEvent::Hide || type == QEvent::Close) && !event->spontaneous();
  if (IsActivationChange(type) || ownerGoes) {
    StopWatching();
    close();
  }
  return QWidget::eventFilter(watched, event);
}

void NewsBalloon::hideEvent(QHideEvent* event) {
  StopWatching();
  QWidget::hideEvent(event);
}

void NewsBalloon::StopWatching() {
  if (!watching_) return;
  qApp->removeEventFilter(this);
  watching_ = false;
}

}  // namespace quorvane
