// The chart's value range, grids, time axis and picture, on their own.
#include "device/records/expert_block.h"
#include "device/records/info_block.h"
#include "plot/chart_drawing.h"
#include "plot/chart_time.h"
#include "qt_printers.h"
#include "text/text_catalogue.h"

#include <gtest/gtest.h>

#include <functional>

namespace kv::chart {
namespace {

const QLocale German(QLocale::German, QLocale::Germany);

ChartBlock flat(int value) {
    ChartBlock chart;
    chart.Sample.fill(std::int16_t(value));
    return chart;
}

ValueRange rangeOf(int min, int max) {
    return valueRange(SampleExtent{min, max});
}

// The range exactly as the usual rule gives it, in exact decimals.
ValueRange usualRange(int min, int max) {
    const auto floorDiv = [](long a) {
        return a >= 0 ? a / 1000 : -((-a + 999) / 1000);
    };
    const auto ceilDiv = [](long a) {
        return a >= 0 ? (a + 999) / 1000 : -(-a / 1000);
    };
    return {int(floorDiv(95L * min - 500) * 10), int(ceilDiv(105L * max + 500) * 10)};
}

TEST(ChartScaleTest, SteadyTemperatureGivesTheUsualRangeStepAndLabels) {
    ChartInput input;
    input.chart = flat(253);
    input.chartInterval = 15;
    const auto layout = ChartLayout::of(input, QSize(600, 400));
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->range(), (ValueRange{230, 280}));
    EXPECT_EQ(layout->gridStep(), 2);
    QStringList labels;
    for (int v : layout->gridValues())
        if (ChartLayout::isLabelled(v))
            labels << valueText(v, ExpertBlock::ChartWaterTemp, German);
    EXPECT_EQ(labels, QStringList({"23,0°C", "24,0°C", "25,0°C", "26,0°C", "27,0°C", "28,0°C"}));
    EXPECT_EQ(valueText(1205, ExpertBlock::ChartVoltage, German), "12,05 V");
}

TEST(ChartScaleTest, RangesBelowZeroAreMendedAndSoundOnesKept) {
    // A flat curve at −10.0 °C had no height, one at −30.0 °C an upside-down
    // range.
    EXPECT_EQ(rangeOf(-100, -100), (ValueRange{-110, -90}));
    EXPECT_EQ(rangeOf(-300, -300), (ValueRange{-320, -280}));
    EXPECT_EQ(rangeOf(-300, 250), (ValueRange{-320, 270}));
    EXPECT_EQ(rangeOf(-50, 20), usualRange(-50, 20));
    EXPECT_EQ(rangeOf(100, 100), (ValueRange{90, 110})); // 100 × 0.095 − 0.5 is exactly 9
    // Every range holds its values with room and height; a range that was
    // sound before stays as it was.
    for (int min = -2000; min <= 2000; min += 7) {
        for (int max : {min, min + 1, min + 13, min + 250, min + 3001}) {
            const ValueRange r = rangeOf(min, max);
            ASSERT_TRUE(r.lo <= min && max <= r.hi && r.lo < r.hi) << min << " " << max;
            ASSERT_EQ(r.lo % 10, 0);
            ASSERT_EQ(r.hi % 10, 0);
            ASSERT_GE(r.height(), gridStep(r));
            const ValueRange usual = usualRange(min, max);
            if (usual.lo <= min && max <= usual.hi && usual.lo < usual.hi) {
                ASSERT_EQ(r, usual) << min << " " << max;
            }
        }
    }
}

TEST(ChartScaleTest, GridStepFollowsTheHeight) {
    const std::pair<int, int> steps[] = {{40, 1},       {41, 2},       {101, 5},     {201, 10},
                                         {401, 20},     {1001, 100},   {2001, 200},  {4001, 400},
                                         {10001, 1000}, {20001, 2000}, {40001, 4000}};
    for (const auto& [height, step] : steps)
        EXPECT_EQ(gridStep(ValueRange{0, height}), step) << height;
}

TEST(ChartTimeTest, IntervalsGiveSpanTicksAndNewestSample) {
    EXPECT_EQ(spanMs(10) / MsPerMinute, 390);
    EXPECT_EQ(tickSpacingMs(spanMs(10)) / MsPerMinute, 60);
    EXPECT_EQ(tickSpacingMs(spanMs(1)) / MsPerMinute, 15);
    EXPECT_EQ(tickSpacingMs(spanMs(5)) / MsPerMinute, 30);
    EXPECT_EQ(tickSpacingMs(spanMs(30)) / MsPerMinute, 240);
    EXPECT_EQ(tickSpacingMs(spanMs(60)), MsPerDay);

    const QDateTime computer(QDate(2024, 3, 5), QTime(18, 0));
    InfoBlock info;
    info.Hour = 10;
    info.Minute = 7;
    info.Second = 30;
    const qint64 newest = newestSampleTime(boardNow(info, computer), 10);
    EXPECT_EQ(dateTimeOf(newest), QDateTime(QDate(2024, 3, 5), QTime(10, 0)));
    info.Hour = 24; // no valid time: the computer's
    EXPECT_EQ(dateTimeOf(boardNow(info, computer)), computer);

    ChartInput input;
    input.chart = flat(250);
    input.chartInterval = 10;
    input.moment = chartTime(QDateTime(QDate(2024, 3, 5), QTime(2, 5)));
    const auto layout = ChartLayout::of(input, QSize(600, 400));
    ASSERT_TRUE(layout);
    // 02:00 back to 20:00 the day before: the oldest sample is at 19:30.
    ASSERT_EQ(layout->ticks().size(), 7u);
    EXPECT_EQ(tickText(layout->ticks()[0], German), "02:00");
    EXPECT_EQ(tickText(layout->ticks()[2], German), "05.03.24");
    EXPECT_EQ(tickText(layout->ticks()[6], German), "20:00");
    EXPECT_DOUBLE_EQ(layout->x(layout->newest()), 600 - MarginRight);
    EXPECT_DOUBLE_EQ(layout->sampleX(39), MarginLeft);
}

int countPixels(const QImage& image, const std::function<bool(QRgb)>& wanted, QRect area = {}) {
    if (area.isNull())
        area = image.rect();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += wanted(image.pixel(x, y)) ? 1 : 0;
    return count;
}

bool bluish(QRgb c) {
    return qBlue(c) > 200 && qRed(c) < 190 && qRed(c) == qGreen(c);
}

// The rows in which the curve has pixels, between the margins.
std::pair<int, int> curveRows(const QImage& image) {
    int top = image.height();
    int bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = MarginLeft + 2; x < image.width() / 2; ++x)
            if (bluish(image.pixel(x, y))) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return {top, bottom};
}

