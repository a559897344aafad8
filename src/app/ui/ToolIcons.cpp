#include "app/ui/ToolIcons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPixmapCache>
#include <algorithm>
#include <functional>
#include <utility>

namespace quorvane {

namespace {

// Every picture is drawn on a 24 x 24 canvas of logical units.
constexpr qreal kCanvas = 24;

using Drawing = std::function<void(QPainter&)>;

// Draws its picture afresh for every size and device pixel ratio asked
// for, as a scalable drawing is, so that the buttons are sharp at 1.25x,
// 1.5x or 3x as well as at 1x and 2x. The pictures drawn are kept in the
// pixmap cache.
class DrawnIconEngine final : public QIconEngine {
 public:
  DrawnIconEngine(QString key, Drawing draw) : key_(std::move(key)), draw_(std::move(draw)) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    if (rect.isEmpty()) return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->translate(rect.topLeft());
    const qreal side = std::min(rect.width(), rect.height());
    painter->translate((rect.width() - side) / 2.0, (rect.height() - side) / 2.0);
    painter->scale(side / kCanvas, side / kCanvas);
    if (mode == QIcon::Disabled) painter->setOpacity(0.4);
    draw_(*painter);
    painter->restore();
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return scaledPixmap(size, mode, state, 1.0);
  }

  // QIcon asks with the size in device pixels (the logical size times
  // `scale`).
  QPixmap scaledPixmap(const QSize& pixels, QIcon::Mode mode, QIcon::State state,
                       qreal scale) override {
    if (pixels.isEmpty()) return {};
    const QString cacheKey = QStringLiteral("quorvane-tool-%1-%2x%3-%4")
                                 .arg(key_)
                                 .arg(pixels.width())
                                 .arg(pixels.height())
                                 .arg(static_cast<int>(mode));
    QPixmap picture;
    if (QPixmapCache::find(cacheKey, &picture)) return picture;
    picture = QPixmap(pixels);
    picture.fill(Qt::transparent);
    {
      QPainter p(&picture);
      paint(&p, QRect(QPoint(0, 0), pixels), mode, state);
    }
    picture.setDevicePixelRatio(scale);
    QPixmapCache::insert(cacheKey, picture);
    return picture;
  }

  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }

  QIconEngine* clone() const override { return new DrawnIconEngine(key_, draw_); }
  QString key() const override { return QStringLiteral("quorvane-drawn"); }

 private:
  QString key_;
  Drawing draw_;
};

QIcon Drawn(const char* key, Drawing draw) {
  return QIcon(new DrawnIconEngine(QLatin1String(key), std::move(draw)));
}

const QColor kInk(0x2b, 0x4d, 0x86);
const QColor kFill(0xf3, 0xf6, 0xfb);

}  // namespace

QIcon NewsIcon() {
  return Drawn("news", [](QPainter& p) {
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
  return Drawn("update", [](QPainter& p) {
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
  return Drawn("help", [](QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QRectF(2, 2, 20, 20));
    // The mark as a path of the font's glyph, so that it scales with the
    // rest of the drawing whatever the pixel ratio.
    QFont f;
    f.setPixelSize(15);
    f.setBold(true);
    QPainterPath mark;
    mark.addText(0, 0, f, QStringLiteral("?"));
    const QRectF box = mark.boundingRect();
    mark.translate(12 - box.center().x(), 12 - box.center().y());
    p.setBrush(Qt::white);
    p.drawPath(mark);
  });
}

}  // namespace quorvane
