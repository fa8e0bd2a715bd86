// Runs the built kestvelqorctl against the simulated board and checks what it
// prints and how it ends.
#include "../firmware/firmware_test_support.h"
#include "cli_test_support.h"
#include "support/special_files.h"

#include <QFile>
#include <QFileInfo>

using namespace kv::testing;

TEST_F(CliTest, HelpOnEveryLevelAndWrongUsage) {
    const CliResult overview = run({"--help"});
    EXPECT_EQ(overview.status, 0);
    EXPECT_TRUE(overview.out.contains("check-firmware"));
    const CliResult astroHelp = run({"astro", "--help"});
    EXPECT_EQ(astroHelp.status, 0);
    EXPECT_TRUE(astroHelp.out.contains("--utc-offset"));
    EXPECT_EQ(run({"--version"}).status, 0);

    for (const QStringList& args : {QStringList{},
                                    {"frobnicate"},
                                    {"--simulate", "mode", "turbo"},
                                    {"--simulate", "level", "X", "5"},
                                    {"--simulate", "level", "W", "101"},
                                    {"--simulate", "export"},
                                    {"astro", "--lat", "50"},
                                    {"astro", "--lat", "95", "--lon", "8"},
                                    {"--simulate", "set-time", "yesterday"},
                                    {"--simulate", "status", "--bogus"}}) {
        const CliResult r = run(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        if (!args.isEmpty()) {
            EXPECT_EQ(r.err.trimmed().count('\n'), 0) << "one clear line: " << r.err.toStdString();
        }
    }
}

TEST_F(CliTest, WithoutABoardTheStatusIsThree) {
    for (const QStringList& args : {QStringList{"status"}, {"dump"}, {"save"}, {"mode", "auto"}}) {
        const CliResult r = run(args);
        EXPECT_EQ(r.status, 3) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("Keine KestVELQOR-Platine gefunden")) << r.err.toStdString();
    }
    const CliResult devices = run({"--json", "devices"});
    EXPECT_EQ(devices.status, 0);
}

TEST_F(CliTest, DevicesListsTheSimulatedBoard) {
    const CliResult r = run({"devices", "--simulate"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.contains(QRegularExpression(
        "HID \\d+: [0-9A-F]{4}:[0-9A-F]{4} \"Kest Lighting\" \"KestVELQOR\" \"[^\"]*\"  board")))
        << r.out.toStdString();
    const QJsonArray list = run({"--json", "--simulate", "devices"}).json()["devices"].toArray();
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].toObject()["kind"].toString(), "board");
}

TEST_F(CliTest, StatusAndDumpShowTheBoard) {
    const CliResult status = run({"--simulate", "status"});
    EXPECT_EQ(status.status, 0);
    EXPECT_TRUE(status.out.contains("Firmware: 12"));
    EXPECT_TRUE(status.out.contains("Modus: "));
    const QJsonObject json = run({"--simulate", "--json", "status"}).json();
    EXPECT_EQ(json["firmwareVersion"].toInt(), 12);
    EXPECT_EQ(json["levels"].toArray().size(), 4);

    const QJsonObject dump = run({"dump", "--json", "--simulate"}).json();
    EXPECT_EQ(dump["InfoBlock"].toObject()["FirmwareVersion"].toInt(), 12);
    EXPECT_EQ(dump["ExpertBlock"].toObject()["MoonColor"].toArray().size(), 4);
    EXPECT_EQ(dump["ChartBlock"].toObject()["Sample"].toArray().size(), 40);
    EXPECT_EQ(dump["Schedule"].toArray().size(), dump["InfoBlock"].toObject()["LineCount"].toInt());
    EXPECT_TRUE(run({"--simulate", "dump"}).out.contains("[ExpertBlock]\nFanMode="));
}

TEST_F(CliTest, SettingsReachTheBoardAndStay) {
    EXPECT_EQ(run({"--simulate", "mode", "manual"}).status, 0);
    EXPECT_EQ(run({"--simulate", "level", "R", "12,5"}).status, 0);
    EXPECT_EQ(run({"--simulate", "level", "3", "100"}).status, 0);
    QJsonObject info = run({"--simulate", "--json", "dump"}).json()["InfoBlock"].toObject();
    EXPECT_EQ(info["Mode"].toInt(), 0);
    EXPECT_EQ(info["Level"].toArray()[1].toInt(), 512);
    EXPECT_EQ(info["Level"].toArray()[3].toInt(), 4096);

    EXPECT_EQ(run({"--simulate", "set-time", "2024-06-21T12:00:00"}).status, 0);
    info = run({"--simulate", "--json", "dump"}).json()["InfoBlock"].toObject();
    EXPECT_EQ(info["Year"].toInt(), 24);
    EXPECT_EQ(info["Month"].toInt(), 6);
    EXPECT_EQ(info["TimeLapse"].toInt(), 1);

    // Years the board would read differently in different places are
    // refused before the board is asked.
    const CliResult late = run({"--simulate", "set-time", "2200-06-21T12:00:00"});
    EXPECT_EQ(late.status, 2);
    EXPECT_EQ(late.err.trimmed(),
              QString::fromUtf8("kestvelqorctl: Ungültiges Jahr: erlaubt sind 2000 bis 2127"));
    EXPECT_EQ(run({"--simulate", "set-time", "2127-12-31T23:59:00"}).status, 0);
    info = run({"--simulate", "--json", "dump"}).json()["InfoBlock"].toObject();
    EXPECT_EQ(info["Year"].toInt(), 127);

    EXPECT_EQ(run({"--simulate", "mode", "auto"}).status, 0);
    EXPECT_EQ(run({"--simulate", "cloud"}).status, 0);
    EXPECT_EQ(run({"--simulate", "storm"}).status, 0);
    EXPECT_EQ(run({"--simulate", "save"}).status, 0);
    EXPECT_EQ(run({"--simulate", "--json", "status"}).json()["mode"].toString(), "auto");
}

