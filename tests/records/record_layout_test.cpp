// Byte layout of the four records: every field sits at its offset with its
// width, the fields tile each record without gaps or overlaps, and any byte
// image survives decode and encode unchanged.
#include "device/records/chart_block.h"
#include "device/records/expert_block.h"
#include "device/records/info_block.h"
#include "device/records/schedule_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

namespace kv {
namespace {

template <typename Record> struct FieldCase {
    std::string name;
    std::size_t offset;
    std::size_t width;
    void (*set)(Record&, std::uint32_t);
    std::uint32_t (*get)(const Record&);
};

// A field (or array element) of a record, set and read back through its own
// type so that signed fields take the same bit pattern as the wire.
#define KV_FIELD(Record, member, offset, width)                                                    \
    FieldCase<Record> {                                                                            \
#member, offset, width, [](Record & r, std::uint32_t v) {                                  \
            r.member = static_cast<std::remove_cvref_t<decltype(r.member)>>(v);                    \
        }, [](const Record& r) {                                                                   \
            using T = std::remove_cvref_t<decltype(r.member)>;                                     \
            return static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<T>>(r.member));     \
        }                                                                                          \
    }

std::vector<FieldCase<InfoBlock>> infoFields() {
    return {
        KV_FIELD(InfoBlock, FirmwareVersion, 0, 1),
        KV_FIELD(InfoBlock, LineCount, 1, 1),
        KV_FIELD(InfoBlock, ActivityFlags, 2, 1),
        KV_FIELD(InfoBlock, ErrorFlags, 3, 1),
        KV_FIELD(InfoBlock, StateFlags, 4, 1),
        KV_FIELD(InfoBlock, CurrentLine, 5, 1),
        KV_FIELD(InfoBlock, Hundredths, 6, 1),
        KV_FIELD(InfoBlock, Second, 7, 1),
        KV_FIELD(InfoBlock, Minute, 8, 1),
        KV_FIELD(InfoBlock, Hour, 9, 1),
        KV_FIELD(InfoBlock, Day, 10, 1),
        KV_FIELD(InfoBlock, Month, 11, 1),
        KV_FIELD(InfoBlock, Year, 12, 1),
        KV_FIELD(InfoBlock, Reserved13, 13, 1),
        KV_FIELD(InfoBlock, Level[0], 14, 2),
        KV_FIELD(InfoBlock, Level[1], 16, 2),
        KV_FIELD(InfoBlock, Level[2], 18, 2),
        KV_FIELD(InfoBlock, Level[3], 20, 2),
        KV_FIELD(InfoBlock, Reserved22, 22, 2),
        KV_FIELD(InfoBlock, WaterTemp, 24, 2),
        KV_FIELD(InfoBlock, InputVoltage, 26, 2),
        KV_FIELD(InfoBlock, Mode, 28, 1),
        KV_FIELD(InfoBlock, FanLow, 29, 1),
        KV_FIELD(InfoBlock, FanHigh, 30, 1),
        KV_FIELD(InfoBlock, LCDBLMin, 31, 1),
        KV_FIELD(InfoBlock, LCDBLMax, 32, 1),
        KV_FIELD(InfoBlock, TimeLapse, 33, 1),
        KV_FIELD(InfoBlock, ColorName[0], 34, 1),
        KV_FIELD(InfoBlock, ColorName[1], 35, 1),
        KV_FIELD(InfoBlock, ColorName[2], 36, 1),
        KV_FIELD(InfoBlock, ColorName[3], 37, 1),
        KV_FIELD(InfoBlock, CloudP, 38, 2),
        KV_FIELD(InfoBlock, CloudD, 40, 2),
        KV_FIELD(InfoBlock, StormP, 42, 2),
        KV_FIELD(InfoBlock, StormD, 44, 2),
    };
}

