// The history read through the built binary: a week recorded here by a
// recorder over the simulated board, with the recorder's clock running a
// week in minutes, then queried as JSON, CSV and a table, in buckets of
// every size; and every way the command is refused.
#include "cli_test_support.h"

#include "board/board_service.h"
#include "history/history_recorder.h"
#include "sim/sim_backend.h"
#include "support/recording_reporter.h"
#include "text/text_catalogue.h"

#include <QDateTime>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTimeZone>

#include <cmath>
#include <map>

using namespace kv;
using namespace kv::testing;

namespace {

constexpr qint64 MinuteMs = 60 * 1000;
constexpr qint64 HourMs = 60 * MinuteMs;
constexpr qint64 DayMs = 24 * HourMs;
constexpr qint64 WeekMs = 7 * DayMs;
constexpr qint64 PollMs = 2 * MinuteMs;
// Day 2 nothing polled (the board unplugged); one hour of day 4 without the
// water sensor.
constexpr qint64 GapFrom = 2 * DayMs;
constexpr qint64 GapTo = 3 * DayMs;
constexpr qint64 SensorlessHour = 4 * 24 + 5;

// One poll as the board gave it.
struct Poll {
    qint64 time = 0;
    std::optional<int> water; // 0.1 °C
    int voltage = 0;          // 0.01 V
    std::array<int, ChannelCount> levels{};
};

// What a bucket must hold, summed up here from the polls themselves.
struct Bucket {
    double waterSum = 0;
    int waterN = 0;
    int waterMin = 1 << 30;
    int waterMax = -(1 << 30);
    double voltageSum = 0;
    std::array<double, ChannelCount> levelSum{};
    int n = 0;
};

QString utcText(qint64 ms) {
    return QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc()).toString(Qt::ISODate);
}

qint64 timeOf(const QJsonValue& text) {
    return QDateTime::fromString(text.toString(), Qt::ISODate).toMSecsSinceEpoch();
}

class HistoryCliTest : public CliTest {
protected:
    void SetUp() override {
        LoadTextCatalogue();
        // The recorder's lock lives beside the binary's, in the scratch folder.
        qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        start = (now - WeekMs) / HourMs * HourMs; // the whole week lies in the past
    }
    void TearDown() override {
        qunsetenv("XDG_RUNTIME_DIR");
        textCatalogue().clear();
    }

    // The board's numbers at a moment of the week: the water warmer each
    // hour of the day and varying within the hour, the voltage by the day,
    // W and R by the hour of the day.
    Poll pollAt(qint64 time) const {
        const qint64 hour = (time - start) / HourMs;
        const int ofDay = int(hour % 24);
        Poll p;
        p.time = time;
        if (hour != SensorlessHour)
            p.water = 240 + 2 * ofDay + int((time - start) % HourMs / PollMs % 3);
        p.voltage = 1200 + int(hour / 24);
        p.levels = {ofDay * 100, FullLevel - ofDay * 100, 0, FullLevel};
        return p;
    }

    // Polls the simulated board every two minutes of the week, with the
    // recorder writing and summing up as it goes.
    void recordWeek(const QString& file) {
        sim::SimBackend sim;
        sim.board().setRecording(false);
        sim.board().info().Mode = std::uint8_t(BoardMode::Manual);
        RecordingReporter reporter;
        BoardService service(reporter, {{&sim, &sim}});
        qint64 clock = start;
        HistoryRecorder recorder(service, reporter, file);
        recorder.setClock([&clock] { return clock; });
        service.scanNow();
        ASSERT_TRUE(service.isConnected());
        ASSERT_TRUE(recorder.recordsSamples());
        auto writeBatch = [&] {
            recorder.flush();
            while (recorder.upkeep()) {
            }
        };
        for (; clock < start + WeekMs; clock += PollMs) {
            if (clock == start + GapFrom) {
                sim.unplugBoard();
                service.scanNow();
                ASSERT_FALSE(service.isConnected());
                clock = start + GapTo;
                sim.plugBoard();
                service.scanNow();
                ASSERT_TRUE(service.isConnected());
            }
            const Poll p = pollAt(clock);
            InfoBlock& info = sim.board().info();
            info.WaterTemp = std::int16_t(p.water.value_or(NoValue));
            info.InputVoltage = std::int16_t(p.voltage);
            for (int c = 0; c < ChannelCount; ++c)
                info.Level[std::size_t(c)] = std::int16_t(p.levels[std::size_t(c)]);
            service.pollNow();
            polls.push_back(p);
            if ((clock - start) % (10 * MinuteMs) == 0)
                writeBatch();
        }
        writeBatch();
        EXPECT_TRUE(reporter.logged.filter("Verlauf").isEmpty()) << "nothing failed";
    }

