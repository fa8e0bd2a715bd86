#include "history/history_time.h"
#include "present/history_output.h"

#include <QJsonArray>
#include <QTimeZone>
#include <gtest/gtest.h>

using namespace kv;

TEST(HistoryTime, IsoMomentsAndRelativeOnes) {
    const QDateTime now(QDate(2026, 12, 11), QTime(12, 0), Qt::UTC);
    EXPECT_EQ(historyTimeOf("now", now), now.toMSecsSinceEpoch());
    EXPECT_EQ(historyTimeOf("-30m", now), now.toMSecsSinceEpoch() - 30 * 60 * 1000);
    EXPECT_EQ(historyTimeOf("-24h", now), now.toMSecsSinceEpoch() - 24 * 3600 * 1000);
    EXPECT_EQ(historyTimeOf("-7d", now), now.toMSecsSinceEpoch() - 7LL * 86400 * 1000);
    EXPECT_EQ(historyTimeOf("-1y", now), now.addYears(-1).toMSecsSinceEpoch());
    // Dates and times without an offset are the computer's local time.
    EXPECT_EQ(historyTimeOf("2026-12-01", now),
              QDate(2026, 12, 1).startOfDay().toMSecsSinceEpoch());
    EXPECT_EQ(historyTimeOf("2026-12-01T06:00", now),
              QDateTime(QDate(2026, 12, 1), QTime(6, 0)).toMSecsSinceEpoch());
    EXPECT_EQ(historyTimeOf("2026-12-01T06:00:00Z", now),
              QDateTime(QDate(2026, 12, 1), QTime(6, 0), Qt::UTC).toMSecsSinceEpoch());
    for (const char* wrong : {"", "yesterday", "-5w", "+1d", "2026-13-01", "2026-12-01 06:00",
                              "-99999999d", "2026-12-01T25:00"})
        EXPECT_FALSE(historyTimeOf(wrong, now)) << wrong;
}

TEST(HistoryOutput, JsonAndCsvGiveTheSameColumns) {
    HistoryPoint full;
    full.time = QDateTime(QDate(2026, 12, 1), QTime(6, 0)).toMSecsSinceEpoch();
    full.water = 25.04;
    full.waterMin = 24.9;
    full.waterMax = 25.2;
    full.voltage = 12.05;
    full.percent = {50, 25, 0, 100};
    full.mode = 1;
    HistoryPoint noSensor = full;
    noSensor.water.reset();
    noSensor.waterMin.reset();
    noSensor.waterMax.reset();

    const QJsonObject json = present::historyJson({full, noSensor}, full.time, full.time + 1);
    const QJsonArray points = json["points"].toArray();
    ASSERT_EQ(points.size(), 2);
    EXPECT_EQ(points[0]["time"].toString(), historyTimeText(full.time));
    EXPECT_TRUE(points[0]["time"].toString().startsWith("2026-12-01T06:00:00"));
    EXPECT_DOUBLE_EQ(points[0]["waterTemperature"].toDouble(), 25.04);
    EXPECT_DOUBLE_EQ(points[0]["W"].toDouble(), 50);
    EXPECT_EQ(points[0]["mode"].toString(), "auto");
    EXPECT_TRUE(points[1]["waterTemperature"].isNull());

    const QList<QByteArray> lines = present::historyCsv({full, noSensor}).split('\n');
    EXPECT_EQ(lines[0], "time,waterTemperature,waterTemperatureMin,waterTemperatureMax,"
                        "inputVoltage,W,R,G,B,mode");
    EXPECT_TRUE(lines[1].endsWith(",25.04,24.9,25.2,12.05,50,25,0,100,auto"));
    EXPECT_TRUE(lines[2].endsWith(",,,,12.05,50,25,0,100,auto"));
}
