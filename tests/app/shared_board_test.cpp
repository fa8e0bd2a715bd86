// The window and the command-line tool see one simulated board: what one of
// them set is what the other finds, as with a real board that keeps its
// settings.
#include "window_test_support.h"

#include <QProcess>
#include <QTemporaryDir>

namespace kv::testing {
namespace {

class SharedBoardTest : public WindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        qputenv("KESTVELQOR_SIM_STATE", dir.filePath("board.ini").toLocal8Bit());
    }
    void TearDown() override {
        WindowTest::TearDown();
        qunsetenv("KESTVELQOR_SIM_STATE");
    }

    // Runs kestvelqorctl --simulate with the same state file; its output.
    QString ctl(const QStringList& arguments) {
        QProcess process;
        process.start(QStringLiteral(KESTVELQORCTL), QStringList{"--simulate"} + arguments);
        EXPECT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    void startKeptBoard() {
        create({QStringLiteral("--simulate")}, sim::Simulation::State::Keep);
        showWindow();
        ASSERT_TRUE(QTest::qWaitFor([this] { return window->connected(); }, 5000));
    }

    QTemporaryDir dir;
};

TEST_F(SharedBoardTest, WhatTheWindowSetIsWhatTheCommandLineSees) {
    startKeptBoard();
    QTest::keyClick(window.get(), Qt::Key_F3, Qt::ControlModifier); // Mode: Geo
    ASSERT_TRUE(board().info().inMode(BoardMode::Geo));
    // Saved soon after the change, without closing the window.
    ASSERT_TRUE(QTest::qWaitFor([this] { return !simulation->savePending(); }, 3000));
    EXPECT_TRUE(ctl({"--json", "status"}).contains("\"mode\": \"geo\""));
}

TEST_F(SharedBoardTest, TheWindowStartsWithWhatTheCommandLineSet) {
    ctl({"mode", "manual"});
    startKeptBoard();
    EXPECT_TRUE(service().info().inMode(BoardMode::Manual));
    EXPECT_EQ(currentTabName(), "tsChannels");
}

} // namespace
} // namespace kv::testing
