// Keeping watch, choosing among several boards and listing every device,
// through the built binary; the simulated bus is driven from outside through
// its control file.
#include "cli_test_support.h"

#include <QDeadlineTimer>
#include <QFile>

#include <csignal>
#include <functional>

using namespace kv::testing;

namespace {

// Waits this long at most for a running watch to print; only a hang reaches it.
constexpr int HangMs = 30000;

class WatchCliTest : public CliTest {
protected:
    QString control() { return path("bus-control"); }
    QStringList controlled(const QStringList& more = {}) {
        return QStringList{"KESTVELQOR_SIM_CONTROL=" + control()} + more;
    }
    void setControl(const QByteArray& text) {
        QFile file(control());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }

    // Reads the process's lines until done() says enough; false on a hang or
    // when the process ended first.
    bool readUntil(QProcess& process, QStringList& lines,
                   const std::function<bool(const QStringList&)>& done) {
        const QDeadlineTimer deadline(HangMs);
        while (!done(lines)) {
            if (!process.canReadLine() && !process.waitForReadyRead(int(deadline.remainingTime())))
                return false;
            while (process.canReadLine())
                lines << QString::fromUtf8(process.readLine()).trimmed();
        }
        return true;
    }
    static QJsonObject jsonOf(const QString& line) {
        return QJsonDocument::fromJson(line.toUtf8()).object();
    }
    static bool isStatus(const QString& line) { return jsonOf(line).contains("firmwareVersion"); }
    static qsizetype countOf(const QStringList& lines, const std::function<bool(QString)>& what) {
        return std::count_if(lines.begin(), lines.end(), what);
    }
};

} // namespace