TEST(ChartDrawingTest, NewestSampleEmptyShowsOnlyTheNotConnectedText) {
    ChartInput input;
    input.chart = flat(250);
    input.chart.Sample[0] = NoValue;
    input.chartInterval = 15;
    const QImage image = drawChart(input, QSize(500, 300));
    ASSERT_EQ(image.size(), QSize(500, 300));
    EXPECT_EQ(countPixels(image, bluish), 0);
    EXPECT_GT(countPixels(
                  image, [](QRgb c) { return c != colors::Background; }, QRect(0, 130, 500, 40)),
              50);
    EXPECT_EQ(countPixels(
                  image, [](QRgb c) { return c != colors::Background; }, QRect(0, 0, 500, 100)),
              0);
    EXPECT_EQ(chartDescription(input), Msg("KestTHERMALNotConnected"));
    EXPECT_TRUE(drawChart(input, QSize(0, 10)).isNull());
}

TEST(ChartDrawingTest, FlatCurvesBelowZeroLieInsideThePlotArea) {
    for (int value : {-100, -300}) {
        ChartInput input;
        input.chart = flat(value);
        input.chartInterval = 15;
        const QImage image = drawChart(input, QSize(400, 240));
        const auto [top, bottom] = curveRows(image);
        EXPECT_GE(top, MarginTop) << value;
        EXPECT_LT(bottom, 240 - MarginBottom) << value;
        EXPECT_LE(bottom - top, 2) << value; // a straight line, not a smear
    }
}

TEST(ChartDrawingTest, SourceDecidesColourUnitsAndTheHotBand) {
    ChartInput input;
    input.chart = flat(650);
    input.chart.Sample[20] = NoValue; // skipped: the curve runs on
    input.chartInterval = 15;
    const QSize size(400, 240);
    const auto band = [](QRgb c) {
        return c == colors::HotBand;
    };
    const QImage hot = drawChart(input, size);
    EXPECT_GT(countPixels(hot, band), 400 * 240 / 3);
    const int middle = int(ChartLayout::of(input, size)->sampleX(20));
    EXPECT_GT(countPixels(hot, bluish, QRect(middle - 2, 0, 5, 240)), 0);

    input.chartMode = ExpertBlock::ChartVoltage;
    const QImage volts = drawChart(input, size);
    EXPECT_EQ(countPixels(volts, band), 0);
    EXPECT_EQ(countPixels(volts, bluish), 0);
    EXPECT_GT(countPixels(volts, [](QRgb c) { return qRed(c) < 0x40 && qBlue(c) < 0x40; }), 0);
    EXPECT_TRUE(chartDescription(input, German).contains("6,50 V"));
}

} // namespace
} // namespace kv::chart
