// Who writes the history from the command line, through the built binary:
// a command that changes the board adds its change, watch --history records
// every poll, and a watch killed outright loses at most its last batch.
#include "cli_test_support.h"

#include "history/history_file.h"
#include "history/history_recorder.h"
#include "support/qt_printers.h"
#include "text/text_catalogue.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSqlQuery>

using namespace kv;
using namespace kv::testing;

namespace {

// Waits this long at most for a running watch to print; only a hang reaches it.
constexpr int HangMs = 30000;

class HistoryRecordingCliTest : public CliTest {
protected:
    void SetUp() override { LoadTextCatalogue(); }
    void TearDown() override { textCatalogue().clear(); }

    QString defaultFile() { return path("data/kestvelqor/history.sqlite"); }
    void makeFile(const QString& file) { ASSERT_TRUE(HistoryFile::open(file, true, nullptr)); }

    qint64 count(const QString& file, const QString& statement) {
        auto history = HistoryFile::open(file, false, nullptr);
        if (!history)
            return -1;
        QSqlQuery query(history->db());
        query.exec(statement);
        return query.next() ? query.value(0).toLongLong() : -1;
    }
    QJsonArray events(const QStringList& more = {}) {
        const CliResult result = run(QStringList{"--json", "history", "events"} + more);
        EXPECT_EQ(result.status, 0) << result.err.toStdString();
        return result.json()["events"].toArray();
    }
    static QStringList details(const QJsonArray& events) {
        QStringList list;
        for (const QJsonValue& e : events)
            list << e.toObject()["detail"].toString() + " | " + e.toObject()["origin"].toString();
        return list;
    }
};

} // namespace

