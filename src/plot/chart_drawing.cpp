#include "plot/chart_drawing.h"

#include "device/records/expert_block.h"
#include "device/records/info_block.h"
#include "plot/chart_time.h"
#include "text/text_catalogue.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPolygonF>

#include <cmath>

namespace kv::chart {

QRgb colors::series(std::uint8_t chartMode) {
    switch (chartMode) {
    case ExpertBlock::ChartVoltage:
        return 0xFF000000;
    case ExpertBlock::ChartSlaveTemp:
        return 0xFFFF8000;
    default:
        return 0xFF0000FF;
    }
}

std::optional<ChartLayout> ChartLayout::of(const ChartInput& input, QSize size) {
    const std::optional<SampleExtent> extent = sampleExtent(input.chart);
    if (!extent || input.chartInterval == 0)
        return std::nullopt;
    ChartLayout layout;
    layout.range_ = valueRange(*extent);
    layout.step_ = chart::gridStep(layout.range_);
    layout.plotWidth_ = size.width() - MarginLeft - MarginRight;
    layout.plotHeight_ = size.height() - MarginTop - MarginBottom;
    layout.newest_ = newestSampleTime(input.moment, input.chartInterval);
    layout.span_ = spanMs(input.chartInterval);
    layout.tickSpacing_ = tickSpacingMs(layout.span_);
    for (qint64 tick : timeTicks(layout.newest_, layout.tickSpacing_)) {
        if (layout.x(tick) < MarginLeft)
            break;
        layout.ticks_.push_back(tick);
    }
    return layout;
}

std::vector<int> ChartLayout::gridValues() const {
    std::vector<int> values;
    for (int v = range_.lo; v <= range_.hi; v += step_)
        values.push_back(v);
    return values;
}

double ChartLayout::y(double value) const {
    return (1.0 - (value - range_.lo) / range_.height()) * (plotHeight_ - 1) + MarginTop;
}

double ChartLayout::x(qint64 time) const {
    return (1.0 - double(newest_ - time) / double(span_)) * plotWidth_ + MarginLeft;
}

double ChartLayout::sampleX(int n) const {
    return (1.0 - double(n) / Intervals) * plotWidth_ + MarginLeft;
}

namespace {

// Text with its top left corner at (x, y).
void textOut(QPainter& painter, int x, int y, const QString& text) {
    painter.drawText(QPoint(x, y + painter.fontMetrics().ascent()), text);
}

void drawNoData(QPainter& painter, QSize size) {
    const QString text = Msg(QStringLiteral("KestTHERMALNotConnected"));
    const QFontMetrics metrics = painter.fontMetrics();
    painter.setPen(QColor::fromRgba(colors::Label));
    // Halved toward zero, as an integer division does.
    textOut(painter, (size.width() - metrics.horizontalAdvance(text)) / 2,
            (size.height() - metrics.height()) / 2, text);
}

void drawTimeGrid(QPainter& painter, const ChartLayout& layout, QSize size, const QLocale& locale) {
    const int plotBottom = size.height() - MarginBottom - 1;
    for (qint64 tick : layout.ticks()) {
        const int x = int(std::lround(layout.x(tick)));
        painter.setPen(QColor::fromRgba(colors::MajorGrid));
        painter.drawLine(x, MarginTop, x, plotBottom);
        painter.setPen(QColor::fromRgba(colors::Label));
        const QString text = tickText(tick, locale);
        textOut(painter, x, 1, text);
        textOut(painter, x, size.height() - 13, text);
    }
}

void drawValueGrid(QPainter& painter, const ChartLayout& layout, std::uint8_t chartMode, QSize size,
                   const QLocale& locale) {
    const int right = size.width() - MarginRight;
    for (int v : layout.gridValues()) {
        const int y = int(std::lround(layout.y(v)));
        const bool major = ChartLayout::isLabelled(v);
        painter.setPen(QColor::fromRgba(major ? colors::MajorGrid : colors::MinorGrid));
        painter.drawLine(MarginLeft, y, right, y);
        if (!major)
            continue;
        const QString text = valueText(v, chartMode, locale);
        painter.setPen(QColor::fromRgba(colors::Label));
        textOut(painter, size.width() - painter.fontMetrics().horizontalAdvance(text), y - 6, text);
        textOut(painter, 0, y - 6, text);
    }
}

void drawCurve(QPainter& painter, const ChartLayout& layout, const ChartInput& input) {
    QPolygonF points;
    for (int n = int(ChartBlock::Samples) - 1; n >= 0; --n) {
        const std::int16_t sample = input.chart.Sample[std::size_t(n)];
        if (sample != NoValue)
            points << QPointF(layout.sampleX(n), layout.y(sample));
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(QColor::fromRgba(colors::series(input.chartMode)), 1));
    painter.drawPolyline(points);
    painter.setRenderHint(QPainter::Antialiasing, false);
}

} // namespace

QImage drawChart(const ChartInput& input, QSize size, const QLocale& locale) {
    if (size.isEmpty())
        return {};
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colors::Background);
    QPainter painter(&image);
    QFont font = painter.font();
    font.setPointSize(FontPointSize);
    painter.setFont(font);

    const std::optional<ChartLayout> layout = ChartLayout::of(input, size);
    if (!layout) {
        drawNoData(painter, size);
        return image;
    }
    if (isTemperature(input.chartMode)) {
        const double bandBottom = layout->y(HotBandFrom);
        if (bandBottom > 0)
            painter.fillRect(
                QRect(QPoint(0, 0), QPoint(size.width() - 1, int(std::lround(bandBottom)) - 1)),
                QColor::fromRgba(colors::HotBand));
    }
    drawTimeGrid(painter, *layout, size, locale);
    drawValueGrid(painter, *layout, input.chartMode, size, locale);

    const int newest = input.chart.Sample[0];
    const QString newestText = valueText(newest, input.chartMode, locale);
    painter.setPen(QColor::fromRgba(colors::series(input.chartMode)));
    textOut(painter, size.width() - painter.fontMetrics().horizontalAdvance(newestText),
            int(std::lround(layout->y(newest))) - 6, newestText);
    drawCurve(painter, *layout, input);
    return image;
}

QString chartDescription(const ChartInput& input, const QLocale& locale) {
    const std::optional<ChartLayout> layout = ChartLayout::of(input, QSize(100, 100));
    if (!layout)
        return Msg(QStringLiteral("KestTHERMALNotConnected"));
    const ValueRange range = layout->range();
    return QString::fromUtf8("Neuester Wert: %1. Angezeigter Bereich: %2 bis %3.")
        .arg(valueText(input.chart.Sample[0], input.chartMode, locale),
             valueText(range.lo, input.chartMode, locale),
             valueText(range.hi, input.chartMode, locale));
}

} // namespace kv::chart
