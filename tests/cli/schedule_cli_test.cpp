// The schedule and the day curve from the command line, against the simulated
// board: shown as the schedule tab shows it, changed as the tab changes it,
// drawn as the visualisation tab draws it.
#include "cli_test_support.h"
#include "device/records/info_block.h"
#include "plot/channel_colors.h"
#include "plot/chart_drawing.h"
#include "support/file_size_limit.h"

#include <QFile>
#include <QImage>

#include <cmath>

using namespace kv::testing;

namespace {

class ScheduleCliTest : public CliTest {
protected:
    QJsonArray boardLines() {
        return run({"--simulate", "--json", "dump"}).json()["Schedule"].toArray();
    }
    void writeFile(const QString& name, const QByteArray& text) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
};

} // namespace

TEST_F(ScheduleCliTest, JsonGivesTheBoardsLines) {
    const QJsonObject dump = run({"--simulate", "--json", "dump"}).json();
    const QJsonObject shown = run({"--simulate", "--json", "schedule"}).json();
    const QJsonArray lines = shown["lines"].toArray();
    const QJsonArray board = dump["Schedule"].toArray();
    ASSERT_EQ(lines.size(), board.size());
    ASSERT_GT(lines.size(), 3);
    EXPECT_EQ(shown["mode"].toString(), "auto");
    EXPECT_EQ(shown["currentLine"].toInt(), dump["InfoBlock"].toObject()["CurrentLine"].toInt());
    for (int i = 0; i < lines.size(); ++i) {
        const QJsonObject line = lines[i].toObject();
        const QJsonObject raw = board[i].toObject();
        SCOPED_TRACE(i);
        EXPECT_EQ(line["line"].toInt(), i);
        EXPECT_EQ(line["hour"].toInt(), raw["Hour"].toInt());
        EXPECT_EQ(line["minute"].toInt(), raw["Minute"].toInt());
        const double degrees = std::asin(raw["Alt"].toInt() / 10000.0) * 180 / M_PI;
        EXPECT_DOUBLE_EQ(line["altitude"].toDouble(), std::round(degrees * 100) / 100);
        for (int channel = 0; channel < 4; ++channel) {
            const double percent = raw["Color16"].toArray()[channel].toInt() / 40.96;
            EXPECT_DOUBLE_EQ(line["levels"].toArray()[channel].toDouble(),
                             std::round(percent * 100) / 100);
        }
        const int flags = raw["Switch"].toInt();
        EXPECT_EQ(line["switch"].toInt(), flags);
        EXPECT_EQ(line["display"].toBool(), (flags & 0x20) != 0);
        EXPECT_EQ(line["clouds"].toBool(), (flags & 0x40) != 0);
        EXPECT_EQ(line["storms"].toBool(), (flags & 0x80) != 0);
        EXPECT_EQ(line["timer"].toInt(), raw["Timer"].toInt() & 0xFFFF);
    }
}

TEST_F(ScheduleCliTest, TextShowsTheTabsHeadersAndCells) {
    const CliResult german = run({"--simulate", "schedule"}, {}, {"LC_ALL=de_DE.UTF-8"});
    ASSERT_EQ(german.status, 0) << german.err.toStdString();
    const QStringList rows = german.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_TRUE(rows[0].contains(QRegularExpression(
        QString::fromUtf8("Zeile +Zeit +W: \\S+ +R: \\S+ +G: \\S+ +B: \\S+ +Display +Wolken +"
                          "Gewitter +JMP-Pin"))))
        << rows[0].toStdString();
    // Line 3 of the factory schedule: 12:00, levels with a decimal comma.
    EXPECT_TRUE(german.out.contains(QRegularExpression("\\n[ >] 3 +12:00 +85,45 +61,04 +61,04 +"
                                                       "73,24 +EIN +EIN +AUS +0\\n")))
        << german.out.toStdString();
    EXPECT_EQ(german.out.count(QRegularExpression("\\n> ")), 1) << "the board's line is marked";

    // In Geo mode the second column is the sun's altitude.
    ASSERT_EQ(run({"--simulate", "mode", "geo"}).status, 0);
    const CliResult geo = run({"--simulate", "schedule"}, {}, {"LC_ALL=de_DE.UTF-8"});
    EXPECT_TRUE(geo.out.startsWith(QString::fromUtf8("  Zeile  Höhe "))) << geo.out.toStdString();
    EXPECT_EQ(run({"--simulate", "--json", "schedule"}).json()["mode"].toString(), "geo");
}

