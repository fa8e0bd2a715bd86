#include "app/app_icon.h"

#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>

namespace kv {

namespace {

// Draws on a 256 × 256 canvas, scaled to the rectangle.
void drawIcon(QPainter& painter, const QRect& rect) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(rect.topLeft());
    painter.scale(rect.width() / 256.0, rect.height() / 256.0);
    painter.setPen(Qt::NoPen);

    QLinearGradient water(0, 8, 0, 248);
    water.setColorAt(0, QColor(0x3f, 0xa7, 0xd6));
    water.setColorAt(1, QColor(0x0b, 0x3c, 0x5d));
    painter.setBrush(water);
    painter.drawRoundedRect(QRectF(8, 8, 240, 240), 40, 40);

    const QColor beams[] = {QColor(0xff, 0xff, 0xff, 140), QColor(0xff, 0x80, 0x80, 140),
                            QColor(0x80, 0xff, 0x80, 140), QColor(0x80, 0x80, 0xff, 140)};
    const QColor lamps[] = {QColor(0xff, 0xff, 0xff), QColor(0xff, 0x40, 0x40),
                            QColor(0x40, 0xff, 0x40), QColor(0x40, 0x40, 0xff)};
    const double left[] = {52, 96, 136, 180};
    for (int channel = 0; channel < 4; ++channel) {
        const double x = left[channel];
        painter.setBrush(beams[channel]);
        painter.drawPolygon(QPolygonF(
            {QPointF(x, 64), QPointF(x + 24, 64), QPointF(x + 40, 212), QPointF(x - 16, 212)}));
    }
    painter.setBrush(QColor(0x2b, 0x2b, 0x2b));
    painter.drawRoundedRect(QRectF(36, 36, 184, 28), 8, 8);
    for (int channel = 0; channel < 4; ++channel) {
        painter.setBrush(lamps[channel]);
        painter.drawEllipse(QPointF(left[channel] + 12, 50), 7, 7);
    }
    painter.restore();
}

// Draws the icon at the size asked for, when it is asked for: nothing is
// drawn at start that the desktop never shows.
class DrawnIconEngine : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        drawIcon(*painter, rect);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap result(size);
        result.fill(Qt::transparent);
        QPainter painter(&result);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return result;
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {QSize(16, 16), QSize(32, 32),   QSize(48, 48),
                QSize(64, 64), QSize(128, 128), QSize(256, 256)};
    }
    QIconEngine* clone() const override { return new DrawnIconEngine; }
};

} // namespace

QIcon applicationIcon() {
    return QIcon(new DrawnIconEngine);
}

} // namespace kv
