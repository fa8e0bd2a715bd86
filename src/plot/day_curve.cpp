#include "plot/day_curve.h"

#include "common/rounding.h"
#include "plot/day_curve_geometry.h"
#include "schedule/schedule_cells.h"
#include "text/number_format.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>

#include <cmath>

#include <cstring>
#include <functional>

namespace kv {

namespace {

using curve::CurveFrame;
using curve::Margin;

constexpr int HourLines = 24;
constexpr int LevelLines = 10;
constexpr int HandleHalf = 5;
constexpr int LabelShift = 5;        // hour labels start this far left of their line
constexpr int PercentLabelShift = 6; // percent labels start this far above theirs
constexpr int LabelTop = 1;

// What differs between the two views: where a line and the marker lie, and the
// text under each vertical grid line.
struct Axis {
    std::vector<double> lineX;
    std::optional<double> markerX;
    std::function<QString(int gridLine)> label;
};

void drawText(QPainter& painter, const QFontMetricsF& metrics, double left, double top,
              const QString& text) {
    painter.drawText(QPointF(left, top + metrics.ascent()), text);
}

void drawGrid(QPainter& painter, const CurveFrame& frame) {
    painter.setPen(QColor::fromRgba(curvecolor::Grid));
    for (int i = 0; i <= HourLines; ++i) {
        const int x = frame.gridX(i);
        painter.drawLine(x, Margin, x, frame.height - Margin - 1);
    }
    for (int j = 0; j <= LevelLines; ++j) {
        const int y = frame.gridY(j);
        painter.drawLine(Margin, y, frame.width - Margin, y);
    }
}

void drawAxisLabels(QPainter& painter, const QFontMetricsF& metrics, const CurveFrame& frame,
                    const Axis& axis) {
    painter.setPen(QColor::fromRgba(curvecolor::Labels));
    const double bottom = frame.height - metrics.height();
    for (int n = 0; n <= HourLines; ++n) {
        const QString text = axis.label(n);
        const double left = frame.gridX(n) - LabelShift;
        drawText(painter, metrics, left, LabelTop, text);
        drawText(painter, metrics, left, bottom, text);
    }
    // 0 % and 100 % get no label.
    for (int j = 1; j < LevelLines; ++j) {
        const QString text = QString::number(100 - 10 * j) + QLatin1Char('%');
        const double top = frame.gridY(j) - PercentLabelShift;
        drawText(painter, metrics, frame.width - metrics.horizontalAdvance(text), top, text);
        drawText(painter, metrics, 0, top, text);
    }
}

void drawMarker(QPainter& painter, const CurveFrame& frame, std::optional<double> x) {
    if (!x || *x < 0 || *x > frame.width)
        return;
    painter.setPen(QColor::fromRgba(curvecolor::Marker));
    painter.drawLine(QPointF(*x, 0), QPointF(*x, frame.height));
}

void drawDragLabel(QPainter& painter, const QFontMetricsF& metrics, const QString& text) {
    painter.fillRect(QRectF(0, 0, metrics.horizontalAdvance(text), metrics.height()),
                     QColor::fromRgba(curvecolor::DragLabelBackground));
    painter.setPen(QColor::fromRgba(curvecolor::DragLabelText));
    drawText(painter, metrics, 0, 0, text);
}

void fillHandle(QPainter& painter, double x, double y, QRgb color) {
    // Right and bottom edges exclusive.
    const int left = int(roundHalfEven(x - HandleHalf));
    const int top = int(roundHalfEven(y - HandleHalf));
    const int right = int(roundHalfEven(x + HandleHalf));
    const int bottom = int(roundHalfEven(y + HandleHalf));
    painter.fillRect(QRect(left, top, right - left, bottom - top), QColor::fromRgba(color));
}

// Qt draws long translucent antialiased segments many times slower than short
// ones; the same polyline in pieces of at most this length looks the same.
constexpr double LongestPiece = 32;

QPolygonF inShortPieces(const QPolygonF& polyline) {
    QPolygonF pieces;
    pieces.reserve(polyline.size() * 2);
    for (qsizetype i = 0; i < polyline.size(); ++i) {
        if (i > 0) {
            const QPointF step = polyline[i] - polyline[i - 1];
            const int count = int(std::ceil(std::hypot(step.x(), step.y()) / LongestPiece));
            for (int piece = 1; piece < count; ++piece)
                pieces << polyline[i - 1] + step * piece / count;
        }
        pieces << polyline[i];
    }
    return pieces;
}

// The curves, the chosen channel last so that it lies on top.
std::vector<LinePoint> drawCurves(QPainter& painter, const QFontMetricsF& metrics,
                                  const CurveFrame& frame, const DayCurveScene& scene,
                                  const Axis& axis) {
    const Schedule& lines = scene.schedule;
    std::vector<LinePoint> points(lines.size());
    if (lines.empty())
        return points;
    const int chosen = std::clamp(scene.visualChannel, 0, ChannelCount - 1);
    QPolygonF polygon;
    polygon.reserve(qsizetype(lines.size()) + 3);
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (int step = 1; step <= ChannelCount; ++step) {
        const int channel = (chosen + step) % ChannelCount;
        const std::size_t c = std::size_t(channel);
        const bool onTop = channel == chosen;
        const QRgb color = scene.curveColors[c];
        const QRgb shade = scene.curveShades[c];

        polygon.clear();
        // The day starts at the level the previous day ended with.
        polygon << QPointF(Margin, frame.levelY(lines.back().Color16[c]));
        for (std::size_t k = 0; k < lines.size(); ++k) {
            const double x = axis.lineX[k];
            const double y = frame.levelY(lines[k].Color16[c]);
            points[k].x = x;
            points[k].y[c] = y;
            if (onTop && int(k) == scene.dragLine)
                drawDragLabel(painter, metrics,
                              dragLabelText(lines[k], channel, scene.sunPath, scene.locale));
            polygon << QPointF(x, y);
            if (onTop)
                fillHandle(painter, x, y, color);
        }
        // The curve ends at the last line; nothing is drawn to the right edge.
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor::fromRgba(onTop ? color : shade), 1));
        painter.drawPolyline(onTop ? polygon : inShortPieces(polygon));
        if (onTop) {
            polygon << QPointF(frame.width - Margin, frame.height - Margin)
                    << QPointF(Margin, frame.height - Margin);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor::fromRgba(shade));
            painter.drawPolygon(polygon, Qt::OddEvenFill);
        }
    }
    return points;
}

