#include "settings/settings_file.h"
#include "support/file_size_limit.h"
#include "support/file_text.h"
#include "support/special_files.h"
#include "text/text_catalogue.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kv;
using namespace kv::testing;

namespace {

Schedule linesOf(int count) {
    Schedule schedule(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        schedule[std::size_t(i)].Hour = std::int8_t(i);
        schedule[std::size_t(i)].Minute = std::int8_t(i * 2);
        schedule[std::size_t(i)].Color16 = {std::int16_t(i), 100, 200, 4096};
        schedule[std::size_t(i)].Switch = std::uint8_t(0xE0 | i);
    }
    return schedule;
}

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override { LoadTextCatalogue(); }
    QString path(const QString& name = "settings.ini") { return dir.filePath(name); }
    QTemporaryDir dir;
    InfoBlock info;
    ExpertBlock expert;
};

} // namespace

TEST_F(SettingsFileTest, KeysAndSectionsComeInTheirOrder) {
    expert.TempOffset = -5;
    expert.Bias = -60;
    ASSERT_TRUE(WriteSettingsFile(path(), info, expert, linesOf(2)));
    const QStringList lines = readText(path()).split('\n', Qt::SkipEmptyParts);
    QStringList keys;
    for (const QString& line : lines)
        keys << line.section('=', 0, 0);
    const QStringList expected =
        QString(
            "[Config] Mode FanLow FanHigh FanOff FanMode TempWaterLow TempWaterHigh LCDBLMin "
            "LCDBLMax "
            "TimeLapse Lat Lon JMPMode TempJMPLow TempJMPHigh ChartMode ChartInterval ChartScale "
            "TWIBitrate LCDBLNight TempOffset CloudTempWater BalanceSumRamp "
            "[Weather] CloudP CloudD StormP StormD CloudStep StormStep CloudAlpha StormAlpha "
            "LightningP "
            "MoonColor0 WeatherDelay0 LightningMask0 MoonColor1 WeatherDelay1 LightningMask1 "
            "MoonColor2 WeatherDelay2 LightningMask2 MoonColor3 WeatherDelay3 LightningMask3 "
            "BalanceSum "
            "[Names] ColorName0 ColorName1 ColorName2 ColorName3 "
            "[TimeZone] StandardMonth StandardDay StandardHour StandardDayOfWeek DaylightMonth "
            "DaylightDay DaylightHour DaylightDayOfWeek Bias "
            "[0] Hour Minute Alt Color160 Color161 Color162 Color163 Timer Switch "
            "[1] Hour Minute Alt Color160 Color161 Color162 Color163 Timer Switch")
            .split(' ');
    EXPECT_EQ(keys, expected);
    EXPECT_TRUE(lines.contains("TempOffset=-5"));
    EXPECT_TRUE(lines.contains("Bias=-60"));
    EXPECT_TRUE(lines.contains("Switch=225"));
}

TEST_F(SettingsFileTest, SignedValuesAndTheWholeSwitchByteRoundTrip) {
    expert.TempOffset = -5;
    expert.BalanceSumRamp = -100;
    expert.Lat = -339;
    Schedule schedule = linesOf(1);
    schedule[0].Switch = 255;
    schedule[0].Alt = -10000;
    ASSERT_TRUE(WriteSettingsFile(path(), info, expert, schedule));
    InfoBlock infoBack;
    ExpertBlock expertBack;
    ASSERT_TRUE(readConfigFile(path(), infoBack, expertBack));
    EXPECT_EQ(expertBack, expert);
    EXPECT_EQ(infoBack, info);
    Schedule scheduleBack(1);
    ASSERT_TRUE(readScheduleFile(path(), scheduleBack));
    EXPECT_EQ(scheduleBack, schedule);
}

TEST_F(SettingsFileTest, ExportKeepsOlderLineSectionsAndForeignKeys) {
    ASSERT_TRUE(WriteSettingsFile(path(), info, expert, linesOf(20)));
    writeText(path(), readText(path()) + "[Notes]\nOwner=me\n");
    Schedule twelve = linesOf(12);
    for (auto& line : twelve)
        line.Timer = 77;
    ASSERT_TRUE(WriteSettingsFile(path(), info, expert, twelve));
    Schedule all(20);
    ASSERT_TRUE(readScheduleFile(path(), all));
    for (std::size_t i = 0; i < 12; ++i)
        EXPECT_EQ(all[i].Timer, 77) << i;
    for (std::size_t i = 12; i < 20; ++i)
        EXPECT_EQ(all[i], linesOf(20)[i]) << i;
    EXPECT_TRUE(readText(path()).contains("[Notes]\nOwner=me"));
}

