#include "views/geo_map.h"

#include "common/rounding.h"
#include "text/number_format.h"
#include "text/text_catalogue.h"

#include <QColor>

#include <algorithm>
#include <cmath>
#include <cstring>

// Resources of a static library are registered by hand, outside any namespace.
static void registerWorldMapResource() {
    Q_INIT_RESOURCE(world_map);
}

namespace kv::geomap {

namespace {

constexpr QRgb PlainOcean = 0xFF0A1E50;

QString degrees(double value) {
    return formatNumber(value, u"0.#") + QStringLiteral("°");
}

// Source-over of a colour with alpha onto an opaque pixel.
QRgb blend(QRgb under, QRgb over) {
    const int alpha = qAlpha(over);
    const auto mix = [alpha](int below, int above) {
        return (above * alpha + below * (255 - alpha) + 127) / 255;
    };
    return qRgb(mix(qRed(under), qRed(over)), mix(qGreen(under), qGreen(over)),
                mix(qBlue(under), qBlue(over)));
}

} // namespace

QPoint pixelOf(const Place& place) {
    const double x = (place.longitude + 180) * Width / 360;
    const double y = (90 - place.latitude) * Height / 180;
    return {int(roundHalfEven(x)), int(roundHalfEven(y))};
}

Place placeAt(const QPointF& picturePoint) {
    const double x = std::clamp(picturePoint.x(), 0.0, double(Width));
    const double y = std::clamp(picturePoint.y(), 0.0, double(Height));
    return {90 - y * 180 / Height, x * 360 / Width - 180};
}

int toTenths(double degrees) {
    return int(roundHalfEven(degrees * 10));
}

void copyMap(const QImage& worldMap, QImage& target) {
    if (target.size() == worldMap.size() && target.format() == worldMap.format() &&
        target.bytesPerLine() == worldMap.bytesPerLine()) {
        std::memcpy(target.bits(), worldMap.constBits(), std::size_t(worldMap.sizeInBytes()));
        return;
    }
    target = worldMap.copy();
}

void drawMarker(QImage& map, const QPoint& pixel) {
    const int width = map.width();
    const int height = map.height();
    const int x = pixel.x();
    const int y = pixel.y();
    // The two lines are blended one after the other, as two strokes would be.
    if (y >= 0 && y < height) {
        auto* row = reinterpret_cast<QRgb*>(map.scanLine(y));
        for (int column = 0; column < width; ++column)
            row[column] = blend(row[column], CrossLineColor);
    }
    if (x >= 0 && x < width) {
        for (int line = 0; line < height; ++line) {
            auto* row = reinterpret_cast<QRgb*>(map.scanLine(line));
            row[x] = blend(row[x], CrossLineColor);
        }
    }
    // The square from (x − 2, y − 2) to (x + 3, y + 3), right and bottom edges
    // excluded.
    const int left = std::max(x - 2, 0);
    const int right = std::min(x + 3, width);
    for (int line = std::max(y - 2, 0); line < std::min(y + 3, height); ++line) {
        auto* row = reinterpret_cast<QRgb*>(map.scanLine(line));
        for (int column = left; column < right; ++column)
            row[column] = SquareColor;
    }
}

QImage loadWorldMap() {
    registerWorldMapResource();
    QImage map(QStringLiteral(":/maps/world_map.jpg"));
    if (map.isNull()) {
        map = QImage(Width, Height, QImage::Format_RGB32);
        map.fill(PlainOcean);
        return map;
    }
    if (map.size() != QSize(Width, Height))
        map = map.scaled(Width, Height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return map.convertToFormat(QImage::Format_RGB32);
}

QString pointerText(const Place& place) {
    return Msg(QStringLiteral("MousePosition")) + QStringLiteral(": ") +
           Msg(QStringLiteral("Latitude")) + QStringLiteral(": ") + degrees(place.latitude) +
           QStringLiteral(", ") + Msg(QStringLiteral("Longitude")) + QStringLiteral(": ") +
           degrees(place.longitude);
}

QString placeInWords(const Place& place) {
    const QString latitude = degrees(std::fabs(place.latitude)) +
                             (place.latitude < 0 ? QStringLiteral(" südliche Breite")
                                                 : QStringLiteral(" nördliche Breite"));
    const QString longitude = degrees(std::fabs(place.longitude)) +
                              (place.longitude < 0 ? QStringLiteral(" westliche Länge")
                                                   : QStringLiteral(" östliche Länge"));
    return QStringLiteral("Gewählter Ort: ") + latitude + QStringLiteral(", ") + longitude;
}

} // namespace kv::geomap
