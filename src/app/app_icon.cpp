#include "app/app_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>

namespace kv {

namespace {

// Draws on a 256 × 256 canvas, scaled to the pixmap.
QPixmap drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 256.0, size / 256.0);
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
    return pixmap;
}

} // namespace

QIcon applicationIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(drawIcon(size));
    return icon;
}

} // namespace kv
