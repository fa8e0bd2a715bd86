#include "plot/history_picture.h"

#include "plot/channel_colors.h"
#include "plot/history_axis.h"
#include "text/number_format.h"
#include "text/text_catalogue.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace kv::historyplot {

namespace {

const QLocale German(QLocale::German, QLocale::Germany);

// The level lines: 0, 25, 50, 75 and 100 %, or only every second where the
// panel is too low for five labels.
std::vector<int> levelTicks(const QRect& area) {
    if (area.height() / 4 >= MinValueSpacing)
        return {0, 25, 50, 75, 100};
    return {0, 50, 100};
}

QString celsiusText(double value, double step) {
    return formatNumber(value, step < 1 ? u"0.0" : u"0", German) + QString::fromUtf8(" °C");
}

// Text with its top left corner at (x, y).
void textAt(QPainter& painter, double x, double y, const QString& text) {
    painter.drawText(QPointF(x, y + painter.fontMetrics().ascent()), text);
}

void centredText(QPainter& painter, const QRect& area, const QString& text) {
    painter.setPen(QColor::fromRgba(colors::Label));
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, text);
}

// The x of a bucket's middle: the line passes there.
double middleX(const HistoryFrame& frame, const HistoryPoint& point, qint64 bucketMs) {
    return frame.x(point.time + bucketMs / 2);
}

// A bucket on its own is a short stroke over its width (at least 2 pixels).
std::pair<double, double> strokeOf(const HistoryFrame& frame, const HistoryPoint& point,
                                   qint64 bucketMs) {
    const double middle = middleX(frame, point, bucketMs);
    const double half = std::max(1.0, (frame.x(point.time + bucketMs) - frame.x(point.time)) / 2);
    return {middle - half, middle + half};
}

void drawTimeAxis(QPainter& painter, const HistoryFrame& frame, const HistoryPicture& picture,
                  QSize size) {
    const TickStep step = tickStep(picture.from, picture.to, frame.plotWidth());
    const QRect upper = frame.temperatureArea();
    const QRect lower = frame.levelArea();
    const QFontMetrics metrics = painter.fontMetrics();
    for (qint64 tick : tickTimes(picture.from, picture.to, step, picture.zone)) {
        const double x = std::round(frame.x(tick)) + 0.5;
        painter.setPen(QColor::fromRgba(colors::Grid));
        painter.drawLine(QPointF(x, upper.top()), QPointF(x, upper.bottom()));
        painter.drawLine(QPointF(x, lower.top()), QPointF(x, lower.bottom()));
        const QString text = tickLabel(tick, step, picture.zone, German);
        const int width = metrics.horizontalAdvance(text);
        const double left = std::clamp(x - width / 2.0, 0.0, double(size.width() - width));
        painter.setPen(QColor::fromRgba(colors::Label));
        textAt(painter, left, lower.bottom() + 4, text);
    }
}

void drawValueLine(QPainter& painter, const QRect& area, double y, const QString& label) {
    const double row = std::round(y) + 0.5;
    painter.setPen(QColor::fromRgba(colors::Grid));
    painter.drawLine(QPointF(area.left(), row), QPointF(area.right(), row));
    painter.setPen(QColor::fromRgba(colors::Label));
    const QFontMetrics metrics = painter.fontMetrics();
    textAt(painter, area.left() - 6 - metrics.horizontalAdvance(label),
           row - metrics.height() / 2.0, label);
}

void drawTemperature(QPainter& painter, const HistoryFrame& frame, const HistoryPicture& picture,
                     const TemperatureScale& scale) {
    const QRect area = frame.temperatureArea();
    const auto y = [&](double celsius) {
        return scale.y(celsius, area);
    };
    painter.save();
    painter.setClipRect(area);
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (const auto& [first, last] : joinedRuns(picture.points, picture.bucketMs, hasWater)) {
        QPolygonF band;
        QPolygonF mean;
        const auto add = [&](double x, const HistoryPoint& point) {
            mean << QPointF(x, y(*point.water));
            band << QPointF(x, y(point.waterMax.value_or(*point.water)));
        };
        if (first == last) {
            const auto [left, right] = strokeOf(frame, picture.points[first], picture.bucketMs);
            add(left, picture.points[first]);
            add(right, picture.points[first]);
        } else {
            for (std::size_t i = first; i <= last; ++i)
                add(middleX(frame, picture.points[i], picture.bucketMs), picture.points[i]);
        }
        // Back along the least values.
        for (qsizetype i = mean.size() - 1; i >= 0; --i) {
            const HistoryPoint& point = picture.points[first == last ? first : first + i];
            band << QPointF(mean[i].x(), y(point.waterMin.value_or(*point.water)));
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromRgba(colors::WaterBand));
        painter.drawPolygon(band);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor::fromRgba(colors::Water), WaterLineWidth, Qt::SolidLine,
                            Qt::FlatCap, Qt::RoundJoin));
        painter.drawPolyline(mean);
    }
    painter.restore();
}

