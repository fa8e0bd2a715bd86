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

    // Each half runs in steps of π/12, both ends included; the last step is
    // cut to the end. Counting the steps keeps rounding from adding a point.
    const auto run = [](float from, float to, bool withStart, auto&& each) {
        const int steps = int(std::ceil((to - from) / Step - 1e-3f));
        for (int i = withStart ? 0 : 1; i <= steps; ++i)
            each(i == steps ? to : std::min(from + float(i) * Step, to));
    };
    // The limb, from the bottom through the left to the top.
    run(Pi / 2, 3 * Pi / 2, true, [&](float t) { add(r * std::cos(t), r * std::sin(t)); });
    // The terminator, from the top back to the bottom.
    run(3 * Pi / 2, 5 * Pi / 2, false, [&](float t) { add(k * std::cos(t), r * std::sin(t)); });
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