    // The buckets of the range from..to in buckets of width, from the polls.
    std::map<qint64, Bucket> expected(qint64 from, qint64 to, qint64 width) const {
        std::map<qint64, Bucket> buckets;
        for (const Poll& p : polls) {
            if (p.time < from || p.time >= to)
                continue;
            Bucket& b = buckets[from + (p.time - from) / width * width];
            if (p.water) {
                b.waterSum += *p.water;
                ++b.waterN;
                b.waterMin = std::min(b.waterMin, *p.water);
                b.waterMax = std::max(b.waterMax, *p.water);
            }
            b.voltageSum += p.voltage;
            for (std::size_t c = 0; c < p.levels.size(); ++c)
                b.levelSum[c] += p.levels[c];
            ++b.n;
        }
        return buckets;
    }

    // Every point of a JSON answer against the buckets summed up here.
    void expectPoints(const QJsonArray& points, qint64 from, qint64 to, qint64 width) {
        const auto buckets = expected(from, to, width);
        ASSERT_EQ(std::size_t(points.size()), buckets.size());
        auto bucket = buckets.begin();
        for (const QJsonValue& value : points) {
            const QJsonObject p = value.toObject();
            // The documents give whole seconds.
            const qint64 time = timeOf(p["time"]);
            ASSERT_EQ(time, bucket->first - bucket->first % 1000)
                << p["time"].toString().toStdString();
            const Bucket& b = bucket->second;
            if (b.waterN == 0) {
                EXPECT_TRUE(p["waterTemperature"].isNull()) << utcText(time).toStdString();
                EXPECT_TRUE(p["waterTemperatureMin"].isNull());
                EXPECT_TRUE(p["waterTemperatureMax"].isNull());
            } else {
                EXPECT_NEAR(p["waterTemperature"].toDouble(), b.waterSum / b.waterN / 10, 0.006);
                EXPECT_DOUBLE_EQ(p["waterTemperatureMin"].toDouble(), b.waterMin / 10.0);
                EXPECT_DOUBLE_EQ(p["waterTemperatureMax"].toDouble(), b.waterMax / 10.0);
            }
            EXPECT_NEAR(p["inputVoltage"].toDouble(), b.voltageSum / b.n / 100, 0.006);
            const char* letters[] = {"W", "R", "G", "B"};
            for (std::size_t c = 0; c < 4; ++c)
                EXPECT_NEAR(p[letters[c]].toDouble(), b.levelSum[c] / b.n / 40.96, 0.006)
                    << letters[c];
            EXPECT_EQ(p["mode"].toString(), "manual");
            ++bucket;
        }
    }

    CliResult history(const QStringList& words, const QStringList& extraEnv = {}) {
        return run(QStringList{"history", "--history", path("week.sqlite")} + words, {}, extraEnv);
    }

    qint64 start = 0;
    std::vector<Poll> polls;
};

} // namespace

