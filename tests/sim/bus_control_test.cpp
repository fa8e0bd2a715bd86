// The control file of the simulated bus: what it says, and what it changes.
#include "device/records/info_block.h"
#include "sim/bus_control.h"
#include "sim/sim_backend.h"
#include "sim/simulation.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace kv::sim {
namespace {

using Device = BusControl::Device;

TEST(BusControl, ReadsItsStatementsAndSkipsTheRest) {
    const BusControl control =
        parseBusControl("# comment\n"
                        "\n"
                        "  unplugged SIM-0002 SIM-0003  \n"
                        "device \"Other Maker\" \"USB \\\"Mouse\\\"\" \"M 1\"\n"
                        "device \"Kest Lighting\"\n"
                        "device \"Kest Lighting\" \"0\" \"\"\n"
                        "device\n"
                        "device a b c d\n"
                        "plugged SIM-0001\n"
                        "unplug\n");
    EXPECT_FALSE(control.allUnplugged);
    EXPECT_EQ(control.unplugged, (QStringList{"SIM-0002", "SIM-0003"}));
    EXPECT_FALSE(control.isUnplugged("SIM-0001"));
    EXPECT_TRUE(control.isUnplugged("SIM-0003"));
    ASSERT_EQ(control.devices.size(), 3u);
    EXPECT_EQ(control.devices[0], (Device{"Other Maker", "USB \"Mouse\"", "M 1"}));
    EXPECT_EQ(control.devices[1], (Device{"Kest Lighting", std::nullopt, std::nullopt}));
    EXPECT_EQ(control.devices[2], (Device{"Kest Lighting", "0", ""}));

    const BusControl all = parseBusControl("unplugged\n");
    EXPECT_TRUE(all.isUnplugged("SIM-0001"));
    EXPECT_TRUE(all.isUnplugged("anything"));
    EXPECT_EQ(parseBusControl(""), BusControl());
}

TEST(BusControl, SetsTheMeasurementsOfEveryBoard) {
    const BusControl set = parseBusControl("temperature 29.5\nvoltage 11.2\n");
    EXPECT_EQ(set.waterTemp, std::int16_t(295));
    EXPECT_EQ(set.inputVoltage, std::int16_t(1120));
    const BusControl none = parseBusControl("temperature none\nvoltage none\n");
    EXPECT_EQ(none.waterTemp, NoValue);
    EXPECT_EQ(none.inputVoltage, NoValue);
    // Words that are no measurement leave it unset.
    const BusControl wrong = parseBusControl("temperature hot\ntemperature 200\n"
                                             "voltage -1\nvoltage 12 13\n");
    EXPECT_FALSE(wrong.waterTemp);
    EXPECT_FALSE(wrong.inputVoltage);

    SimBackend backend;
    backend.addBoard();
    applyBusControl(backend, BusControl(), set);
    for (int index = 0; index < 2; ++index) {
        EXPECT_EQ(backend.board(index).info().WaterTemp, 295);
        EXPECT_EQ(backend.board(index).info().InputVoltage, 1120);
    }
    applyBusControl(backend, set, none);
    EXPECT_EQ(backend.board(1).info().WaterTemp, NoValue);
    EXPECT_EQ(backend.board(1).info().InputVoltage, NoValue);
    // A line taken away keeps the value last set.
    applyBusControl(backend, none, BusControl());
    EXPECT_EQ(backend.board(0).info().WaterTemp, NoValue);
    QCoreApplication::processEvents();
}

TEST(BusControl, ChangesOnlyWhatTheControlChanged) {
    SimBackend backend;
    backend.addBoard();
    const BusControl none;
    const BusControl second = parseBusControl("unplugged SIM-0002\ndevice \"X\" \"Y\"\n");
    applyBusControl(backend, none, second);
    EXPECT_TRUE(backend.boardPlugged(0));
    EXPECT_FALSE(backend.boardPlugged(1));
    ASSERT_EQ(backend.enumerate().size(), 2u);
    EXPECT_EQ(backend.enumerate()[1].manufacturer, QStringLiteral("X"));

    // A board the program took off the bus (into its bootloader) is not
    // brought back by a change that does not concern it.
    backend.unplugBoard(0);
    const BusControl moreDevices = parseBusControl("unplugged SIM-0002\ndevice \"X\" \"Y\"\n"
                                                   "device \"Z\"\n");
    applyBusControl(backend, second, moreDevices);
    EXPECT_FALSE(backend.boardPlugged(0));
    EXPECT_EQ(backend.enumerate().size(), 2u);

    applyBusControl(backend, moreDevices, none);
    EXPECT_TRUE(backend.boardPlugged(1));
    EXPECT_FALSE(backend.boardPlugged(0));
    EXPECT_EQ(backend.enumerate().size(), 1u);
    QCoreApplication::processEvents();
}

class SimulationEnvironment : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        qputenv("KESTVELQOR_SIM_STATE", dir.filePath("board.ini").toLocal8Bit());
    }
    void TearDown() override {
        for (const char* name :
             {"KESTVELQOR_SIM_STATE", "KESTVELQOR_SIM_BOARDS", "KESTVELQOR_SIM_CONTROL"})
            qunsetenv(name);
    }
    QTemporaryDir dir;
};

TEST_F(SimulationEnvironment, EveryBoardKeepsItsOwnSettings) {
    qputenv("KESTVELQOR_SIM_BOARDS", "3");
    {
        Simulation three(Simulation::State::Keep);
        ASSERT_EQ(three.boardCount(), 3);
        for (int i = 0; i < 3; ++i)
            three.board(i).info().FanLow = std::uint8_t(10 + i);
        three.save();
    }
    // A run with one board leaves the others' settings in the file.
    qputenv("KESTVELQOR_SIM_BOARDS", "1");
    {
        Simulation one(Simulation::State::Keep);
        ASSERT_EQ(one.boardCount(), 1);
        EXPECT_EQ(one.board().info().FanLow, 10);
        one.board().info().FanLow = 20;
        one.save();
    }
    qputenv("KESTVELQOR_SIM_BOARDS", "2");
    Simulation two(Simulation::State::Keep);
    EXPECT_EQ(two.board(0).info().FanLow, 20);
    EXPECT_EQ(two.board(1).info().FanLow, 11);

    for (const char* wrong : {"0", "many", "-2"}) {
        qputenv("KESTVELQOR_SIM_BOARDS", wrong);
        EXPECT_EQ(Simulation(Simulation::State::Keep).boardCount(), 1) << wrong;
    }
    qputenv("KESTVELQOR_SIM_BOARDS", "1000");
    EXPECT_EQ(Simulation(Simulation::State::Keep).boardCount(), Simulation::MaxBoards);
    EXPECT_EQ(Simulation(Simulation::State::Fresh).boardCount(), 1) << "tests get one board";
}

TEST_F(SimulationEnvironment, TheControlFileIsFollowedWhileTheProgramRuns) {
    const QString control = dir.filePath("control");
    qputenv("KESTVELQOR_SIM_CONTROL", control.toLocal8Bit());
    auto write = [&](const QByteArray& text) {
        QFile file(control);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    };
    write("unplugged\n");
    Simulation simulation(Simulation::State::Keep);
    EXPECT_FALSE(simulation.backend().boardPlugged()) << "as the file says from the start";

    write("device \"Other Maker\" \"Mouse\"\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return simulation.backend().boardPlugged(); }, 10000));
    EXPECT_EQ(simulation.backend().enumerate().size(), 2u);
    QFile::remove(control);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return simulation.backend().enumerate().size() == 1; }, 10000));
}

} // namespace
} // namespace kv::sim
