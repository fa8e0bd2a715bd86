#pragma once

#include "device/records/chart_block.h"
#include "device/records/expert_block.h"
#include "device/records/info_block.h"
#include "device/records/schedule_line.h"

#include <array>
#include <cstdint>
#include <vector>

// Every field of every record by its name, in layout order, for listings
// (the command-line dump). The visitor is called as visit(name, value) for a
// number and visit(name, values) for an array field (values as std::vector of
// long long).
namespace kv::fields {

namespace detail {
template <typename T, std::size_t N> std::vector<long long> values(const std::array<T, N>& array) {
    return std::vector<long long>(array.begin(), array.end());
}
} // namespace detail

template <typename Visitor> void visit(const InfoBlock& r, Visitor&& v) {
    v("FirmwareVersion", (long long)r.FirmwareVersion);
    v("LineCount", (long long)r.LineCount);
    v("ActivityFlags", (long long)r.ActivityFlags);
    v("ErrorFlags", (long long)r.ErrorFlags);
    v("StateFlags", (long long)r.StateFlags);
    v("CurrentLine", (long long)r.CurrentLine);
    v("Hundredths", (long long)r.Hundredths);
    v("Second", (long long)r.Second);
    v("Minute", (long long)r.Minute);
    v("Hour", (long long)r.Hour);
    v("Day", (long long)r.Day);
    v("Month", (long long)r.Month);
    v("Year", (long long)r.Year);
    v("Reserved13", (long long)r.Reserved13);
    v("Level", detail::values(r.Level));
    v("Reserved22", (long long)r.Reserved22);
    v("WaterTemp", (long long)r.WaterTemp);
    v("InputVoltage", (long long)r.InputVoltage);
    v("Mode", (long long)r.Mode);
    v("FanLow", (long long)r.FanLow);
    v("FanHigh", (long long)r.FanHigh);
    v("LCDBLMin", (long long)r.LCDBLMin);
    v("LCDBLMax", (long long)r.LCDBLMax);
    v("TimeLapse", (long long)r.TimeLapse);
    v("ColorName", detail::values(r.ColorName));
    v("CloudP", (long long)r.CloudP);
    v("CloudD", (long long)r.CloudD);
    v("StormP", (long long)r.StormP);
    v("StormD", (long long)r.StormD);
}

template <typename Visitor> void visit(const ExpertBlock& r, Visitor&& v) {
    v("FanMode", (long long)r.FanMode);
    v("JMPMode", (long long)r.JMPMode);
    v("ChartMode", (long long)r.ChartMode);
    v("TWIBitrate", (long long)r.TWIBitrate);
    v("FanOff", (long long)r.FanOff);
    v("LCDBLNight", (long long)r.LCDBLNight);
    v("ChartScale", (long long)r.ChartScale);
    v("ChartInterval", (long long)r.ChartInterval);
    v("TempOffset", (long long)r.TempOffset);
    v("BalanceSumRamp", (long long)r.BalanceSumRamp);
    v("TempWaterLow", (long long)r.TempWaterLow);
    v("TempWaterHigh", (long long)r.TempWaterHigh);
    v("TempJMPLow", (long long)r.TempJMPLow);
    v("TempJMPHigh", (long long)r.TempJMPHigh);
    v("CloudTempWater", (long long)r.CloudTempWater);
    v("CloudStep", (long long)r.CloudStep);
    v("StormStep", (long long)r.StormStep);
    v("LightningP", (long long)r.LightningP);
    v("CloudAlpha", (long long)r.CloudAlpha);
    v("StormAlpha", (long long)r.StormAlpha);
    v("BalanceSum", (long long)r.BalanceSum);
    v("MoonColor", detail::values(r.MoonColor));
    v("LightningMask", detail::values(r.LightningMask));
    v("WeatherDelay", detail::values(r.WeatherDelay));
    v("Lat", (long long)r.Lat);
    v("Lon", (long long)r.Lon);
    v("StandardMonth", (long long)r.StandardMonth);
    v("StandardDay", (long long)r.StandardDay);
    v("StandardHour", (long long)r.StandardHour);
    v("StandardDayOfWeek", (long long)r.StandardDayOfWeek);
    v("DaylightMonth", (long long)r.DaylightMonth);
    v("DaylightDay", (long long)r.DaylightDay);
    v("DaylightHour", (long long)r.DaylightHour);
    v("DaylightDayOfWeek", (long long)r.DaylightDayOfWeek);
    v("Bias", (long long)r.Bias);
}

template <typename Visitor> void visit(const ScheduleLine& r, Visitor&& v) {
    v("Hour", (long long)r.Hour);
    v("Minute", (long long)r.Minute);
    v("Alt", (long long)r.Alt);
    v("Color16", detail::values(r.Color16));
    v("Timer", (long long)r.Timer);
    v("Switch", (long long)r.Switch);
}

template <typename Visitor> void visit(const ChartBlock& r, Visitor&& v) {
    v("Sample", detail::values(r.Sample));
}

} // namespace kv::fields