TEST_F(WatchCliTest, CountedJsonLinesCarryTheStatusKeys) {
    const QStringList statusKeys = run({"--simulate", "--json", "status"}).json().keys();
    ASSERT_FALSE(statusKeys.isEmpty());
    const CliResult watch =
        run({"--simulate", "--json", "watch", "--count", "3", "--interval", "0.1"});
    EXPECT_EQ(watch.status, 0) << watch.err.toStdString();
    const QStringList lines = watch.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << watch.out.toStdString();
    for (const QString& line : lines) {
        const QJsonObject object = jsonOf(line);
        for (const QString& key : statusKeys)
            EXPECT_TRUE(object.contains(key)) << key.toStdString();
        EXPECT_EQ(object["firmwareVersion"].toInt(), 12);
        EXPECT_TRUE(object["computerTime"].toString().contains(
            QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d$")));
    }

    const CliResult text = run({"--simulate", "watch", "--count", "2", "--interval", "0,1"}, {},
                               {"LC_ALL=de_DE.UTF-8"});
    EXPECT_EQ(text.status, 0);
    const QStringList textLines = text.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(textLines.size(), 2);
    EXPECT_TRUE(textLines[0].contains(QRegularExpression(QString::fromUtf8(
        "^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d \\| Uhr \\d\\d\\.\\d\\d\\."
        "\\d{4} \\d\\d:\\d\\d:\\d\\d \\| Auto\\S* \\| W [\\d,]+ %  R [\\d,]+ %  "
        "G [\\d,]+ %  B [\\d,]+ % \\| KestTHERMAL: [\\d,]+°C \\| "
        "Eingangsspannung: [\\d,]+ Volt"))))
        << textLines[0].toStdString();

    for (const QStringList& args : {QStringList{"watch", "--count", "0"},
                                    {"watch", "--interval", "0"},
                                    {"watch", "--interval", "soon"},
                                    {"watch", "now"}})
        EXPECT_EQ(run(QStringList{"--simulate"} + args).status, 2) << args.join(' ').toStdString();
    EXPECT_EQ(run({"watch", "--count", "1"}).status, 3);
}

TEST_F(WatchCliTest, SurvivesUnplugAndReplug) {
    auto watch = start({"--simulate", "--json", "watch", "--interval", "0.1"}, controlled());
    QStringList lines;
    ASSERT_TRUE(readUntil(*watch, lines, [](const QStringList& l) { return l.size() >= 2; }));

    setControl("unplugged\n");
    ASSERT_TRUE(readUntil(*watch, lines, [](const QStringList& l) {
        return !l.isEmpty() && jsonOf(l.last())["event"] == "unplugged";
    })) << lines.join('\n').toStdString();
    EXPECT_EQ(jsonOf(lines.last())["message"].toString(), "KestVELQOR 1.x entfernt");
    const qsizetype unplugged = lines.size() - 1;
    EXPECT_EQ(countOf(lines, isStatus), unplugged) << "only status lines before";

    setControl("");
    ASSERT_TRUE(readUntil(*watch, lines, [&](const QStringList& l) {
        return countOf(l.mid(unplugged), isStatus) >= 2;
    })) << lines.join('\n').toStdString();
    // Nothing while it was away; then it says it is back and carries on.
    EXPECT_EQ(jsonOf(lines[unplugged + 1])["event"].toString(), "connected");
    EXPECT_EQ(jsonOf(lines[unplugged + 1])["message"].toString(), "KestVELQOR 1.x.12 erkannt");
    EXPECT_EQ(jsonOf(lines.last())["firmwareVersion"].toInt(), 12);

    watch->terminate();
    ASSERT_TRUE(watch->waitForFinished(HangMs));
    EXPECT_EQ(watch->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(watch->exitCode(), 0);
}

TEST_F(WatchCliTest, EndsCleanlyOnSigtermAndSigint) {
    for (int signal : {SIGTERM, SIGINT}) {
        auto watch = start({"--simulate", "watch", "--interval", "0.1"});
        QStringList lines;
        ASSERT_TRUE(readUntil(*watch, lines, [](const QStringList& l) { return !l.isEmpty(); }));
        ::kill(pid_t(watch->processId()), signal);
        ASSERT_TRUE(watch->waitForFinished(HangMs));
        EXPECT_EQ(watch->exitStatus(), QProcess::NormalExit) << signal;
        EXPECT_EQ(watch->exitCode(), 0) << signal;
        EXPECT_TRUE(watch->readAllStandardError().isEmpty());
    }
    // What the board took before the stop is kept for the next run.
    EXPECT_EQ(run({"--simulate", "status"}).status, 0);
}

TEST_F(WatchCliTest, DeviceChoosesAmongTwoBoards) {
    const QStringList two = {"KESTVELQOR_SIM_BOARDS=2"};
    const QJsonArray devices =
        run({"--simulate", "--json", "devices"}, {}, two).json()["devices"].toArray();
    ASSERT_EQ(devices.size(), 2);
    EXPECT_EQ(devices[0].toObject()["serial"].toString(), "SIM-0001");
    EXPECT_EQ(devices[1].toObject()["serial"].toString(), "SIM-0002");

    // The second board by serial, the option before or after the command.
    ASSERT_EQ(run({"--simulate", "--device", "SIM-0002", "mode", "geo"}, {}, two).status, 0);
    ASSERT_EQ(run({"--simulate", "level", "W", "40", "--device=SIM-0001"}, {}, two).status, 0);
    auto modeOf = [&](const QStringList& choice) {
        return run(QStringList{"--simulate", "--json", "status"} + choice, {}, two)
            .json()["mode"]
            .toString();
    };
    EXPECT_EQ(modeOf({"--device", "SIM-0002"}), "geo");
    EXPECT_EQ(modeOf({"--device", "SIM-0001"}), "auto");
    EXPECT_EQ(modeOf({}), "auto") << "without a choice the first board";
    // By HID path, as devices lists it.
    const QString secondPath = devices[1].toObject()["path"].toString();
    EXPECT_EQ(modeOf({"--device", secondPath}), "geo");
    // The second board kept its own schedule change too.
    ASSERT_EQ(
        run({"--simulate", "--device", "SIM-0002", "schedule", "set", "1", "W=50"}, {}, two).status,
        0);
    auto firstLevel = [&](const QString& serial) {
        return run({"--simulate", "--json", "schedule", "--device", serial}, {}, two)
            .json()["lines"]
            .toArray()[1]
            .toObject()["levels"]
            .toArray()[0]
            .toDouble();
    };
    EXPECT_DOUBLE_EQ(firstLevel("SIM-0002"), 50);
    EXPECT_NE(firstLevel("SIM-0001"), 50);

    for (const QStringList& command : {QStringList{"status"}, {"schedule"}, {"devices"}}) {
        const CliResult none =
            run(QStringList{"--simulate", "--device", "SIM-0009"} + command, {}, two);
        EXPECT_EQ(none.status, 3) << command.join(' ').toStdString();
        EXPECT_TRUE(none.err.contains("\"SIM-0009\"")) << none.err.toStdString();
    }
    EXPECT_EQ(run({"--simulate", "status", "--device"}).status, 2);
}

TEST_F(WatchCliTest, DevicesListsEveryDevicesOwnStrings) {
    setControl("# a foreign device and two bootloaders beside the board\n"
               "device \"Other Maker\" \"USB Mouse\" \"M-123\"\n"
               "device \"Kest Lighting\"\n"
               "device \"Kest Lighting\" \"0\" \"\"\n");
    const QJsonArray devices =
        run({"--simulate", "--json", "devices"}, {}, controlled()).json()["devices"].toArray();
    ASSERT_EQ(devices.size(), 4);
    auto entry = [&](int i) {
        const QJsonObject d = devices[i].toObject();
        return QStringList{d["manufacturer"].toString(), d["product"].toString(),
                           d["serial"].toString(), d["kind"].toString()};
    };
    EXPECT_EQ(entry(0), (QStringList{"Kest Lighting", "KestVELQOR", "SIM-0001", "board"}));
    EXPECT_EQ(entry(1), (QStringList{"Other Maker", "USB Mouse", "M-123", "foreign"}));
    EXPECT_EQ(entry(2), (QStringList{"Kest Lighting", "", "", "classic bootloader"}));
    EXPECT_EQ(entry(3), (QStringList{"Kest Lighting", "0", "", "328p bootloader"}));

    const CliResult text = run({"--simulate", "devices"}, {}, controlled());
    EXPECT_TRUE(
        text.out.contains(QRegularExpression("HID 1: [0-9A-F]{4}:[0-9A-F]{4} \"Other Maker\" \"USB "
                                             "Mouse\" \"M-123\"  foreign  \\S+\\n")))
        << text.out.toStdString();
    EXPECT_TRUE(text.out.contains(QRegularExpression(
        "HID 3: [0-9A-F]{4}:[0-9A-F]{4} \"Kest Lighting\" \"0\" \"\"  328p bootloader")));
}