TEST_F(ScheduleCliTest, SetChangesExactlyTheNamedFieldsOfOneLine) {
    // Low bits of Switch that the board uses for itself must survive.
    writeFile("line2.ini", "[2]\nSwitch=23\nTimer=7\n");
    ASSERT_EQ(run({"--simulate", "import-schedule", "line2.ini"}).status, 0);
    const QJsonArray before = boardLines();

    const CliResult set =
        run({"--simulate", "schedule", "set", "2", "time=7:5", "W=50", "clouds=on"});
    ASSERT_EQ(set.status, 0) << set.err.toStdString();
    EXPECT_TRUE(set.out.contains(QRegularExpression("2 +07:05 +50 ")));
    const QJsonArray after = boardLines();
    ASSERT_EQ(after.size(), before.size());
    for (int i = 0; i < after.size(); ++i) {
        if (i == 2)
            continue;
        EXPECT_EQ(after[i], before[i]) << "line " << i;
    }
    QJsonObject expected = before[2].toObject();
    expected["Hour"] = 7;
    expected["Minute"] = 5;
    QJsonArray levels = expected["Color16"].toArray();
    levels[0] = 2048;
    expected["Color16"] = levels;
    expected["Switch"] = 23 | 0x40;
    EXPECT_EQ(after[2].toObject(), expected);

    // Comma, altitude, the flags off again and the timer's whole range.
    const QJsonObject json = run({"--json", "--simulate", "schedule", "set", "2", "alt=-3,5",
                                  "B=7,5", "clouds=off", "display=on", "timer=65535"})
                                 .json();
    EXPECT_TRUE(json["ok"].toBool());
    const QJsonObject line = json["line"].toObject();
    EXPECT_DOUBLE_EQ(line["altitude"].toDouble(), -3.5);
    EXPECT_DOUBLE_EQ(line["levels"].toArray()[3].toDouble(), 7.5);
    EXPECT_EQ(line["switch"].toInt(), 23 | 0x20);
    EXPECT_EQ(line["timer"].toInt(), 65535);
    EXPECT_EQ(run({"--simulate", "--json", "schedule"}).json()["lines"].toArray()[2], line);
}

TEST_F(ScheduleCliTest, RefusedEditsSendNothing) {
    const QJsonArray before = boardLines();
    for (const QString& field :
         QStringList{"time=25:00", "time=24:01", "W=101", "G=-1", "alt=91", "timer=65536",
                     "frobs=1", "display=maybe", "W=abc", "time=30"}) {
        const CliResult r = run({"--simulate", "schedule", "set", "2", field});
        EXPECT_EQ(r.status, 2) << field.toStdString();
        EXPECT_EQ(r.err.trimmed().count('\n'), 0) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(field.section('=', 0, 0))) << r.err.toStdString();
        // Refused before any board is looked for.
        EXPECT_EQ(run({"schedule", "set", "2", field}).status, 2) << field.toStdString();
    }
    // One bad field among good ones spoils the lot.
    EXPECT_EQ(run({"--simulate", "schedule", "set", "2", "W=10", "R=101"}).status, 2);
    const CliResult beyond = run({"--simulate", "schedule", "set", "300", "W=10"});
    EXPECT_EQ(beyond.status, 2);
    EXPECT_TRUE(beyond.err.contains("eine Zeile 300 gibt es nicht")) << beyond.err.toStdString();
    EXPECT_EQ(run({"--simulate", "schedule", "set", "2"}).status, 2);
    EXPECT_EQ(run({"--simulate", "schedule", "set", "two", "W=1"}).status, 2);
    EXPECT_EQ(boardLines(), before);
}

