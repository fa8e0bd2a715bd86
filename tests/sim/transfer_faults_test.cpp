// Failure injection, latency and the transfer log of the simulated devices.
#include "sim/sim_test_support.h"
#include "sim/simulated_bootloader.h"

#include <gtest/gtest.h>

#include <chrono>

namespace kv::sim {
namespace {

using namespace kv::sim::testing;

TEST(TransferFaults, FailNextCountsReadsAndWrites) {
    SimulatedBoard board;
    board.failNext(2);
    EXPECT_FALSE(readInfo(board));
    EXPECT_FALSE(sendCommand(board, 252));
    EXPECT_TRUE(readInfo(board));
}

TEST(TransferFaults, FailedWritesChangeNothing) {
    SimulatedBoard board;
    const Schedule before = board.schedule();
    ScheduleLine line;
    line.Hour = 5;
    board.failNext(1);
    EXPECT_FALSE(writeLine(board, 0, line));
    EXPECT_EQ(board.schedule(), before);
}

TEST(TransferFaults, FailedLineReadDoesNotUseUpALine) {
    SimulatedBoard board;
    board.failNext(1);
    EXPECT_FALSE(readLine(board));
    EXPECT_EQ(readLine(board)->first, 0);
}

TEST(TransferFaults, EveryTransferIsLoggedWithItsOutcome) {
    SimulatedBoard board;
    board.failNext(1);
    readInfo(board);
    sendCommand(board, 253);
    std::array<std::uint8_t, 5> bogus{9};
    board.getFeature(bogus.data(), bogus.size());

    const auto& log = board.transfers();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_FALSE(log[0].write);
    EXPECT_FALSE(log[0].succeeded);
    EXPECT_EQ(log[0].bytes.size(), 47u);
    EXPECT_TRUE(log[1].write);
    EXPECT_TRUE(log[1].succeeded);
    EXPECT_EQ(log[1].bytes,
              (std::vector<std::uint8_t>{3, 253, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(log[2].succeeded);

    board.clearTransfers();
    board.setRecording(false);
    readInfo(board);
    EXPECT_TRUE(board.transfers().empty());
}

TEST(TransferFaults, ReadsAreLoggedAsAnswered) {
    SimulatedBoard board;
    std::array<std::uint8_t, 60> report{2};
    board.getFeature(report.data(), report.size());
    EXPECT_EQ(board.transfers().back().bytes,
              std::vector<std::uint8_t>(report.begin(), report.end()));
}

TEST(TransferFaults, FailureProbabilityIsRepeatableAndRoughlyRight) {
    auto failures = [](std::uint32_t seed) {
        SimulatedBoard board;
        board.setRecording(false);
        board.setFailureProbability(0.25, seed);
        std::vector<bool> outcome;
        for (int i = 0; i < 2000; ++i)
            outcome.push_back(!readInfo(board));
        return outcome;
    };
    const auto first = failures(7);
    EXPECT_EQ(first, failures(7));
    EXPECT_NE(first, failures(8));
    const auto count = std::count(first.begin(), first.end(), true);
    EXPECT_GT(count, 400);
    EXPECT_LT(count, 600);

    SimulatedBoard never;
    never.setFailureProbability(0.0);
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(readInfo(never));
}

TEST(TransferFaults, LatencyDelaysEachTransfer) {
    SimulatedBootloader bootloader;
    bootloader.setLatency(std::chrono::milliseconds(20));
    std::array<std::uint8_t, 7> report{1};
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(bootloader.getFeature(report.data(), report.size()));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20));
}

} // namespace
} // namespace kv::sim