TEST_F(CliTest, ExportThenImportLeavesTheRecordsAsTheyWere) {
    ASSERT_EQ(run({"--simulate", "export", "settings.ini"}).status, 0);
    const QJsonObject before = run({"--simulate", "--json", "dump"}).json();
    // Change configuration and schedule, then import both back.
    EXPECT_EQ(run({"--simulate", "mode", "geo"}).status, 0);
    QFile file(path("settings.ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(file.readAll());
    EXPECT_TRUE(text.startsWith("[Config]\nMode="));
    EXPECT_EQ(run({"--simulate", "import-config", "settings.ini"}).status, 0);
    EXPECT_EQ(run({"--simulate", "import-schedule", "settings.ini"}).status, 0);
    const QJsonObject after = run({"--simulate", "--json", "dump"}).json();

    // Everything but the running clock is byte for byte the same.
    QJsonObject infoBefore = before["InfoBlock"].toObject();
    QJsonObject infoAfter = after["InfoBlock"].toObject();
    for (const char* clock : {"Hundredths", "Second", "Minute", "Hour", "Day", "Month", "Year",
                              "Level", "CurrentLine"}) {
        infoBefore.remove(clock);
        infoAfter.remove(clock);
    }
    EXPECT_EQ(infoBefore, infoAfter);
    EXPECT_EQ(before["ExpertBlock"], after["ExpertBlock"]);
    EXPECT_EQ(before["Schedule"], after["Schedule"]);

    const CliResult missing = run({"--simulate", "import-config", "missing.ini"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.contains("nicht gefunden"));
}

TEST_F(CliTest, FirmwareFilesAreCheckedAndFlashed) {
    writeFile(path("good.chx"), firmwareBytes(0, 0x7FF, patternImage(0, 0x7FF)));
    writeFile(path("bad.chx"), firmwareBytes(0, 1, {1, 2}, 99));
    const QJsonObject checked = run({"--json", "check-firmware", "good.chx"}).json();
    EXPECT_EQ(checked["start"].toInt(), 0);
    EXPECT_EQ(checked["end"].toInt(), 0x7FF);
    EXPECT_EQ(checked["bytes"].toInt(), 0x800);

    const CliResult refused = run({"check-firmware", "bad.chx"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err.trimmed(), "kestvelqorctl: Checksummenfehler in der Datei (4)!");
    EXPECT_EQ(run({"--simulate", "flash", "bad.chx", "--yes"}).status, 1);

    // Without --yes the question is asked; "n" cancels and nothing is flashed.
    const CliResult declined = run({"--simulate", "flash", "good.chx"}, "n\n");
    EXPECT_EQ(declined.status, 1);
    EXPECT_TRUE(declined.err.contains("Vorgang fortsetzen?"));
    EXPECT_FALSE(QFileInfo::exists(path("data/kestvelqor/backups"))); // no backup on "n"

    const CliResult flashed = run({"--simulate", "--json", "flash", "good.chx", "--yes"});
    EXPECT_EQ(flashed.status, 0) << flashed.err.toStdString();
    const QJsonObject result = flashed.json();
    EXPECT_EQ(result["firmwareVersion"].toInt(), 12);
    EXPECT_TRUE(QFile::exists(result["backup"].toString()));
    EXPECT_TRUE(result["backup"].toString().startsWith(path("data/kestvelqor/backups/")));
    EXPECT_EQ(run({"flash", "good.chx", "--yes"}).status, 3);
}

TEST_F(CliTest, PipesAndDevicesAreRefusedAsFiles) {
    const QString fifo = path("pipe.chx");
    ASSERT_TRUE(makeFifo(fifo));
    // Killed after a while should a reader block on the pipe or read the
    // device without end.
    auto refused = [&](const QStringList& args) {
        return run(args, {}, {}, 20000);
    };
    for (const QString& special : {fifo, EndlessDevice}) {
        const QString notRegular = special + QString::fromUtf8(" ist keine reguläre Datei!");
        for (const QStringList& args : {QStringList{"check-firmware", special},
                                        QStringList{"--simulate", "flash", special, "--yes"}}) {
            const CliResult r = refused(args);
            EXPECT_EQ(r.status, 1) << args.join(' ').toStdString();
            EXPECT_EQ(r.err.trimmed(), "kestvelqorctl: Fehler: " + notRegular);
        }
        const QString unreadable =
            QString::fromUtf8("kestvelqorctl: Fehler: Datei %1 konnte nicht gelesen werden "
                              "(keine reguläre Datei)!")
                .arg(special);
        for (const char* import : {"import-config", "import-schedule"}) {
            const CliResult r = refused({"--simulate", import, special});
            EXPECT_EQ(r.status, 1) << import;
            EXPECT_EQ(r.err.trimmed(), unreadable);
        }
        const CliResult exported = refused({"--simulate", "export", special});
        EXPECT_EQ(exported.status, 1);
        EXPECT_TRUE(exported.err.contains("(keine reguläre Datei)!")) << exported.err.toStdString();
    }
}

TEST_F(CliTest, AstroGivesTheGeoViewFigures) {
    const QStringList args = {"astro",      "--lat",  "50.1",  "--lon",        "8.5", "--date",
                              "2024-06-21", "--time", "12:00", "--utc-offset", "120"};
    const CliResult german = run(args, {}, {"LC_ALL=de_DE.UTF-8"});
    EXPECT_EQ(german.status, 0);
    EXPECT_TRUE(german.out.contains(
        QString::fromUtf8("Sonne: Richtung: 139,2°, Höhe: 58,3°, Aufgang: 05:23, Untergang: 21:33, "
                          "Tageslänge: 16:10 Stunden")))
        << german.out.toStdString();
    EXPECT_TRUE(german.out.contains(QString::fromUtf8(
        "Mond: Richtung: 331°, Höhe: -66,2°, Aufgang: 21:58, Untergang: 03:59, Phase: 99,5%")));

    const QJsonObject json = run(QStringList{"--json"} + args).json();
    EXPECT_EQ(json["sun"].toObject()["rise"].toString(), "05:23");
    EXPECT_EQ(json["sun"].toObject()["dayLength"].toString(), "16:10");
    EXPECT_NEAR(json["moon"].toObject()["illuminated"].toDouble(), 0.995, 0.001);
    EXPECT_TRUE(json["label"].toString().contains("58.3"));

    // Polar day: no rise, no set, no day length.
    const QJsonObject polar = run({"--json", "astro", "--lat", "80", "--lon", "0", "--date",
                                   "2024-06-21", "--time", "12:00", "--tz", "UTC"})
                                  .json();
    EXPECT_TRUE(polar["sun"].toObject()["dayLength"].isNull());
    EXPECT_EQ(run({"astro", "--lat", "1", "--lon", "1", "--tz", "Mars/Olympus"}).status, 2);
}

TEST_F(CliTest, AstroTakesZoneIdsAndOffsetsAndRefusesOtherWords) {
    auto figures = [&](const QStringList& zone) {
        const CliResult r = run(QStringList{"--json", "astro", "--lat", "50.1", "--lon", "8.5",
                                            "--date", "2024-06-21", "--time", "12:00"} +
                                zone);
        EXPECT_EQ(r.status, 0) << zone.join(' ').toStdString() << ": " << r.err.toStdString();
        return r.json();
    };
    // Zone ids, also those only the zone database knows, give that zone's time.
    const QJsonObject summer = figures({"--utc-offset", "120"});
    EXPECT_EQ(figures({"--tz", "Europe/Berlin"}), summer);
    EXPECT_EQ(figures({"--tz", "CET"}), summer);
    EXPECT_EQ(figures({"--tz", "UTC"}), figures({"--utc-offset", "0"}));
    // Offsets in each spelling.
    const QJsonObject india = figures({"--utc-offset", "330"});
    EXPECT_NE(india, summer);
    for (const char* offset : {"UTC+05:30", "utc+5:30", "+05:30"})
        EXPECT_EQ(figures({"--tz", offset}), india) << offset;
    const QJsonObject west = figures({"--utc-offset", "-480"});
    for (const char* offset : {"UTC-8", "-08:00"})
        EXPECT_EQ(figures({"--tz", offset}), west) << offset;

    // Words Qt would take for a zone at UTC+0, and offsets out of range.
    for (const QString& zone :
         QStringList{"Mars", "Foo", "", "europe/berlin", "CET-1CEST,M3.5.0,M10.5.0/3", "UTC+15:00",
                     "+05:60", "../../etc/passwd"}) {
        const CliResult r = run({"astro", "--lat", "1", "--lon", "1", "--tz", zone});
        EXPECT_EQ(r.status, 2) << zone.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << zone.toStdString();
        EXPECT_EQ(r.err.trimmed().count('\n'), 0);
        EXPECT_TRUE(r.err.contains("unknown time zone \"" + zone + "\"")) << r.err.toStdString();
    }
}