std::vector<FieldCase<ExpertBlock>> expertFields() {
    return {
        KV_FIELD(ExpertBlock, FanMode, 0, 1),
        KV_FIELD(ExpertBlock, JMPMode, 1, 1),
        KV_FIELD(ExpertBlock, ChartMode, 2, 1),
        KV_FIELD(ExpertBlock, TWIBitrate, 3, 1),
        KV_FIELD(ExpertBlock, FanOff, 4, 1),
        KV_FIELD(ExpertBlock, LCDBLNight, 5, 1),
        KV_FIELD(ExpertBlock, ChartScale, 6, 1),
        KV_FIELD(ExpertBlock, ChartInterval, 7, 1),
        KV_FIELD(ExpertBlock, TempOffset, 8, 1),
        KV_FIELD(ExpertBlock, BalanceSumRamp, 9, 1),
        KV_FIELD(ExpertBlock, TempWaterLow, 10, 2),
        KV_FIELD(ExpertBlock, TempWaterHigh, 12, 2),
        KV_FIELD(ExpertBlock, TempJMPLow, 14, 2),
        KV_FIELD(ExpertBlock, TempJMPHigh, 16, 2),
        KV_FIELD(ExpertBlock, CloudTempWater, 18, 2),
        KV_FIELD(ExpertBlock, CloudStep, 20, 2),
        KV_FIELD(ExpertBlock, StormStep, 22, 2),
        KV_FIELD(ExpertBlock, LightningP, 24, 2),
        KV_FIELD(ExpertBlock, CloudAlpha, 26, 1),
        KV_FIELD(ExpertBlock, StormAlpha, 27, 1),
        KV_FIELD(ExpertBlock, BalanceSum, 28, 1),
        KV_FIELD(ExpertBlock, MoonColor[0], 29, 2),
        KV_FIELD(ExpertBlock, MoonColor[1], 31, 2),
        KV_FIELD(ExpertBlock, MoonColor[2], 33, 2),
        KV_FIELD(ExpertBlock, MoonColor[3], 35, 2),
        KV_FIELD(ExpertBlock, LightningMask[0], 37, 1),
        KV_FIELD(ExpertBlock, LightningMask[1], 38, 1),
        KV_FIELD(ExpertBlock, LightningMask[2], 39, 1),
        KV_FIELD(ExpertBlock, LightningMask[3], 40, 1),
        KV_FIELD(ExpertBlock, WeatherDelay[0], 41, 1),
        KV_FIELD(ExpertBlock, WeatherDelay[1], 42, 1),
        KV_FIELD(ExpertBlock, WeatherDelay[2], 43, 1),
        KV_FIELD(ExpertBlock, WeatherDelay[3], 44, 1),
        KV_FIELD(ExpertBlock, Lat, 45, 2),
        KV_FIELD(ExpertBlock, Lon, 47, 2),
        KV_FIELD(ExpertBlock, StandardMonth, 49, 1),
        KV_FIELD(ExpertBlock, StandardDay, 50, 1),
        KV_FIELD(ExpertBlock, StandardHour, 51, 1),
        KV_FIELD(ExpertBlock, StandardDayOfWeek, 52, 1),
        KV_FIELD(ExpertBlock, DaylightMonth, 53, 1),
        KV_FIELD(ExpertBlock, DaylightDay, 54, 1),
        KV_FIELD(ExpertBlock, DaylightHour, 55, 1),
        KV_FIELD(ExpertBlock, DaylightDayOfWeek, 56, 1),
        KV_FIELD(ExpertBlock, Bias, 57, 2),
    };
}

std::vector<FieldCase<ScheduleLine>> lineFields() {
    return {
        KV_FIELD(ScheduleLine, Hour, 0, 1),        KV_FIELD(ScheduleLine, Minute, 1, 1),
        KV_FIELD(ScheduleLine, Alt, 2, 2),         KV_FIELD(ScheduleLine, Color16[0], 4, 2),
        KV_FIELD(ScheduleLine, Color16[1], 6, 2),  KV_FIELD(ScheduleLine, Color16[2], 8, 2),
        KV_FIELD(ScheduleLine, Color16[3], 10, 2), KV_FIELD(ScheduleLine, Timer, 12, 2),
        KV_FIELD(ScheduleLine, Switch, 14, 1),
    };
}

// Distinctive values whose bytes differ from each other and from zero, with
// the top bit set so that signed fields are exercised as negative numbers.
constexpr std::uint32_t Value8 = 0xA5;
constexpr std::uint32_t Value16 = 0xC35A;

