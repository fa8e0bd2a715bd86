// The window's history: recorded by default, into the file of --history, not
// at all with --no-history; shown but not written while another program
// records the board; one log line for a file that cannot be used.
#include "window_test_support.h"

#include "history/history_file.h"
#include "history/history_recorder.h"
#include "recording_reporter.h"
#include "sim/sim_backend.h"
#include "views/history_view.h"
#include "views/picture_box.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace kv::testing {
namespace {

class HistoryWindowTest : public WindowTest {
protected:
    // The lock of a board's recording lives in the runtime folder: one of
    // the test's own.
    void SetUp() override { qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit()); }
    void TearDown() override {
        WindowTest::TearDown();
        qunsetenv("XDG_RUNTIME_DIR");
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    qint64 count(const QString& file, const QString& statement) {
        auto history = HistoryFile::open(file, false, nullptr);
        if (!history)
            return -1;
        QSqlQuery query(history->db());
        query.exec(statement);
        return query.next() ? query.value(0).toLongLong() : -1;
    }
    HistoryView* historyTab() { return qobject_cast<HistoryView*>(window->page("tsHistory")); }
    void showHistoryTab() {
        window->switchToTab(historyTab());
        QApplication::processEvents();
    }

    QTemporaryDir runtime;
    QTemporaryDir dir;
};

TEST_F(HistoryWindowTest, RecordsByDefaultIntoTheDefaultFile) {
    defaultHistoryFile = path("default.sqlite");
    startConnected(0);
    ASSERT_NE(window->historyRecorder(), nullptr);
    EXPECT_EQ(window->historyFile(), defaultHistoryFile);
    EXPECT_TRUE(window->historyRecorder()->recordsSamples());
    for (int i = 0; i < 3; ++i)
        poll();
    window->historyRecorder()->flush();
    EXPECT_GE(count(defaultHistoryFile, "SELECT count(*) FROM samples"), 3);
}

TEST_F(HistoryWindowTest, NoHistoryRecordsNothingAndTheTabSaysSo) {
    defaultHistoryFile = path("default.sqlite");
    startConnected(0, {"--simulate", "--no-history", "/expert"});
    EXPECT_EQ(window->historyRecorder(), nullptr);
    EXPECT_TRUE(window->historyFile().isEmpty());
    EXPECT_TRUE(tabVisible("tsExpert")) << "the old words still work beside it";
    poll();
    EXPECT_FALSE(QFileInfo::exists(defaultHistoryFile));
    showHistoryTab();
    EXPECT_EQ(child<QLabel>("lblHistoryState")->text(),
              "Der Verlauf ist ausgeschaltet, weil das Programm mit --no-history gestartet wurde.");
}

TEST_F(HistoryWindowTest, TheFileOfHistoryRecordsThePollsAndTheTabShowsThem) {
    defaultHistoryFile = path("default.sqlite");
    const QString chosen = path("chosen.sqlite");
    startConnected(0, {"--simulate", "--history", chosen});
    EXPECT_EQ(window->historyFile(), chosen);
    EXPECT_EQ(logLinesEndingWith("Parameter: " + chosen), 1);
    for (int i = 0; i < 5; ++i)
        poll();
    window->menu().mnuModeAuto->trigger();
    window->historyRecorder()->flush();
    EXPECT_GE(count(chosen, "SELECT count(*) FROM samples"), 5);
    EXPECT_EQ(count(chosen, "SELECT count(*) FROM events WHERE kind = 'connected'"), 1);
    EXPECT_EQ(count(chosen, "SELECT count(*) FROM events WHERE kind = 'change' AND origin = "
                            "'window' AND detail LIKE 'mode auto%'"),
              1);
    EXPECT_FALSE(QFileInfo::exists(defaultHistoryFile));

    showHistoryTab();
    EXPECT_TRUE(historyTab()->picture()->isVisible());
    EXPECT_FALSE(historyTab()->shown().points.empty());
}

TEST_F(HistoryWindowTest, WhileAnotherProgramRecordsTheBoardTheWindowShowsButDoesNotWrite) {
    const QString shared = path("shared.sqlite");
    // serve of another process, on a bus of its own with the same board.
    sim::SimBackend otherBus;
    RecordingReporter otherLog;
    BoardService other(otherLog, {{&otherBus, &otherBus}});
    other.scanNow();
    ASSERT_TRUE(other.isConnected());
    HistoryRecorder serve(other, otherLog, shared);
    ASSERT_TRUE(serve.recordsSamples());
    for (int i = 0; i < 4; ++i)
        other.pollNow();
    serve.flush();

    startConnected(0, {"--simulate", "--history", shared});
    ASSERT_TRUE(window->historyRecorder()->hasFile());
    EXPECT_FALSE(window->historyRecorder()->recordsSamples());
    EXPECT_EQ(logLinesEndingWith("Den Verlauf der Platine SIM-0001 zeichnet ein anderes "
                                 "Programm auf"),
              1);
    for (int i = 0; i < 5; ++i)
        poll();
    window->historyRecorder()->flush();
    EXPECT_EQ(count(shared, "SELECT count(*) FROM samples"), 4);

    showHistoryTab();
    EXPECT_TRUE(historyTab()->picture()->isVisible());
    EXPECT_FALSE(historyTab()->shown().points.empty());
}

TEST_F(HistoryWindowTest, AHistoryThatCannotBeUsedIsOneLineAndEverythingElseWorks) {
    QFile blocker(path("plain-file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString unusable = path("plain-file/history.sqlite");
    startConnected(0, {"--simulate", "--history", unusable});
    ASSERT_NE(window->historyRecorder(), nullptr);
    EXPECT_FALSE(window->historyRecorder()->hasFile());
    EXPECT_EQ(logLines().filter("Verlaufsdatei").size(), 1);
    window->menu().mnuModeAuto->trigger();
    EXPECT_TRUE(board().info().inMode(BoardMode::Auto));
    showHistoryTab();
    EXPECT_TRUE(child<QLabel>("lblHistoryState")->text().startsWith("Es gibt noch keinen Verlauf"));
}

TEST_F(HistoryWindowTest, ARelativeFileIsNamedFromTheFolderTheProgramStartedIn) {
    const QString started = QDir::currentPath();
    QDir::setCurrent(dir.path());
    create({"--simulate", "--history", "relative.sqlite"});
    QDir::setCurrent(started);
    EXPECT_EQ(window->historyFile(), QDir(dir.path()).absoluteFilePath("relative.sqlite"));
    EXPECT_TRUE(QFileInfo::exists(path("relative.sqlite")));
}

TEST_F(HistoryWindowTest, AHistoryOptionWithoutItsFileIsLoggedAndTheDefaultKept) {
    defaultHistoryFile = path("default.sqlite");
    create({"--simulate", "--history"});
    EXPECT_EQ(window->historyFile(), defaultHistoryFile);
    EXPECT_EQ(logLines().filter("Parameter --history ohne Datei").size(), 1);
}

} // namespace
} // namespace kv::testing