TEST_F(HistoryCliTest, AWeekRecordedComesBackInBucketsOfEverySizeWithItsGap) {
    ASSERT_NO_FATAL_FAILURE(recordWeek(path("week.sqlite")));
    const qint64 end = start + WeekMs;
    const QStringList week = {"--from", utcText(start), "--to", utcText(end)};

    // Hours: the gap's 24 are absent, never zeros.
    const CliResult hours = history(QStringList{"--json", "--points", "168"} + week);
    ASSERT_EQ(hours.status, 0) << hours.err.toStdString();
    EXPECT_EQ(timeOf(hours.json()["from"]), start);
    EXPECT_EQ(timeOf(hours.json()["to"]), end);
    const QJsonArray hourPoints = hours.json()["points"].toArray();
    EXPECT_EQ(hourPoints.size(), 7 * 24 - 24);
    for (const QJsonValue& p : hourPoints) {
        const qint64 time = timeOf(p.toObject()["time"]);
        EXPECT_FALSE(time >= start + GapFrom && time < start + GapTo)
            << utcText(time).toStdString();
    }
    expectPoints(hourPoints, start, end, HourMs);

    // Days, and the default of 500 buckets (about 20 minutes each).
    const CliResult days = history(QStringList{"--json", "--points", "7"} + week);
    ASSERT_EQ(days.status, 0);
    EXPECT_EQ(days.json()["points"].toArray().size(), 6);
    expectPoints(days.json()["points"].toArray(), start, end, DayMs);
    const CliResult byDefault = history(QStringList{"--json"} + week);
    const QJsonArray defaultPoints = byDefault.json()["points"].toArray();
    EXPECT_LE(defaultPoints.size(), 500);
    expectPoints(defaultPoints, start, end, (WeekMs + 499) / 500);

    // The last two hours poll by poll, from the raw samples.
    const QStringList lastHours = {"--from", utcText(end - 2 * HourMs), "--to", utcText(end)};
    const CliResult raw = history(QStringList{"--json", "--points", "1000"} + lastHours);
    EXPECT_EQ(raw.json()["points"].toArray().size(), 60);
    expectPoints(raw.json()["points"].toArray(), end - 2 * HourMs, end, 2 * HourMs / 1000);

    // CSV: the header and the same numbers, one line per point.
    const CliResult csv = history(QStringList{"--csv", "--points", "168"} + week);
    ASSERT_EQ(csv.status, 0);
    const QStringList lines = csv.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), hourPoints.size() + 1);
    EXPECT_EQ(lines[0], "time,waterTemperature,waterTemperatureMin,waterTemperatureMax,"
                        "inputVoltage,W,R,G,B,mode");
    const char* keys[] = {"time",
                          "waterTemperature",
                          "waterTemperatureMin",
                          "waterTemperatureMax",
                          "inputVoltage",
                          "W",
                          "R",
                          "G",
                          "B",
                          "mode"};
    for (qsizetype i = 0; i < hourPoints.size(); ++i) {
        const QStringList fields = lines[i + 1].split(',');
        ASSERT_EQ(fields.size(), 10) << lines[i + 1].toStdString();
        const QJsonObject p = hourPoints[i].toObject();
        for (int f = 0; f < 10; ++f) {
            const QJsonValue v = p[keys[f]];
            if (v.isString())
                EXPECT_EQ(fields[f], v.toString());
            else if (v.isNull())
                EXPECT_TRUE(fields[f].isEmpty()) << keys[f];
            else
                EXPECT_DOUBLE_EQ(fields[f].toDouble(), v.toDouble()) << keys[f];
        }
    }

    // The table, in a German locale: German heads, numbers with a point.
    const CliResult table =
        history(QStringList{"--points", "168"} + week, {"LC_ALL=de_DE.UTF-8", "TZ=UTC"});
    ASSERT_EQ(table.status, 0);
    const QStringList rows = table.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), hourPoints.size() + 1);
    EXPECT_TRUE(rows[0].contains(QRegularExpression(QString::fromUtf8(
        "^Zeit +Wasser °C +min °C +max °C +Spannung V +W % +R % +G % +B % +Modus$"))))
        << rows[0].toStdString();
    // The first row: local time (UTC here), then the JSON's numbers.
    const QJsonObject first = hourPoints[0].toObject();
    const QStringList cells = rows[1].split(' ', Qt::SkipEmptyParts);
    const QString day =
        QDateTime::fromMSecsSinceEpoch(start, QTimeZone::utc()).toString("yyyy-MM-dd HH:mm:ss");
    EXPECT_EQ(cells.mid(0, 2).join(' '), day);
    EXPECT_EQ(cells.mid(2),
              (QStringList{QString::number(first["waterTemperature"].toDouble(), 'f', 2),
                           QString::number(first["waterTemperatureMin"].toDouble(), 'f', 1),
                           QString::number(first["waterTemperatureMax"].toDouble(), 'f', 1),
                           QString::number(first["inputVoltage"].toDouble(), 'f', 2),
                           QString::number(first["W"].toDouble(), 'f', 1),
                           QString::number(first["R"].toDouble(), 'f', 1),
                           QString::number(first["G"].toDouble(), 'f', 1),
                           QString::number(first["B"].toDouble(), 'f', 1), "manual"}));
    for (qsizetype i = 2; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].size(), rows[1].size()) << "aligned: " << rows[i].toStdString();
    EXPECT_FALSE(table.out.contains(',')) << "numbers as the rest of the tool writes them";
    const qsizetype sensorless = 4 * 24 + 5 - 24; // the gap's hours are not rows
    EXPECT_TRUE(rows[sensorless + 1].contains(QRegularExpression("^\\S+ \\S+ +- +- +- +12\\.04 ")))
        << rows[sensorless + 1].toStdString();

    // The events of the week: the board unplugged at the gap and back after it.
    const CliResult events = run({"--json", "history", "events", "--history", path("week.sqlite"),
                                  "--from", utcText(start), "--to", utcText(end)});
    ASSERT_EQ(events.status, 0) << events.err.toStdString();
    const QJsonArray list = events.json()["events"].toArray();
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list[0].toObject()["kind"].toString(), "connected");
    EXPECT_EQ(timeOf(list[0].toObject()["time"]), start);
    EXPECT_EQ(timeOf(list[1].toObject()["time"]), start + GapFrom);
    EXPECT_EQ(list[1].toObject()["kind"].toString(), "unplugged");
    EXPECT_EQ(timeOf(list[2].toObject()["time"]), start + GapTo);
    EXPECT_EQ(list[2].toObject()["origin"].toString(), "service");

    // The board by its serial number; one the file does not know is refused.
    const CliResult chosen =
        run({"--device", "SIM-0001", "--json", "history", "--history", path("week.sqlite"),
             "--from", utcText(start), "--to", utcText(end), "--points", "7"});
    EXPECT_EQ(chosen.json()["points"].toArray(), days.json()["points"].toArray());
    const CliResult unknown =
        run({"--device", "SIM-0009", "history", "--history", path("week.sqlite")});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_TRUE(unknown.err.contains("enthält keine Platine SIM-0009"))
        << unknown.err.toStdString();
}

