#include "app/ui/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace quorvane {

namespace {

constexpr int kSize = 24;

// Paints one picture at 1x and 2x on a 24 x 24 canvas.
QIcon Paint(const std::function<void(QPainter&)>& draw) {
  QIcon icon;
  for (const int scale : {1, 2}) {
    QPixmap pixmap(kSize * scale, kSize * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    p.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

const QColor kInk(0x2b, 0x4d, 0x86);
const QColor kFill(0xf3, 0xf6, 0xfb);

}  // namespace

QIcon NewsIcon() {
  return Paint([](QPainter& p) {
    const QRectF body(2.5, 5.5, 19, 13);
    p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kFill);
    p.drawRoundedRect(body, 1.5, 1.5);
    QPainterPath flap;
    flap.moveTo(body.topLeft() + QPointF(0.8, 0.8));
    flap.lineTo(body.center().x(), body.top() + 7.5);
    flap.lineTo(body.topRight() + QPointF(-0.8, 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(flap);
  });
}

QIcon UpdateIcon() {
  return Paint([](QPainter& p) {
    const QRectF ring(4, 4, 16, 16);
    p.setPen(QPen(QColor(0x2e, 0x8b, 0x3e), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    // Three quarters of a ring with an arrow head at its open end,
    // pointing the way the ring turns.
    p.drawArc(ring, 90 * 16, 270 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2e, 0x8b, 0x3e));
    QPainterPath head;
    head.moveTo(20.0, 6.0);
    head.lineTo(16.0, 12.5);
    head.lineTo(24.0, 12.5);
    head.closeSubpath();
    p.drawPath(head);
  });
}

QIcon HelpIcon() {
  return Paint([](QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QRectF(2, 2, 20, 20));
    QFont f;
    f.setPixelSize(15);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(2, 2, 20, 20), Qt::AlignCenter, QStringLiteral("?"));
  });
}

}  // namespace quorvane
