#include "views/moon_phase.h"

#include "geo/geo_figures.h"

#include <QPainter>

#include <cmath>
#include <numbers>

namespace kv {

namespace moonphase {

QPolygonF outline(float cx, float cy, float r, float angleDeg, float fraction) {
    QPolygonF polygon;
    if (!(fraction >= 0.0f && fraction <= 1.0f))
        return polygon;
    constexpr float Pi = std::numbers::pi_v<float>;
    constexpr float Step = Pi / 12;
    const float k = (2 * fraction - 1) * r;
    const float phi = angleDeg * Pi / 180;
    const float cosPhi = std::cos(phi);
    const float sinPhi = std::sin(phi);
    const auto add = [&](float u, float v) {
        polygon << QPointF(cx + u * cosPhi - v * sinPhi, cy + u * sinPhi + v * cosPhi);
    };

    // The limb, both ends included: a step that would pass the end is cut to
    // it.
    float t = Pi / 2;
    const float limbEnd = 3 * Pi / 2;
    for (;;) {
        add(r * std::cos(t), r * std::sin(t));
        if (t >= limbEnd)
            break;
        t = std::min(t + Step, limbEnd);
    }
    // The terminator, from the top back to the bottom.
    const float terminatorEnd = 5 * Pi / 2;
    while (t < terminatorEnd) {
        t = std::min(t + Step, terminatorEnd);
        add(k * std::cos(t), r * std::sin(t));
    }
    return polygon;
}

} // namespace moonphase

void DrawMoonPhase(QImage& picture, QRgb color, float cx, float cy, float r, float angleDeg,
                   float fraction) {
    const QPolygonF polygon = moonphase::outline(cx, cy, r, angleDeg, fraction);
    if (polygon.isEmpty())
        return;
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgba(color));
    painter.drawPolygon(polygon, Qt::OddEvenFill);
}

QImage moonPhaseImage(const MoonPhasePicture& moon) {
    QImage picture(moonphase::PictureSize, moonphase::PictureSize,
                   QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    DrawMoonPhase(picture, moon.color, float(moon.centerX), float(moon.centerY), float(moon.radius),
                  float(moon.angleDeg), float(moon.fraction));
    return picture;
}

} // namespace kv