TEST_F(HistoryCliTest, WrongWordsEndWithStatusTwoInOneEnglishLine) {
    const QList<QStringList> wrong = {
        {"history", "--from", "yesterday"},
        {"history", "--to", "2026-13-01"},
        {"history", "--from", "2026-12-01T25:00"},
        {"history", "--from", "-1h", "--to", "-2h"},
        {"history", "--from", "now"},
        {"history", "--points", "0"},
        {"history", "--points", "-3"},
        {"history", "--points", "1.5"},
        {"history", "--points", "many"},
        {"history", "--points"},
        {"history", "--csv", "--json"},
        {"history", "--days", "3"},
        {"history", "today"},
        {"history", "events", "--from", "soon"},
        {"history", "events", "--points", "5"},
    };
    for (const QStringList& words : wrong) {
        // Checked before the file is looked for: there is none here.
        const CliResult result = run(words);
        EXPECT_EQ(result.status, 2) << words.join(' ').toStdString();
        EXPECT_EQ(result.err.count('\n'), 1) << result.err.toStdString();
        EXPECT_TRUE(result.err.startsWith("kestvelqorctl: ")) << result.err.toStdString();
        EXPECT_FALSE(result.err.contains(QRegularExpression("[äöüß]|Verlauf")))
            << result.err.toStdString();
    }
    EXPECT_TRUE(run({"history", "--points", "x"}).err.contains("--points must be a whole number"));
    EXPECT_TRUE(run({"history", "--from", "-1h", "--to", "-2h"})
                    .err.contains("--from must be before --to"));
}

