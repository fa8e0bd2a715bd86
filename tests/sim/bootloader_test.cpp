// The simulated bootloader: device information, blocks and reset request.
#include "sim/simulated_bootloader.h"

#include <gtest/gtest.h>

#include <array>

namespace kv::sim {
namespace {

std::array<std::uint8_t, 132> blockReport(std::uint32_t address, std::uint8_t fill) {
    std::array<std::uint8_t, 132> report{};
    report[0] = 2;
    report[1] = std::uint8_t(address);
    report[2] = std::uint8_t(address >> 8);
    report[3] = std::uint8_t(address >> 16);
    for (std::size_t i = 0; i < 128; ++i)
        report[4 + i] = std::uint8_t(fill + i);
    return report;
}

bool send(SimulatedBootloader& b, const std::array<std::uint8_t, 132>& report) {
    return b.setFeature(report.data(), report.size());
}

TEST(Bootloader, InformationGivesPageAndFlashSize) {
    SimulatedBootloader bootloader(BootloaderKind::Avr328p);
    bootloader.setPageSize(256);
    bootloader.setFlashSize(0x12345);
    std::array<std::uint8_t, 7> report{1};
    ASSERT_TRUE(bootloader.getFeature(report.data(), report.size()));
    EXPECT_EQ(report, (std::array<std::uint8_t, 7>{1, 0x00, 0x01, 0x45, 0x23, 0x01, 0x00}));
    EXPECT_EQ(bootloader.flash().size(), 0x12345u);
}

TEST(Bootloader, SilentBootloaderDoesNotAnswerTheInformationRead) {
    SimulatedBootloader bootloader;
    bootloader.setSilent(true);
    std::array<std::uint8_t, 7> report{1};
    EXPECT_FALSE(bootloader.getFeature(report.data(), report.size()));
    EXPECT_TRUE(send(bootloader, blockReport(0, 0)));
}

TEST(Bootloader, BlocksLandInTheFlashInOrder) {
    SimulatedBootloader bootloader;
    ASSERT_TRUE(send(bootloader, blockReport(0x0080, 10)));
    ASSERT_TRUE(send(bootloader, blockReport(0x0000, 50)));
    ASSERT_EQ(bootloader.blocks().size(), 2u);
    EXPECT_EQ(bootloader.blocks()[0].address, 0x0080u);
    EXPECT_EQ(bootloader.blocks()[1].address, 0x0000u);
    EXPECT_EQ(bootloader.blocks()[0].bytes[5], 15);
    EXPECT_EQ(bootloader.flash()[0x0080 + 5], 15);
    EXPECT_EQ(bootloader.flash()[0x0005], 55);
    EXPECT_EQ(bootloader.flash()[0x0100], 0xFF) << "untouched flash stays erased";
}

TEST(Bootloader, BlocksReachingIntoTheBootloaderAreRefused) {
    SimulatedBootloader bootloader; // 32768 bytes, 30720 usable
    EXPECT_TRUE(send(bootloader, blockReport(30720 - 128, 0)));
    EXPECT_FALSE(send(bootloader, blockReport(30720, 0)));
    EXPECT_FALSE(send(bootloader, blockReport(30720 - 64, 0)));
    EXPECT_FALSE(send(bootloader, blockReport(0xFFFF80, 0)));
    EXPECT_EQ(bootloader.blocks().size(), 1u);
}

TEST(Bootloader, AGivenBlockFailsAsOftenAsAsked) {
    SimulatedBootloader bootloader;
    bootloader.failBlocks(0x0100, 2);
    EXPECT_TRUE(send(bootloader, blockReport(0x0000, 0)));
    EXPECT_FALSE(send(bootloader, blockReport(0x0100, 0)));
    EXPECT_FALSE(send(bootloader, blockReport(0x0100, 0)));
    EXPECT_TRUE(send(bootloader, blockReport(0x0100, 0)));
    EXPECT_EQ(bootloader.blocks().size(), 2u);
    EXPECT_EQ(bootloader.transfers().size(), 4u);
    EXPECT_FALSE(bootloader.transfers()[1].succeeded);
}

TEST(Bootloader, ResetRequestKeepsItsPayload) {
    SimulatedBootloader bootloader;
    const std::array<std::uint8_t, 7> reset{1, 0x80, 0x00, 0x00, 0x80, 0x00, 0x00};
    ASSERT_TRUE(bootloader.setFeature(reset.data(), reset.size()));
    EXPECT_EQ(bootloader.resetRequests(), 1);
    EXPECT_EQ(bootloader.lastResetPayload(),
              (std::vector<std::uint8_t>{0x80, 0x00, 0x00, 0x80, 0x00, 0x00}));
}

TEST(Bootloader, UnknownReportsFail) {
    SimulatedBootloader bootloader;
    std::array<std::uint8_t, 132> report{2};
    EXPECT_FALSE(bootloader.getFeature(report.data(), report.size()));
    EXPECT_FALSE(bootloader.setFeature(report.data(), 131));
    report[0] = 3;
    EXPECT_FALSE(bootloader.setFeature(report.data(), 7));
    EXPECT_EQ(bootloader.resetRequests(), 0);
}

} // namespace
} // namespace kv::sim
