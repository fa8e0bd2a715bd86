// How the simulated board hands out and takes schedule lines, and what the
// commands do.
#include "sim/sim_test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace kv::sim {
namespace {

using namespace kv::sim::testing;

class BoardSchedule : public ::testing::Test {
protected:
    void SetUp() override {
        board.setClockSource(clock.source());
        for (std::size_t i = 0; i < board.schedule().size(); ++i)
            board.schedule()[i].Timer = std::int16_t(100 + i); // tells the lines apart
    }
    std::vector<int> indexesOf(int reads) {
        std::vector<int> result;
        for (int i = 0; i < reads; ++i) {
            const auto answer = readLine(board);
            EXPECT_TRUE(answer);
            if (!answer)
                break;
            result.push_back(answer->first);
            if (answer->first >= 0 && answer->first < int(board.schedule().size())) {
                EXPECT_EQ(answer->second, board.schedule()[std::size_t(answer->first)]);
            }
        }
        return result;
    }
    FakeClock clock;
    SimulatedBoard board;
};

TEST_F(BoardSchedule, HandsOutLinesAscendingAndCycles) {
    EXPECT_EQ(indexesOf(10), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 0, 1}));
}

TEST_F(BoardSchedule, ReversedOrder) {
    board.setLinesReversed();
    EXPECT_EQ(indexesOf(9), (std::vector<int>{7, 6, 5, 4, 3, 2, 1, 0, 7}));
}

TEST_F(BoardSchedule, CustomOrderWithDuplicatesAndIndexesTheBoardLacks) {
    board.setLineOrder({2, 2, -1, 8, 100, 0});
    EXPECT_EQ(indexesOf(7), (std::vector<int>{2, 2, -1, 8, 100, 0, 2}));

    board.setLineOrder({5});
    board.schedule().resize(3);
    const auto answer = readLine(board);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->first, 5);
    const auto bytes = answer->second.encode();
    for (auto b : bytes)
        EXPECT_EQ(b, 0xEE) << "a line the board does not have";

    board.setLineOrder({});
    EXPECT_EQ(indexesOf(4), (std::vector<int>{0, 1, 2, 0})) << "back to the default order";
}

TEST_F(BoardSchedule, IndexesGoOutAsTheirLowByte) {
    board.setLineOrder({200});
    EXPECT_EQ(indexesOf(1), (std::vector<int>{-56}));
}

TEST_F(BoardSchedule, EmptyScheduleHandsOutNoLine) {
    board.schedule().clear();
    EXPECT_EQ(indexesOf(2), (std::vector<int>{-1, -1}));
}

TEST_F(BoardSchedule, WritesReplaceExistingLinesOnly) {
    ScheduleLine line;
    line.Hour = 13;
    line.Switch = 0x3F;
    line.Alt = -1234;
    ASSERT_TRUE(writeLine(board, 3, line));
    EXPECT_EQ(board.schedule()[3], line);

    const Schedule before = board.schedule();
    EXPECT_TRUE(writeLine(board, 8, line)) << "accepted on the bus, but no such line";
    EXPECT_TRUE(writeLine(board, 251, line));
    EXPECT_TRUE(writeLine(board, 255, line));
    EXPECT_EQ(board.schedule(), before);
}

TEST_F(BoardSchedule, StormAndCloudCommandsToggleInAutoAndGeo) {
    for (std::uint8_t mode : {1, 2}) {
        SCOPED_TRACE(int(mode));
        board.info().Mode = mode;
        board.info().ActivityFlags = activity::Heater;
        ASSERT_TRUE(sendCommand(board, 252));
        EXPECT_EQ(readInfo(board)->ActivityFlags, activity::Heater | activity::Storm);
        ASSERT_TRUE(sendCommand(board, 253));
        EXPECT_EQ(readInfo(board)->ActivityFlags,
                  activity::Heater | activity::Storm | activity::Cloud);
        ASSERT_TRUE(sendCommand(board, 252));
        ASSERT_TRUE(sendCommand(board, 253));
        EXPECT_EQ(readInfo(board)->ActivityFlags, activity::Heater);
    }
}

TEST_F(BoardSchedule, WeatherCommandsDoNothingInManual) {
    board.info().Mode = 0;
    board.info().ActivityFlags = 0;
    ASSERT_TRUE(sendCommand(board, 252));
    ASSERT_TRUE(sendCommand(board, 253));
    EXPECT_EQ(readInfo(board)->ActivityFlags, 0);
}

TEST_F(BoardSchedule, CommandsAreNeverLineWrites) {
    // With more than 252 lines the codes still act as commands.
    board.schedule().resize(255);
    const Schedule before = board.schedule();
    board.info().Mode = 1;
    ASSERT_TRUE(sendCommand(board, 252));
    EXPECT_EQ(board.schedule(), before);
    EXPECT_TRUE(readInfo(board)->ActivityFlags & activity::Storm);
}

TEST_F(BoardSchedule, SaveCommandShowsTheSavingFlagForAboutASecond) {
    ASSERT_FALSE(readInfo(board)->StateFlags & StateSaving);
    ASSERT_TRUE(sendCommand(board, 254));
    EXPECT_TRUE(readInfo(board)->StateFlags & StateSaving);
    clock.advanceMs(900);
    EXPECT_TRUE(readInfo(board)->StateFlags & StateSaving);
    clock.advanceMs(200);
    EXPECT_FALSE(readInfo(board)->StateFlags & StateSaving);
    EXPECT_EQ(board.saveRequests(), 1);
}

TEST_F(BoardSchedule, CommandObserverSeesEachCommand) {
    std::vector<int> seen;
    board.onCommand = [&](std::uint8_t code) {
        seen.push_back(code);
    };
    sendCommand(board, 254);
    sendCommand(board, 253);
    writeLine(board, 1, ScheduleLine{});
    sendCommand(board, 252);
    EXPECT_EQ(seen, (std::vector<int>{254, 253, 252}));
}

} // namespace
} // namespace kv::sim