TEST_F(HistoryCliTest, AMissingOrForeignFileEndsWithStatusOneAndStaysAsItWas) {
    for (const QStringList& words : {QStringList{"history"}, {"history", "events"}}) {
        const CliResult missing = run(words);
        EXPECT_EQ(missing.status, 1);
        EXPECT_TRUE(missing.err.contains("Keine Verlaufsdatei unter " + path("data") +
                                         "/kestvelqor/history.sqlite"))
            << missing.err.toStdString();
        EXPECT_FALSE(QFile::exists(path("data/kestvelqor/history.sqlite"))) << "never made";
        EXPECT_FALSE(QFile::exists(path("data/kestvelqor")));
    }
    const CliResult named = run({"--json", "history", "--history", path("none.sqlite")});
    EXPECT_EQ(named.status, 1);
    EXPECT_TRUE(named.out.isEmpty());
    EXPECT_FALSE(QFile::exists(path("none.sqlite")));

    // A text file and another program's SQLite database.
    QFile text(path("notes.sqlite"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("water changed on Sunday\n");
    text.close();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "foreign");
        db.setDatabaseName(path("other.sqlite"));
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec("CREATE TABLE readings (time INTEGER, value REAL)");
        QSqlQuery(db).exec("INSERT INTO readings VALUES (1, 25.5)");
        db.close();
    }
    QSqlDatabase::removeDatabase("foreign");
    for (const QString& name : {QString("notes.sqlite"), QString("other.sqlite")}) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        for (const QStringList& words : {QStringList{"history"}, {"history", "events"}}) {
            const CliResult foreign = run(words + QStringList{"--history", path(name)});
            EXPECT_EQ(foreign.status, 1) << name.toStdString();
            EXPECT_EQ(foreign.err.trimmed(),
                      "kestvelqorctl: Die Datei " + path(name) +
                          " ist keine Verlaufsdatei von KestVELQOR und bleibt unverändert");
        }
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), before) << name.toStdString();
        EXPECT_FALSE(QFile::exists(path(name) + "-wal"));
        EXPECT_FALSE(QFile::exists(path(name) + "-journal"));
    }
}

TEST_F(HistoryCliTest, HelpNamesTheHistoryOptionsOfEveryCommandThatTakesThem) {
    for (const QString& command :
         QStringList{"mode", "level", "set-time", "cloud", "storm", "save", "schedule set",
                     "import-config", "import-schedule", "flash"}) {
        const CliResult help = run(command.split(' ') + QStringList{"--help"});
        EXPECT_TRUE(help.out.contains("[--history FILE | --no-history]")) << command.toStdString();
        EXPECT_TRUE(help.out.contains("never makes the file")) << command.toStdString();
    }
    EXPECT_TRUE(run({"serve", "--help"}).out.contains("[--history FILE | --no-history]"));
    for (const QString& command : QStringList{"status", "export"})
        EXPECT_FALSE(run({command, "--help"}).out.contains("--no-history"))
            << command.toStdString();
    EXPECT_TRUE(run({"watch", "--help"}).out.contains("[--history FILE]"));
    const CliResult history = run({"history", "--help"});
    EXPECT_TRUE(history.out.contains("--points N")) << history.out.toStdString();
    EXPECT_TRUE(history.out.contains("default 500"));
    EXPECT_TRUE(run({"history", "events", "--help"}).out.contains("{\"events\""));
    EXPECT_TRUE(run({"--help"}).out.contains("history events"));
}
