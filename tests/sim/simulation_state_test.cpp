// The simulated board keeps its settings in its state file, as a real board
// keeps them: saved soon after a write, loaded by the next program.
#include "device/records/info_block.h"
#include "sim/sim_state.h"
#include "sim/simulation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <array>

namespace kv::sim {
namespace {

class SimulationStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        qputenv("KESTVELQOR_SIM_STATE", path().toLocal8Bit());
    }
    void TearDown() override { qunsetenv("KESTVELQOR_SIM_STATE"); }
    QString path() const { return dir.filePath("board.ini"); }

    // Writes report 1 to the board as the program does: the mode changed.
    static void writeMode(Simulation& simulation, BoardMode mode) {
        auto device = simulation.backend().open(simulation.backend().enumerate().front());
        ASSERT_TRUE(device.connection);
        InfoBlock info = simulation.board().info();
        info.setMode(mode);
        std::array<std::uint8_t, 1 + InfoBlock::Size> report{InfoBlock::ReportId};
        const auto payload = info.encode();
        std::copy(payload.begin(), payload.end(), report.begin() + 1);
        report[1 + InfoBlock::MinuteOffset] = InfoBlock::UnsetByte;
        ASSERT_TRUE(device.connection->setFeature(report.data(), report.size()));
    }

    QTemporaryDir dir;
};

TEST_F(SimulationStateTest, AWriteIsSavedWithinASecondAndTheNextProgramSeesIt) {
    {
        Simulation first(Simulation::State::Keep);
        writeMode(first, BoardMode::Geo);
        writeMode(first, BoardMode::Geo); // a burst gives one save
        EXPECT_TRUE(first.savePending());
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(path()); }, 3000));
        EXPECT_FALSE(first.savePending());
    }
    Simulation second(Simulation::State::Keep);
    EXPECT_TRUE(second.board().info().inMode(BoardMode::Geo));
    // Nothing is left beside the file.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"board.ini"});
}

TEST_F(SimulationStateTest, AFreshBoardNeitherLoadsNorSaves) {
    {
        Simulation kept(Simulation::State::Keep);
        writeMode(kept, BoardMode::Manual);
        kept.save();
    }
    Simulation fresh(Simulation::State::Fresh);
    EXPECT_TRUE(fresh.board().info().inMode(BoardMode::Auto)); // the factory default
    const QByteArray before = [&] {
        QFile file(path());
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();
    writeMode(fresh, BoardMode::Geo);
    fresh.save();
    EXPECT_FALSE(fresh.savePending());
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}

TEST_F(SimulationStateTest, AFailedSaveKeepsTheOldFile) {
    Simulation kept(Simulation::State::Keep);
    writeMode(kept, BoardMode::Manual);
    kept.save();
    ASSERT_TRUE(QFileInfo::exists(path()));
    // The temporary file cannot be written: a folder stands in its place.
    const QString temporary =
        path() + QStringLiteral(".%1.tmp").arg(QCoreApplication::applicationPid());
    ASSERT_TRUE(QDir().mkpath(temporary));
    writeMode(kept, BoardMode::Geo);
    EXPECT_FALSE(saveSimulatorState(kept.backend()));
    QDir(temporary).removeRecursively();
    Simulation next(Simulation::State::Keep);
    EXPECT_TRUE(next.board().info().inMode(BoardMode::Manual));
}

} // namespace
} // namespace kv::sim