TEST_F(HistoryRecordingCliTest, ACommandThatChangesTheBoardAddsItsChangeToAFileThatExists) {
    // No history file: none is made for a command.
    ASSERT_EQ(run({"--simulate", "mode", "auto"}).status, 0);
    EXPECT_FALSE(QFile::exists(defaultFile()));
    const CliResult named = run({"--simulate", "mode", "auto", "--history", path("none.sqlite")});
    EXPECT_EQ(named.status, 0) << "the change is made all the same";
    EXPECT_TRUE(named.err.contains("Keine Verlaufsdatei unter " + path("none.sqlite")))
        << named.err.toStdString();
    EXPECT_FALSE(QFile::exists(path("none.sqlite")));

    makeFile(defaultFile());
    ASSERT_EQ(run({"--simulate", "mode", "manual"}).status, 0);
    ASSERT_EQ(run({"--simulate", "level", "W", "42.5"}).status, 0);
    ASSERT_EQ(run({"--simulate", "schedule", "set", "1", "W=50", "--no-history"}).status, 0);
    EXPECT_EQ(run({"--simulate", "level", "W", "101"}).status, 2) << "refused before the board";
    ASSERT_EQ(run({"--simulate", "cloud"}).status, 0);
    EXPECT_EQ(run({"--simulate", "schedule", "set", "99", "W=5"}).status, 2);
    ASSERT_EQ(run({"--simulate", "mode", "auto"}).status, 0);
    // Refused ones too, with their outcome; the level as the board holds it.
    const QStringList changes = details(events());
    const QStringList expected = {
        "^mode manual: done \\| cli$", "^levels W=1741 .*: done \\| cli$", "^cloud: done \\| cli$",
        "^schedule line 99\\b.*: no_such_line \\| cli$", "^mode auto: done \\| cli$"};
    ASSERT_EQ(changes.size(), expected.size()) << changes.join('\n').toStdString();
    for (qsizetype i = 0; i < changes.size(); ++i)
        EXPECT_TRUE(changes[i].contains(QRegularExpression(expected[i])))
            << changes[i].toStdString();
    for (const QJsonValue& e : events())
        EXPECT_EQ(e.toObject()["kind"].toString(), "change");

    // One line each as text: time, kind, origin, what.
    const QStringList lines = run({"history", "events"}).out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines[4].contains(QRegularExpression(
        "^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d  change     cli      mode auto: done$")))
        << lines[4].toStdString();
    EXPECT_EQ(count(defaultFile(), "SELECT count(*) FROM samples"), 0)
        << "a command records no samples";

    // Into another file by name; the default file is left alone then.
    makeFile(path("other.sqlite"));
    ASSERT_EQ(run({"--simulate", "save", "--history", path("other.sqlite")}).status, 0);
    EXPECT_EQ(details(events({"--history", path("other.sqlite")})),
              QStringList{"save: done | cli"});
    EXPECT_EQ(events().size(), 5);

    // A file that is not a history file stays as it is; the change is made.
    QFile notes(path("notes.sqlite"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("not a database\n");
    notes.close();
    const CliResult foreign = run({"--simulate", "storm", "--history", path("notes.sqlite")});
    EXPECT_EQ(foreign.status, 0);
    EXPECT_TRUE(foreign.err.contains("keine Verlaufsdatei von KestVELQOR"));
    ASSERT_TRUE(notes.open(QIODevice::ReadOnly));
    EXPECT_EQ(notes.readAll(), "not a database\n");

    for (const QStringList& wrong : {QStringList{"status", "--history", path("other.sqlite")},
                                     {"mode", "auto", "--history"},
                                     {"watch", "--no-history"}})
        EXPECT_EQ(run(QStringList{"--simulate"} + wrong).status, 2)
            << wrong.join(' ').toStdString();
}

TEST_F(HistoryRecordingCliTest, WatchRecordsEveryPollOnlyIntoANamedFile) {
    makeFile(defaultFile());
    ASSERT_EQ(run({"--simulate", "watch", "--count", "2", "--interval", "0.1"}).status, 0);
    EXPECT_EQ(count(defaultFile(), "SELECT count(*) FROM samples"), 0) << "not without --history";

    const QString file = path("watch.sqlite");
    const CliResult watch =
        run({"--simulate", "watch", "--history", file, "--count", "3", "--interval", "0.1"});
    ASSERT_EQ(watch.status, 0) << watch.err.toStdString();
    EXPECT_TRUE(watch.err.isEmpty());
    EXPECT_EQ(count(file, "SELECT count(*) FROM samples"), 3);
    EXPECT_EQ(count(file, "SELECT count(*) FROM events WHERE kind = 'connected'"), 1);
    const QJsonArray points =
        run({"--json", "history", "--history", file, "--from", "-1m", "--points", "10000"})
            .json()["points"]
            .toArray();
    EXPECT_EQ(points.size(), 3) << "each poll its own bucket";

    // A file that is not a history file: said once, the watch goes on.
    QFile notes(path("notes.sqlite"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("not a database\n");
    notes.close();
    const CliResult foreign = run({"--simulate", "watch", "--history", path("notes.sqlite"),
                                   "--count", "2", "--interval", "0.1"});
    EXPECT_EQ(foreign.status, 0);
    EXPECT_EQ(foreign.out.count('\n'), 2);
    EXPECT_EQ(foreign.err.count('\n'), 1) << foreign.err.toStdString();
    ASSERT_TRUE(notes.open(QIODevice::ReadOnly));
    EXPECT_EQ(notes.readAll(), "not a database\n");
}

TEST_F(HistoryRecordingCliTest, AWatchKilledLosesAtMostItsLastBatchAndTheFileGoesOn) {
    const QString file = path("killed.sqlite");
    constexpr double IntervalS = 0.2;
    auto watch = start({"--simulate", "--json", "watch", "--history", file, "--interval", "0.2"});
    // Long enough for two batches to be written.
    const QDeadlineTimer deadline(HangMs);
    qint64 written = 0;
    while (written < 2 * HistoryRecorder::FlushMs / 1000 / IntervalS - 5 &&
           !deadline.hasExpired()) {
        watch->waitForReadyRead(500);
        if (QFile::exists(file))
            written = count(file, "SELECT count(*) FROM samples");
    }
    ASSERT_FALSE(deadline.hasExpired()) << watch->readAllStandardError().toStdString();
    watch->kill(); // SIGKILL: nothing is flushed
    ASSERT_TRUE(watch->waitForFinished(HangMs));
    EXPECT_EQ(watch->exitStatus(), QProcess::CrashExit);
    const qsizetype printed = QString::fromUtf8(watch->readAllStandardOutput()).count('\n');

    {
        auto history = HistoryFile::open(file, false, nullptr);
        ASSERT_TRUE(history);
        QSqlQuery check(history->db());
        ASSERT_TRUE(check.exec("PRAGMA integrity_check") && check.next());
        EXPECT_EQ(check.value(0).toString(), "ok");
    }
    const qint64 kept = count(file, "SELECT count(*) FROM samples");
    EXPECT_LE(kept, printed);
    // One batch is the polls of FlushMs, and one that was on its way.
    EXPECT_GE(kept, printed - qint64(HistoryRecorder::FlushMs / 1000 / IntervalS) - 2)
        << "printed " << printed << ", kept " << kept;

    // The next watch takes the lock the killed one left and goes on.
    const CliResult next =
        run({"--simulate", "watch", "--history", file, "--count", "3", "--interval", "0.1"});
    ASSERT_EQ(next.status, 0) << next.err.toStdString();
    EXPECT_TRUE(next.err.isEmpty()) << next.err.toStdString();
    EXPECT_EQ(count(file, "SELECT count(*) FROM samples"), kept + 3);
}