void drawLevels(QPainter& painter, const HistoryFrame& frame, const HistoryPicture& picture) {
    const std::array<QRgb, ChannelCount> lineColors = channelLineColors(picture.colorNames);
    const std::vector<Stretch> runs = joinedRuns(picture.points, picture.bucketMs, hasLevels);
    painter.save();
    painter.setClipRect(frame.levelArea());
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (int channel = 0; channel < ChannelCount; ++channel) {
        const auto c = std::size_t(channel);
        painter.setPen(QPen(QColor::fromRgba(lineColors[c]), LevelLineWidth, Qt::SolidLine,
                            Qt::FlatCap, Qt::RoundJoin));
        for (const auto& [first, last] : runs) {
            QPolygonF line;
            if (first == last) {
                const auto [left, right] = strokeOf(frame, picture.points[first], picture.bucketMs);
                const double y = frame.levelY(picture.points[first].percent[c]);
                line << QPointF(left, y) << QPointF(right, y);
            } else {
                for (std::size_t i = first; i <= last; ++i)
                    line << QPointF(middleX(frame, picture.points[i], picture.bucketMs),
                                    frame.levelY(picture.points[i].percent[c]));
            }
            painter.drawPolyline(line);
        }
    }
    painter.restore();
}

// The legend above the panels: a stroke of each line's colour before its
// name (in the labels' grey: a dark blue name would not read on black), the
// range at the right.
void drawLegend(QPainter& painter, const HistoryPicture& picture, QSize size) {
    const QFontMetrics metrics = painter.fontMetrics();
    const double top = (MarginTop - metrics.height()) / 2.0;
    double x = MarginLeft;
    const auto entry = [&](QRgb color, const QString& text) {
        painter.fillRect(QRectF(x, top + metrics.height() / 2.0 - 2, 14, 4),
                         QColor::fromRgba(color));
        x += 18;
        painter.setPen(QColor::fromRgba(colors::Label));
        textAt(painter, x, top, text);
        x += metrics.horizontalAdvance(text) + 14;
    };
    entry(colors::Water, Msg(QStringLiteral("HistoryLegendWater")));
    const std::array<QRgb, ChannelCount> lineColors = channelLineColors(picture.colorNames);
    for (int channel = 0; channel < ChannelCount; ++channel) {
        const int named = colorTableIndex(picture.colorNames[std::size_t(channel)]);
        const QString name = named != 0 ? channelName(channel, named) : ChannelLetter(channel);
        entry(lineColors[std::size_t(channel)], name);
    }
    const QString range = rangeText(picture.from, picture.to, picture.zone);
    const int width = metrics.horizontalAdvance(range);
    // Only where it does not run into the legend.
    if (size.width() - MarginRight - width > x) {
        painter.setPen(QColor::fromRgba(colors::Label));
        textAt(painter, size.width() - MarginRight - width, top, range);
    }
}

} // namespace

QImage drawHistory(const HistoryPicture& picture, QSize size) {
    if (size.isEmpty())
        return {};
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colors::Background);
    QPainter painter(&image);
    QFont font = painter.font();
    font.setPointSize(FontPointSize);
    painter.setFont(font);

    const HistoryFrame frame(size, picture.from, picture.to);
    drawTimeAxis(painter, frame, picture, size);
    for (int percent : levelTicks(frame.levelArea()))
        drawValueLine(painter, frame.levelArea(), frame.levelY(percent),
                      QString::number(percent) + QStringLiteral(" %"));

    const QRect upper = frame.temperatureArea();
    const auto extent = temperatureExtent(picture.points);
    if (extent) {
        const TemperatureScale scale = temperatureScale(
            extent->first, extent->second, std::max(1, upper.height() / MinValueSpacing));
        for (double value : scale.ticks())
            drawValueLine(painter, upper, scale.y(value, upper), celsiusText(value, scale.step));
        drawTemperature(painter, frame, picture, scale);
    }
    drawLevels(painter, frame, picture);
    drawLegend(painter, picture, size);

    if (picture.points.empty())
        centredText(painter, upper.united(frame.levelArea()),
                    Msg(QStringLiteral("HistoryNoSamples")));
    else if (!extent)
        centredText(painter, upper, Msg(QStringLiteral("HistoryNoWater")));
    return image;
}

QString historyDescription(const HistoryPicture& picture) {
    const QString range = rangeText(picture.from, picture.to, picture.zone);
    if (picture.points.empty())
        return MsgFmt(QStringLiteral("HistoryDescriptionEmpty"), {range});
    const auto extent = temperatureExtent(picture.points);
    if (!extent)
        return MsgFmt(QStringLiteral("HistoryDescriptionNoWater"), {range});
    return MsgFmt(QStringLiteral("HistoryDescription"),
                  {range, formatNumber(extent->first, u"0.0", German),
                   formatNumber(extent->second, u"0.0", German)});
}

} // namespace kv::historyplot