TEST_F(SettingsFileTest, MissingAndBrokenKeysKeepTheFields) {
    info.FanHigh = 80;
    info.Mode = 0;
    expert.Lat = 501;
    writeText(path(), "[Config]\nMode=2\nFanHigh=abc\n");
    ASSERT_TRUE(readConfigFile(path(), info, expert));
    EXPECT_EQ(info.Mode, 2);
    EXPECT_EQ(info.FanHigh, 80);
    EXPECT_EQ(expert.Lat, 501);
}

TEST_F(SettingsFileTest, ValuesKeepTheirLowBits) {
    writeText(path(), "[0]\nHour=300\nColor160=70000\nSwitch=-1\n[Config]\nTimeLapse=257\n");
    Schedule schedule(1);
    ASSERT_TRUE(readScheduleFile(path(), schedule));
    EXPECT_EQ(schedule[0].Hour, 44);
    EXPECT_EQ(schedule[0].Color16[0], 70000 - 65536);
    EXPECT_EQ(schedule[0].Switch, 255);
    ASSERT_TRUE(readConfigFile(path(), info, expert));
    EXPECT_EQ(info.TimeLapse, 1);
}

// The disk fills up halfway through the new file: the export fails, says
// why, and the old file stays whole (the cut-off file never replaces it).
TEST_F(SettingsFileTest, AnExportCutOffByAFullDiskKeepsTheOldFile) {
    ASSERT_TRUE(WriteSettingsFile(path(), info, expert, linesOf(8)));
    const QString old = readText(path());
    info.FanLow = 42;
    QString error;
    {
        const FileSizeLimit disk(old.size() / 2);
        EXPECT_FALSE(WriteSettingsFile(path(), info, expert, linesOf(8), &error));
    }
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readText(path()), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"settings.ini"})
        << "no temporary file is left behind";
}

TEST_F(SettingsFileTest, PipesAndDevicesAreRefusedWithoutReadingThem) {
    const QString fifo = path("pipe.ini");
    ASSERT_TRUE(makeFifo(fifo));
    for (const QString& special : {fifo, EndlessDevice}) {
        QString error;
        EXPECT_FALSE(
            withoutHanging([&] { return readConfigFile(special, info, expert, &error); }, fifo));
        EXPECT_EQ(error, QString::fromUtf8("keine reguläre Datei"));
        Schedule lines = linesOf(2);
        EXPECT_FALSE(
            withoutHanging([&] { return readScheduleFile(special, lines, &error); }, fifo));
        // An export would read the existing file to keep its other keys.
        error.clear();
        EXPECT_FALSE(withoutHanging(
            [&] { return WriteSettingsFile(special, info, expert, linesOf(2), &error); }, fifo));
        EXPECT_EQ(settingsWriteFailure(special, error).text(),
                  QString::fromUtf8("Fehler: Einstellungen konnten nicht in %1 gespeichert werden "
                                    "(keine reguläre Datei)!")
                      .arg(special));
    }
}
TEST_F(SettingsFileTest, AnOverlongFileIsRefusedAndAFileAtTheLimitIsRead) {
    // Comment lines pad the file to the size wanted; the key comes first.
    auto fileOf = [](qint64 size) {
        QByteArray text = "[Config]\nMode=2\n";
        text.append(QByteArray(size - text.size() - 1, ';')).append('\n');
        return text;
    };
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(fileOf(SettingsFileMaxBytes));
    file.close();
    InfoBlock info;
    ExpertBlock expert;
    QString error;
    ASSERT_TRUE(readConfigFile(path(), info, expert, &error)) << error.toStdString();
    EXPECT_EQ(info.Mode, 2);

    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(fileOf(SettingsFileMaxBytes + 1));
    file.close();
    info.Mode = 0;
    EXPECT_FALSE(readConfigFile(path(), info, expert, &error));
    EXPECT_EQ(info.Mode, 0);
    EXPECT_EQ(error, QString::fromUtf8("größer als 1048576 Bytes"));
}

TEST_F(SettingsFileTest, DialogFilterUsesTheCatalogue) {
    const auto settings = settingsDialogSettings(SettingsCommand::Export);
    EXPECT_EQ(settings.filter, "KestVELQOR 1.x.12 - Konfiguration (*.ini)|*.ini");
    EXPECT_EQ(settings.title, "Zeitplan und Konfiguration exportieren nach...");
    EXPECT_EQ(settings.defaultExtension, ".ini");
}
