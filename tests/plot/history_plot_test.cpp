// The history picture: its time axis, scales and joined stretches on their
// own, then pixels of drawn pictures.
#include "plot/channel_colors.h"
#include "plot/history_axis.h"
#include "plot/history_geometry.h"
#include "plot/history_picture.h"
#include "qt_printers.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace kv::historyplot {
namespace {

constexpr qint64 Minute = 60 * 1000;
constexpr qint64 Hour = 60 * Minute;
constexpr qint64 Day = 24 * Hour;

const QTimeZone Berlin("Europe/Berlin");
const QTimeZone Utc = QTimeZone::utc();

qint64 at(const char* local, const QTimeZone& zone = Berlin) {
    QDateTime when = QDateTime::fromString(QString::fromLatin1(local), Qt::ISODate);
    when.setTimeZone(zone);
    return when.toMSecsSinceEpoch();
}

QStringList labels(qint64 from, qint64 to, TickStep step, const QTimeZone& zone = Berlin) {
    QStringList texts;
    for (qint64 tick : tickTimes(from, to, step, zone))
        texts << tickLabel(tick, step, zone);
    return texts;
}

TEST(HistoryAxisTest, EachRangeOfTheTabGetsAStepItsLabelsHaveRoomFor) {
    const qint64 to = at("2026-12-01T12:00:00");
    EXPECT_EQ(tickStep(to - 6 * Hour, to, 850), (TickStep{TickUnit::Hour, 1}));
    EXPECT_EQ(tickStep(to - 24 * Hour, to, 850), (TickStep{TickUnit::Hour, 2}));
    EXPECT_EQ(tickStep(to - 7 * Day, to, 850), (TickStep{TickUnit::Day, 1}));
    EXPECT_EQ(tickStep(to - 30 * Day, to, 850), (TickStep{TickUnit::Day, 2}));
    EXPECT_EQ(tickStep(to - 365 * Day, to, 850), (TickStep{TickUnit::Month, 1}));
    // A narrow picture takes coarser steps.
    EXPECT_EQ(tickStep(to - 24 * Hour, to, 400), (TickStep{TickUnit::Hour, 6}));
    EXPECT_EQ(tickStep(to - 30 * Day, to, 400), (TickStep{TickUnit::Week, 1}));
    EXPECT_EQ(tickStep(to - 365 * Day, to, 400), (TickStep{TickUnit::Month, 2}));
    EXPECT_EQ(tickStep(to - 20 * 365 * Day, to, 400), (TickStep{TickUnit::Year, 1}));
    EXPECT_EQ(tickStep(to, to, 400), (TickStep{TickUnit::Year, 1})) << "an empty range";
}

TEST(HistoryAxisTest, HoursFollowTheWallClockThroughTheSpringChange) {
    // 02:00 does not exist on 29 March 2026 in Berlin: 01:00 is followed by
    // 03:00, an hour of real time later.
    const qint64 from = at("2026-03-28T22:00:00");
    const qint64 to = at("2026-03-29T05:00:00");
    EXPECT_EQ(labels(from, to, {TickUnit::Hour, 1}),
              QStringList({"22:00", "23:00", "29.03.", "01:00", "03:00", "04:00", "05:00"}));
    const auto ticks = tickTimes(from, to, {TickUnit::Hour, 1}, Berlin);
    EXPECT_EQ(ticks[4] - ticks[3], Hour);
    EXPECT_EQ(labels(from, to, {TickUnit::Hour, 3}), QStringList({"29.03.", "03:00"}));
    // The ends belong to the range.
    EXPECT_EQ(labels(at("2026-12-01T06:00:00"), at("2026-12-01T08:00:00"), {TickUnit::Hour, 2}),
              QStringList({"06:00", "08:00"}));
}

TEST(HistoryAxisTest, DaysWeeksMonthsAndYearsLieOnLocalMidnights) {
    const qint64 to = at("2026-12-01T12:00:00");
    const QStringList week = labels(to - 7 * Day, to, {TickUnit::Day, 1});
    EXPECT_EQ(week, QStringList({"Mi. 25.11.", "Do. 26.11.", "Fr. 27.11.", "Sa. 28.11.",
                                 "So. 29.11.", "Mo. 30.11.", "Di. 01.12."}));
    for (qint64 tick : tickTimes(to - 7 * Day, to, {TickUnit::Day, 1}, Berlin))
        EXPECT_EQ(QDateTime::fromMSecsSinceEpoch(tick, Berlin).time(), QTime(0, 0));
    // Mondays only; midnight in winter time is 23:00 UTC.
    const auto mondays = tickTimes(to - 30 * Day, to, {TickUnit::Week, 1}, Berlin);
    EXPECT_EQ(labels(to - 30 * Day, to, {TickUnit::Week, 1}),
              QStringList({"02.11.", "09.11.", "16.11.", "23.11.", "30.11."}));
    EXPECT_EQ(QDateTime::fromMSecsSinceEpoch(mondays.front(), Utc).time(), QTime(23, 0));
    // Every second day by its day number: the same days whatever the range.
    const auto everyOther = tickTimes(to - 30 * Day, to, {TickUnit::Day, 2}, Berlin);
    EXPECT_EQ(everyOther.size(), 15u);
    EXPECT_EQ(QDateTime::fromMSecsSinceEpoch(everyOther.front(), Berlin).date().toJulianDay() % 2,
              0);
    // A year: the month's short name, the year itself in January.
    EXPECT_EQ(labels(at("2026-12-01T12:00:00"), at("2027-12-01T12:00:00"), {TickUnit::Month, 1}),
              QStringList({"2027", "Feb.", QString::fromUtf8("März"), "Apr.", "Mai", "Juni", "Juli",
                           "Aug.", "Sept.", "Okt.", "Nov.", "Dez."}));
    EXPECT_EQ(labels(at("2026-12-01T12:00:00"), at("2027-12-01T12:00:00"), {TickUnit::Month, 3}),
              QStringList({"2027", "Apr.", "Juli", "Okt."}));
    EXPECT_EQ(labels(at("2020-06-01T00:00:00"), at("2023-06-01T00:00:00"), {TickUnit::Year, 1}),
              QStringList({"2021", "2022", "2023"}));
    EXPECT_EQ(rangeText(at("2026-12-01T06:00:00"), at("2026-12-02T06:30:00"), Berlin),
              QString::fromUtf8("01.12.2026 06:00 – 02.12.2026 06:30"));
}

TEST(HistoryGeometryTest, FrameHoldsTwoPanelsOverOneTimeAxis) {
    const qint64 from = 1000 * Day;
    const HistoryFrame frame(QSize(1000, 500), from, from + Day);
    const QRect upper = frame.temperatureArea();
    const QRect lower = frame.levelArea();
    EXPECT_EQ(upper.left(), MarginLeft);
    EXPECT_EQ(upper.width(), 1000 - MarginLeft - MarginRight);
    EXPECT_EQ(lower.left(), upper.left());
    EXPECT_EQ(lower.width(), upper.width());
    EXPECT_EQ(upper.top(), MarginTop);
    EXPECT_EQ(lower.top(), upper.bottom() + 1 + PanelGap);
    EXPECT_EQ(lower.bottom(), 500 - MarginBottom - 1);
    EXPECT_NEAR(upper.height(), (upper.height() + lower.height()) * TemperatureShare, 1);

    EXPECT_DOUBLE_EQ(frame.x(from), upper.left());
    EXPECT_DOUBLE_EQ(frame.x(from + Day), upper.right());
    EXPECT_DOUBLE_EQ(frame.x(from + Day / 2), upper.left() + (upper.width() - 1) / 2.0);
    EXPECT_DOUBLE_EQ(frame.levelY(100), lower.top());
    EXPECT_DOUBLE_EQ(frame.levelY(0), lower.bottom());

    // A picture too small for margins still has panels of a pixel.
    const HistoryFrame tiny(QSize(10, 10), from, from);
    EXPECT_GE(tiny.temperatureArea().height(), 1);
    EXPECT_GE(tiny.levelArea().height(), 1);
    EXPECT_GE(tiny.plotWidth(), 1);
}

TEST(HistoryGeometryTest, TemperatureScaleHoldsEveryValueOnRoundSteps) {
    struct Case {
        double min, max;
        int maxTicks;
        double lo, hi, step;
    };
    const Case cases[] = {
        {24.6, 25.4, 5, 24.5, 25.5, 0.5}, // less than a degree: a degree around it
        {25.3, 25.3, 5, 24.8, 25.8, 0.2}, // flat
        {24.0, 26.0, 10, 24.0, 26.0, 0.2}, {18.0, 31.0, 4, 15.0, 35.0, 5},
        {-2.5, 3.0, 6, -3.0, 3.0, 1},      {25.0, 27.0, 1, 25.0, 30.0, 5},
    };
    for (const Case& c : cases) {
        const TemperatureScale scale = temperatureScale(c.min, c.max, c.maxTicks);
        EXPECT_NEAR(scale.lo, c.lo, 1e-9) << c.min << ".." << c.max;
        EXPECT_NEAR(scale.hi, c.hi, 1e-9) << c.min << ".." << c.max;
        EXPECT_DOUBLE_EQ(scale.step, c.step) << c.min << ".." << c.max;
        EXPECT_LE(scale.lo, c.min);
        EXPECT_GE(scale.hi, c.max);
        EXPECT_LE(int(scale.ticks().size()), c.maxTicks + 1);
    }
    const TemperatureScale scale = temperatureScale(24, 26, 4);
    const QRect area(0, 10, 100, 101);
    EXPECT_DOUBLE_EQ(scale.y(26, area), 10);
    EXPECT_DOUBLE_EQ(scale.y(24, area), 110);
    EXPECT_DOUBLE_EQ(scale.y(25, area), 60);
}

HistoryPoint point(qint64 time, std::optional<double> water, double level = 50) {
    HistoryPoint p;
    p.time = time;
    p.water = water;
    if (water) {
        p.waterMin = *water - 0.5;
        p.waterMax = *water + 0.5;
    }
    p.percent.fill(level);
    return p;
}

TEST(HistoryGeometryTest, MissingBucketsAndMissingValuesBreakTheLines) {
    const qint64 b = 10 * Minute;
    const std::vector<HistoryPoint> points{
        point(0, 25),     point(b, 25),     point(2 * b, std::nullopt),
        point(3 * b, 25), point(6 * b, 25), point(7 * b, 25) // buckets 4 and 5 are missing
    };
    EXPECT_EQ(joinedRuns(points, b, hasLevels), (std::vector<Stretch>{{0, 3}, {4, 5}}));
    EXPECT_EQ(joinedRuns(points, b, hasWater), (std::vector<Stretch>{{0, 1}, {3, 3}, {4, 5}}));
    EXPECT_TRUE(joinedRuns({}, b, hasLevels).empty());

    const auto extent = temperatureExtent(points);
    ASSERT_TRUE(extent);
    EXPECT_DOUBLE_EQ(extent->first, 24.5);
    EXPECT_DOUBLE_EQ(extent->second, 25.5);
    EXPECT_FALSE(temperatureExtent({point(0, std::nullopt)}));
}

TEST(HistoryGeometryTest, BucketsAreAPixelOrAMinuteWhicheverIsLonger) {
    EXPECT_EQ(pointCount(0, 6 * Hour, 900), 360);
    EXPECT_EQ(pointCount(0, 24 * Hour, 900), 900);
    EXPECT_EQ(pointCount(0, 365 * Day, 2000), MaxPoints);
    EXPECT_EQ(pointCount(0, 30 * 1000, 900), 1);
    EXPECT_EQ(pointCount(5, 5, 900), 1);
    // Rounded up as the history's queries do, so the buckets cover the range.
    EXPECT_EQ(bucketLength(0, 24 * Hour, 900), 96000);
    EXPECT_EQ(bucketLength(0, 1000, 3), 334);
}

TEST(HistoryGeometryTest, UnnamedChannelsTakeTheColourOfTheirLetter) {
    const auto letters = channelLineColors({0, 0, 0, 0});
    EXPECT_EQ(letters[0], CurveColor(1)); // white
    EXPECT_EQ(letters[1], CurveColor(2)); // red
    EXPECT_EQ(letters[2], CurveColor(3)); // green
    EXPECT_EQ(letters[3], CurveColor(4)); // blue
    const auto named = channelLineColors({11, 0, 200, 5});
    EXPECT_EQ(named[0], CurveColor(11));
    EXPECT_EQ(named[1], CurveColor(2));
    EXPECT_EQ(named[2], CurveColor(3)) << "an index outside the table counts as unnamed";
    EXPECT_EQ(named[3], CurveColor(5));
}

// A day in buckets of 15 minutes, every bucket there but hours 10 to 14;
// the water at 25 °C (24.5 to 25.5), W at 100 %, R at 50 %, G at 20 %, B at 0 %.
HistoryPicture dayWithAGap() {
    HistoryPicture picture;
    picture.from = at("2026-12-01T00:00:00", Utc);
    picture.to = picture.from + Day;
    picture.bucketMs = 15 * Minute;
    picture.zone = Utc;
    for (qint64 t = picture.from; t < picture.to; t += picture.bucketMs) {
        if (t >= picture.from + 10 * Hour && t < picture.from + 14 * Hour)
            continue;
        HistoryPoint p = point(t, 25);
        p.percent = {100, 50, 20, 0};
        picture.points.push_back(p);
    }
    return picture;
}

int countIn(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& wanted) {
    int count = 0;
    for (int y = std::max(0, area.top()); y <= std::min(image.height() - 1, area.bottom()); ++y)
        for (int x = std::max(0, area.left()); x <= std::min(image.width() - 1, area.right()); ++x)
            count += wanted(image.pixel(x, y)) ? 1 : 0;
    return count;
}

bool isWater(QRgb c) {
    return c == colors::Water;
}
bool isBand(QRgb c) {
    // The band over black: its colour at its opacity.
    return std::abs(qRed(c) - 0x40 * 0x50 / 255) <= 2 &&
           std::abs(qGreen(c) - 0xC0 * 0x50 / 255) <= 2 &&
           std::abs(qBlue(c) - 0xFF * 0x50 / 255) <= 2;
}
// A level line of 1.5 pixels covers at least three quarters of a row.
bool isRed(QRgb c) {
    return qRed(c) > 150 && qGreen(c) < 40 && qBlue(c) < 40;
}
bool isGreen(QRgb c) {
    return qGreen(c) > 150 && qRed(c) < 40 && qBlue(c) < 40;
}
// Text: grey, brighter than the grid.
bool isText(QRgb c) {
    return qRed(c) == qGreen(c) && qGreen(c) == qBlue(c) && qRed(c) > 0x40;
}
bool isLit(QRgb c) {
    return (c & 0xFFFFFF) != 0 && c != colors::Grid;
}

TEST(HistoryPictureTest, DrawsTheBandTheMeanAndTheLevelsWithTheGapLeftEmpty) {
    const HistoryPicture picture = dayWithAGap();
    const QSize size(1000, 500);
    const QImage image = drawHistory(picture, size);
    ASSERT_EQ(image.size(), size);
    const HistoryFrame frame(size, picture.from, picture.to);
    const QRect upper = frame.temperatureArea();
    const QRect lower = frame.levelArea();
    const TemperatureScale scale = temperatureScale(24.5, 25.5, upper.height() / MinValueSpacing);

    // At 06:00: the mean line at 25 °C, the band from 24.5 to 25.5 around
    // it, nothing above it.
    const int morning = int(std::lround(frame.x(picture.from + 6 * Hour)));
    const int meanY = int(std::lround(scale.y(25, upper)));
    EXPECT_GT(countIn(image, QRect(morning - 2, meanY - 1, 5, 3), isWater), 0);
    const int bandY = int(std::lround(scale.y(25.3, upper)));
    EXPECT_GT(countIn(image, QRect(morning - 2, bandY, 5, 1), isBand), 0);
    EXPECT_EQ(countIn(image,
                      QRect(morning, upper.top(), 1,
                            int(std::lround(scale.y(25.5, upper))) - upper.top() - 1),
                      isLit),
              0);
    // R at 50 % and G at 20 % in their colours, in the lower panel only.
    EXPECT_GT(
        countIn(image, QRect(morning - 2, int(std::lround(frame.levelY(50))) - 1, 5, 3), isRed), 0);
    EXPECT_GT(
        countIn(image, QRect(morning - 2, int(std::lround(frame.levelY(20))) - 1, 5, 3), isGreen),
        0);
    EXPECT_EQ(countIn(image, upper, isRed), 0);

    // Noon lies in the gap: no line crosses it, in either panel.
    const int noon = int(std::lround(frame.x(picture.from + 12 * Hour)));
    const QRect gapUpper(noon - 20, upper.top(), 41, upper.height());
    const QRect gapLower(noon - 20, lower.top(), 41, lower.height());
    EXPECT_EQ(countIn(image, gapUpper, isWater) + countIn(image, gapUpper, isBand), 0);
    EXPECT_EQ(countIn(image, gapLower, isRed) + countIn(image, gapLower, isGreen), 0);

    // The labels: hours every two, the degrees at the left.
    EXPECT_GT(countIn(image, QRect(0, lower.bottom() + 2, size.width(), MarginBottom - 2), isText),
              0);
    EXPECT_GT(countIn(image, QRect(0, upper.top(), MarginLeft - 4, upper.height()), isText), 0);
    EXPECT_EQ(historyDescription(picture),
              QString::fromUtf8("Verlauf 01.12.2026 00:00 – 02.12.2026 00:00: "
                                "Wassertemperatur 24,5 bis 25,5 °C."));
}

TEST(HistoryPictureTest, ALoneBucketIsAStrokeAndARangeWithoutSamplesSaysSo) {
    HistoryPicture lone = dayWithAGap();
    lone.points = {lone.points[10]};
    const QSize size(800, 400);
    const QImage image = drawHistory(lone, size);
    const HistoryFrame frame(size, lone.from, lone.to);
    const int x = int(std::lround(frame.x(lone.points[0].time + lone.bucketMs / 2)));
    EXPECT_GT(
        countIn(image,
                QRect(x - 2, frame.temperatureArea().top(), 5, frame.temperatureArea().height()),
                isWater),
        0);
    EXPECT_GT(
        countIn(image, QRect(x - 2, frame.levelArea().top(), 5, frame.levelArea().height()), isRed),
        0);

    HistoryPicture empty = lone;
    empty.points.clear();
    const QImage none = drawHistory(empty, size);
    const QRect panels = frame.temperatureArea().united(frame.levelArea());
    EXPECT_EQ(countIn(none, panels, isWater), 0);
    EXPECT_EQ(countIn(none, panels, isRed), 0);
    // The legend names the water and the channels all the same.
    EXPECT_GT(countIn(none, QRect(0, 0, size.width(), MarginTop), isWater), 0);
    // The sentence in the middle, and no temperature labels.
    const QPoint centre = frame.temperatureArea().united(frame.levelArea()).center();
    EXPECT_GT(countIn(none, QRect(centre.x() - 150, centre.y() - 8, 300, 17), isText), 0);
    EXPECT_EQ(countIn(none,
                      QRect(0, frame.temperatureArea().top(), MarginLeft - 4,
                            frame.temperatureArea().height()),
                      isText),
              0);
    EXPECT_EQ(historyDescription(empty),
              QString::fromUtf8("Verlauf 01.12.2026 00:00 – 02.12.2026 00:00: keine Messwerte."));

    // Without a sensor: levels, but no temperature.
    HistoryPicture dry = dayWithAGap();
    for (HistoryPoint& p : dry.points)
        p.water = p.waterMin = p.waterMax = std::nullopt;
    const QImage dryImage = drawHistory(dry, size);
    EXPECT_EQ(countIn(dryImage, panels, isBand) + countIn(dryImage, panels, isWater), 0);
    EXPECT_GT(countIn(dryImage, frame.levelArea(), isRed), 0);
    EXPECT_TRUE(drawHistory(dry, QSize(0, 10)).isNull());
}

} // namespace
} // namespace kv::historyplot