TEST_F(ScheduleCliTest, PlotCurveDrawsTheHandlesWhereTheTabDoes) {
    ASSERT_EQ(run({"--simulate", "mode", "auto"}).status, 0);
    ASSERT_EQ(run({"--simulate", "schedule", "set", "3", "time=12:00", "W=50", "R=25"}).status, 0);
    const QJsonArray colors =
        run({"--simulate", "--json", "dump"}).json()["InfoBlock"].toObject()["ColorName"].toArray();
    auto curveColor = [&](int channel) {
        return kv::CurveColor(kv::colorTableIndex(colors[channel].toInt()));
    };

    const CliResult drawn = run({"--simulate", "--json", "plot", "curve", "curve.png"}, {},
                                {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=xcb"});
    ASSERT_EQ(drawn.status, 0) << drawn.err.toStdString();
    EXPECT_TRUE(drawn.err.isEmpty()) << drawn.err.toStdString();
    EXPECT_EQ(drawn.json()["file"].toString(), path("curve.png"));
    QImage image(path("curve.png"));
    ASSERT_EQ(image.size(), QSize(1000, 600));
    // 12:00 lies half-way across, 50 % half-way up the plot area: the handle
    // is a square around (500, 299.5) in channel 0's colour.
    for (const QPoint& p : {QPoint(495, 295), QPoint(503, 298), QPoint(500, 299)})
        EXPECT_EQ(image.pixel(p), curveColor(0)) << p.x() << "," << p.y();

    // Another channel on top, another size: its handle at 25 % on 640 x 400.
    ASSERT_EQ(
        run({"--simulate", "plot", "curve", "r.png", "--channel", "R", "--size", "640x400"}).status,
        0);
    QImage red(path("r.png"));
    ASSERT_EQ(red.size(), QSize(640, 400));
    EXPECT_EQ(red.pixel(320, 287), curveColor(1)); // around 20 + 600 / 2, 20 + 359 * 0.75

    for (const QStringList& args : {QStringList{"plot", "curve"},
                                    {"plot", "curve", "a.png", "--size", "10x10"},
                                    {"plot", "curve", "a.png", "--size", "big"},
                                    {"plot", "curve", "a.png", "--channel", "X"},
                                    {"plot"},
                                    {"plot", "sketch", "a.png"}})
        EXPECT_EQ(run(QStringList{"--simulate"} + args).status, 2) << args.join(' ').toStdString();
    EXPECT_EQ(run({"plot", "curve", "a.png"}).status, 3);
    EXPECT_EQ(run({"--simulate", "plot", "curve", path("missing/folder/a.png")}).status, 1);
}

// The disk fills up halfway through the new picture: the command fails and
// the old picture stays whole.
TEST_F(ScheduleCliTest, APictureCutOffByAFullDiskKeepsTheOldFile) {
    // Small enough to be held in the file's buffer until the end.
    ASSERT_EQ(run({"--simulate", "plot", "curve", "curve.png", "--size", "200x100"}).status, 0);
    QFile file(path("curve.png"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray old = file.readAll();
    file.close();
    CliResult cut;
    {
        const kv::testing::FileSizeLimit disk(old.size() / 2); // the command inherits it
        cut = run(
            {"--simulate", "plot", "curve", "curve.png", "--size", "200x100", "--channel", "B"});
    }
    EXPECT_EQ(cut.status, 1) << cut.err.toStdString();
    EXPECT_TRUE(cut.err.contains("cannot write curve.png")) << cut.err.toStdString();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), old);
}

TEST_F(ScheduleCliTest, PlotChartWritesTheChartAtTheAskedSize) {
    const int chartMode =
        run({"--simulate", "--json", "dump"}).json()["ExpertBlock"].toObject()["ChartMode"].toInt();
    const QColor curve = QColor::fromRgb(kv::chart::colors::series(std::uint8_t(chartMode)));
    // The curve is drawn smooth: its pixels are of its hue, more or less faint.
    auto curvePixels = [&](const QImage& image) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                count +=
                    pixel.hsvSaturation() > 100 && std::abs(pixel.hsvHue() - curve.hsvHue()) < 10;
            }
        return count;
    };

    const CliResult drawn = run({"--simulate", "plot", "chart", "chart.png"});
    ASSERT_EQ(drawn.status, 0) << drawn.err.toStdString();
    const QImage standard(path("chart.png"));
    EXPECT_EQ(standard.size(), QSize(600, 300));
    EXPECT_GT(curvePixels(standard), 50) << "the samples' curve is drawn";

    const QJsonObject json =
        run({"--simulate", "--json", "plot", "chart", "big.png", "--size", "900x450"}).json();
    EXPECT_EQ(json["width"].toInt(), 900);
    const QImage big(path("big.png"));
    EXPECT_EQ(big.size(), QSize(900, 450));
    EXPECT_GT(curvePixels(big), curvePixels(standard));
    EXPECT_EQ(run({"--simulate", "plot", "chart", "c.png", "--channel", "W"}).status, 2);
}

TEST_F(ScheduleCliTest, HelpOnEverySubcommand) {
    EXPECT_TRUE(run({"schedule", "set", "--help"}).out.contains("time=HH:MM"));
    EXPECT_TRUE(run({"plot", "--help", "curve"}).out.contains("--channel"));
    const CliResult plot = run({"plot", "--help"});
    EXPECT_EQ(plot.status, 0);
    EXPECT_TRUE(plot.out.contains("plot curve") && plot.out.contains("plot chart"));
    EXPECT_TRUE(run({"--help"}).out.contains("schedule set"));
}