// Sets each field alone on a zero record and checks that exactly its bytes
// change, little-endian, and that decoding gives the field back.
template <typename Record> void checkFieldLayout(const std::vector<FieldCase<Record>>& cases) {
    std::vector<int> owner(Record::Size, -1);
    for (std::size_t c = 0; c < cases.size(); ++c) {
        const auto& field = cases[c];
        SCOPED_TRACE(field.name);
        ASSERT_TRUE(field.width == 1 || field.width == 2);
        ASSERT_LE(field.offset + field.width, Record::Size);
        for (std::size_t i = 0; i < field.width; ++i) {
            EXPECT_EQ(owner[field.offset + i], -1) << "byte " << field.offset + i << " shared";
            owner[field.offset + i] = int(c);
        }

        const std::uint32_t value = field.width == 1 ? Value8 : Value16;
        Record record{};
        field.set(record, value);
        const auto bytes = record.encode();

        std::array<std::uint8_t, Record::Size> expected{};
        expected[field.offset] = std::uint8_t(value & 0xFF);
        if (field.width == 2)
            expected[field.offset + 1] = std::uint8_t(value >> 8);
        EXPECT_EQ(bytes, expected);

        const Record decoded = Record::decode(bytes.data());
        EXPECT_EQ(field.get(decoded), value);
        EXPECT_EQ(decoded, record);
    }
    for (std::size_t i = 0; i < Record::Size; ++i)
        EXPECT_NE(owner[i], -1) << "byte " << i << " belongs to no field";
}

TEST(RecordLayout, InfoBlockFieldsSitAtTheirOffsets) {
    checkFieldLayout(infoFields());
}

TEST(RecordLayout, ExpertBlockFieldsSitAtTheirOffsets) {
    checkFieldLayout(expertFields());
}

TEST(RecordLayout, ScheduleLineFieldsSitAtTheirOffsets) {
    checkFieldLayout(lineFields());
}

TEST(RecordLayout, ChartBlockSamplesSitAtTheirOffsets) {
    // Each sample n is the 16-bit entry at 2n; entry 0 is the newest.
    for (std::size_t n = 0; n < ChartBlock::Samples; ++n) {
        SCOPED_TRACE(n);
        ChartBlock chart{};
        chart.Sample[n] = static_cast<std::int16_t>(Value16);
        const auto bytes = chart.encode();
        std::array<std::uint8_t, ChartBlock::Size> expected{};
        expected[2 * n] = std::uint8_t(Value16 & 0xFF);
        expected[2 * n + 1] = std::uint8_t(Value16 >> 8);
        EXPECT_EQ(bytes, expected);
        EXPECT_EQ(ChartBlock::decode(bytes.data()), chart);
    }
}

TEST(RecordLayout, EmptyChartHoldsNoValueEverywhere) {
    const auto chart = ChartBlock::empty();
    for (auto sample : chart.Sample)
        EXPECT_EQ(sample, NoValue);
    const auto bytes = chart.encode();
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0x7F);
}

template <typename Record> void checkRandomRoundTrip(std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int run = 0; run < 500; ++run) {
        std::array<std::uint8_t, Record::Size> bytes{};
        for (auto& b : bytes)
            b = std::uint8_t(byte(random));
        const Record record = Record::decode(bytes.data());
        ASSERT_EQ(record.encode(), bytes) << "run " << run;
        ASSERT_EQ(Record::decode(record.encode().data()), record);
    }
}

TEST(RecordLayout, AnyByteImageRoundTrips) {
    checkRandomRoundTrip<InfoBlock>(1);
    checkRandomRoundTrip<ExpertBlock>(2);
    checkRandomRoundTrip<ScheduleLine>(3);
    checkRandomRoundTrip<ChartBlock>(4);
}

TEST(RecordLayout, BoardDateDecodes) {
    std::array<std::uint8_t, InfoBlock::Size> bytes{};
    bytes[10] = 29;
    bytes[11] = 2;
    bytes[12] = 24;
    const auto info = InfoBlock::decode(bytes.data());
    EXPECT_EQ(info.Day, 29);
    EXPECT_EQ(info.Month, 2);
    EXPECT_EQ(info.Year, 24);
}

} // namespace
} // namespace kv