// Background, grid and axis labels depend only on the picture's size and
// format, the font and the view: drawn once, then copied for every redraw.
struct Backdrop {
    QImage image;
    bool sunPath = false;
    QFont font;
};

const QImage& backdrop(const QImage& like, const DayCurveScene& scene, const Axis& axis) {
    thread_local Backdrop cached;
    if (cached.image.size() == like.size() && cached.image.format() == like.format() &&
        cached.sunPath == scene.sunPath && cached.font == scene.font)
        return cached.image;
    cached.image = QImage(like.size(), like.format());
    cached.sunPath = scene.sunPath;
    cached.font = scene.font;
    const CurveFrame frame{like.width(), like.height()};
    cached.image.fill(curvecolor::Background);
    QPainter painter(&cached.image);
    painter.setFont(scene.font);
    const QFontMetricsF metrics(scene.font, &cached.image);
    drawGrid(painter, frame);
    drawAxisLabels(painter, metrics, frame, axis);
    return cached.image;
}

std::vector<LinePoint> draw(QImage& image, const DayCurveScene& scene, const Axis& axis) {
    const CurveFrame frame{image.width(), image.height()};
    const QImage& ready = backdrop(image, scene, axis);
    std::memcpy(image.bits(), ready.constBits(), std::size_t(image.sizeInBytes()));
    QPainter painter(&image);
    painter.setFont(scene.font);
    const QFontMetricsF metrics(scene.font, &image);
    drawMarker(painter, frame, axis.markerX);
    return drawCurves(painter, metrics, frame, scene, axis);
}

} // namespace

QString dragLabelText(const ScheduleLine& line, int channel, bool sunPath, const QLocale& locale) {
    const double percent = levelToPercent(line.Color16[std::size_t(channel)]);
    if (sunPath)
        return schedule::altitudeText(line.Alt, locale) + QString::fromUtf8("° ") +
               formatNumber(percent, u"0", locale) + QLatin1Char('%');
    return schedule::timeText(line.Hour, line.Minute, locale) + QLatin1Char(' ') +
           formatNumber(percent, u"0.##", locale) + QLatin1Char('%');
}

std::vector<LinePoint> DrawTimeCurve(QImage& image, const DayCurveScene& scene) {
    const CurveFrame frame{image.width(), image.height()};
    Axis axis;
    axis.lineX.reserve(scene.schedule.size());
    for (const ScheduleLine& line : scene.schedule)
        axis.lineX.push_back(frame.timeX(line.Hour * 60 + line.Minute));
    axis.markerX = frame.timeX(scene.clock.hour * 60 + scene.clock.minute);
    axis.label = [](int n) {
        return QString::number(n);
    };
    return draw(image, scene, axis);
}

std::vector<LinePoint> DrawPathCurve(QImage& image, const DayCurveScene& scene) {
    const CurveFrame frame{image.width(), image.height()};
    Axis axis;
    for (double angle : curve::linePathAngles(scene.schedule))
        axis.lineX.push_back(frame.pathX(angle));
    if (const auto sun =
            curve::sunPathAngle(scene.clock, scene.latTenths, scene.lonTenths, scene.zone))
        axis.markerX = frame.pathX(*sun);
    // -90° at nadir, 0° at the horizons, 90° at the zenith.
    axis.label = [](int n) {
        const int degrees = n <= HourLines / 2 ? n * 15 - 90 : 270 - n * 15;
        return QString::number(degrees) + QString::fromUtf8("°");
    };
    return draw(image, scene, axis);
}

std::vector<LinePoint> DrawDayCurve(QImage& image, const DayCurveScene& scene) {
    return scene.sunPath ? DrawPathCurve(image, scene) : DrawTimeCurve(image, scene);
}

} // namespace kv
