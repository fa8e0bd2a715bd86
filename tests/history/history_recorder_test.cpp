#include "board/board_service.h"
#include "history/history_file.h"
#include "history/history_recorder.h"
#include "history/history_store.h"
#include "sim/sim_backend.h"
#include "support/file_size_limit.h"
#include "support/recording_reporter.h"
#include "text/text_catalogue.h"

#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kv;
using namespace kv::testing;

namespace {

constexpr qint64 Start = 1796083200000; // 2026-12-01T00:00:00Z

// A board service on the simulated board and a recorder over it, whose
// clock moves a second with every poll.
class HistoryRecorderTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadTextCatalogue();
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        service.scanNow();
        ASSERT_TRUE(service.isConnected());
    }
    void TearDown() override { qunsetenv("XDG_RUNTIME_DIR"); }

    std::unique_ptr<HistoryRecorder> recorder(const QString& name = "history.sqlite") {
        auto r = std::make_unique<HistoryRecorder>(service, reporter, dir.filePath(name));
        r->setClock([this] { return clock; });
        return r;
    }
    void poll(int times) {
        for (int i = 0; i < times; ++i) {
            clock += 1000;
            service.pollNow();
        }
    }
    qint64 count(const QString& statement) {
        auto file = HistoryFile::open(dir.filePath("history.sqlite"), false, nullptr);
        QSqlQuery query(file->db());
        query.exec(statement);
        return query.next() ? query.value(0).toLongLong() : -1;
    }

    QTemporaryDir dir;
    QTemporaryDir runtime;
    sim::SimBackend sim;
    RecordingReporter reporter;
    BoardService service{reporter, {{&sim, &sim}}};
    qint64 clock = Start;
};

} // namespace

TEST_F(HistoryRecorderTest, EveryPollIsASampleAndEveryChangeAnEvent) {
    auto r = recorder();
    ASSERT_TRUE(r->hasFile());
    ASSERT_TRUE(r->recordsSamples());
    poll(30);
    EXPECT_EQ(r->waitingSamples(), 30u) << "kept in memory until the batch goes";
    ASSERT_TRUE(service.setMode(BoardMode::Geo, Origin{Front::Web, "192.0.2.7"}).ok());
    EXPECT_FALSE(service.setLevel(0, 5000).ok());
    sim.board().failNext(3);
    service.pollNow(); // a poll without an answer is a gap
    r->flush();
    EXPECT_EQ(r->waitingSamples(), 0u);
    EXPECT_EQ(count("SELECT count(*) FROM samples"), 30);
    EXPECT_EQ(count("SELECT count(*) FROM events WHERE kind = 'connected'"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM events WHERE kind = 'change' AND origin = 'web "
                    "192.0.2.7' AND detail = 'mode geo: done'"),
              1);
    EXPECT_EQ(count("SELECT count(*) FROM events WHERE detail LIKE 'levels%: out_of_range'"), 1);

    sim.unplugBoard();
    service.scanNow();
    ASSERT_FALSE(service.isConnected());
    EXPECT_EQ(count("SELECT count(*) FROM events WHERE kind = 'unplugged'"), 1);
    EXPECT_TRUE(reporter.logged.filter("Verlauf").isEmpty()) << "nothing failed";
}

TEST_F(HistoryRecorderTest, OneProcessRecordsABoardAndAnotherTakesOverWhenItEnds) {
    auto first = recorder();
    auto second = recorder();
    EXPECT_TRUE(first->recordsSamples());
    EXPECT_FALSE(second->recordsSamples());
    EXPECT_EQ(reporter.logged.filter("zeichnet ein anderes Programm auf").size(), 1);
    poll(10);
    EXPECT_EQ(second->waitingSamples(), 0u);
    // The second adds the changes it makes itself.
    first.reset();
    second->flush();
    EXPECT_TRUE(second->recordsSamples()) << "the lock is free again";
    poll(5);
    second->flush();
    EXPECT_EQ(count("SELECT count(*) FROM samples"), 15);
}

TEST_F(HistoryRecorderTest, AFullDiskPausesRecordingWithOneLineAndItGoesOnAfterwards) {
    auto r = recorder();
    poll(10);
    r->flush();
    const qint64 size = QFileInfo(dir.filePath("history.sqlite-wal")).size() +
                        QFileInfo(dir.filePath("history.sqlite")).size();
    {
        const FileSizeLimit disk(size);
        poll(2000);
        r->flush();
        r->flush();
    }
    EXPECT_EQ(reporter.logged.filter("Aufzeichnung angehalten").size(), 1);
    EXPECT_EQ(r->waitingSamples(), 2000u) << "nothing was lost meanwhile";
    // Polling went on all the while.
    poll(5);
    r->flush();
    EXPECT_EQ(reporter.logged.filter("Aufzeichnung geht weiter").size(), 1);
    EXPECT_EQ(count("SELECT count(*) FROM samples"), 2015);
}

TEST_F(HistoryRecorderTest, AFileThatIsNotOursGivesNoHistoryAndOneLine) {
    QFile text(dir.filePath("history.sqlite"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a database\n");
    text.close();
    auto r = recorder();
    EXPECT_FALSE(r->hasFile());
    EXPECT_EQ(reporter.logged.filter("keine Verlaufsdatei").size(), 1);
    poll(3);
    r->flush();
    EXPECT_TRUE(service.setMode(BoardMode::Auto).ok()) << "everything else works";
}

TEST_F(HistoryRecorderTest, ACommandRecordsOnlyItsChangesAndNeverTakesTheLock) {
    const QString path = dir.filePath("history.sqlite");
    {
        HistoryRecorder missing(service, reporter, path, HistoryRecorder::Recording::EventsOnly);
        EXPECT_FALSE(missing.hasFile());
        ASSERT_TRUE(service.setMode(BoardMode::Manual).ok());
    }
    EXPECT_FALSE(QFileInfo::exists(path)) << "a command never makes the file";
    ASSERT_TRUE(HistoryFile::open(path, true, nullptr)); // made by a process that records

    auto command = std::make_unique<HistoryRecorder>(service, reporter, path,
                                                     HistoryRecorder::Recording::EventsOnly);
    command->setClock([this] { return clock; });
    ASSERT_TRUE(command->hasFile());
    EXPECT_FALSE(command->recordsSamples());
    // The board's lock stays free for a process that keeps watch, started
    // meanwhile (its own file here: in that process its own service).
    auto watching = recorder("watch.sqlite");
    EXPECT_TRUE(watching->recordsSamples());
    EXPECT_TRUE(reporter.logged.filter("zeichnet ein anderes Programm auf").isEmpty());
    poll(4);
    ASSERT_TRUE(service.setMode(BoardMode::Auto, Origin{Front::CommandLine, {}}).ok());
    sim.unplugBoard();
    service.scanNow();
    command.reset();
    watching.reset();
    EXPECT_EQ(count("SELECT count(*) FROM events WHERE origin = 'cli' AND detail = 'mode auto: "
                    "done'"),
              1);
    EXPECT_EQ(count("SELECT count(*) FROM events"), 1)
        << "no connected or unplugged: the process that records tells those";
    EXPECT_EQ(count("SELECT count(*) FROM samples"), 0);
}
