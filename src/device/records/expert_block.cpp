#include "device/records/expert_block.h"

#include "device/records/byte_order.h"

namespace kv {

using le::byteOf;
using le::signedOf;

std::array<std::uint8_t, ExpertBlock::Size> ExpertBlock::encode() const {
    std::array<std::uint8_t, Size> out{};
    std::uint8_t* b = out.data();
    b[0] = FanMode;
    b[1] = JMPMode;
    b[2] = ChartMode;
    b[3] = TWIBitrate;
    b[4] = FanOff;
    b[5] = LCDBLNight;
    b[6] = ChartScale;
    b[7] = ChartInterval;
    b[8] = byteOf(TempOffset);
    b[9] = byteOf(BalanceSumRamp);
    le::putS16(b, 10, TempWaterLow);
    le::putS16(b, 12, TempWaterHigh);
    le::putS16(b, 14, TempJMPLow);
    le::putS16(b, 16, TempJMPHigh);
    le::putS16(b, 18, CloudTempWater);
    le::putU16(b, 20, CloudStep);
    le::putU16(b, 22, StormStep);
    le::putU16(b, 24, LightningP);
    b[26] = CloudAlpha;
    b[27] = StormAlpha;
    b[28] = BalanceSum;
    for (std::size_t i = 0; i < 4; ++i) {
        le::putS16(b, 29 + 2 * i, MoonColor[i]);
        b[37 + i] = LightningMask[i];
        b[41 + i] = WeatherDelay[i];
    }
    le::putS16(b, 45, Lat);
    le::putS16(b, 47, Lon);
    b[49] = byteOf(StandardMonth);
    b[50] = byteOf(StandardDay);
    b[51] = byteOf(StandardHour);
    b[52] = byteOf(StandardDayOfWeek);
    b[53] = byteOf(DaylightMonth);
    b[54] = byteOf(DaylightDay);
    b[55] = byteOf(DaylightHour);
    b[56] = byteOf(DaylightDayOfWeek);
    le::putS16(b, 57, Bias);
    return out;
}

ExpertBlock ExpertBlock::decode(const std::uint8_t* b) {
    ExpertBlock r;
    r.FanMode = b[0];
    r.JMPMode = b[1];
    r.ChartMode = b[2];
    r.TWIBitrate = b[3];
    r.FanOff = b[4];
    r.LCDBLNight = b[5];
    r.ChartScale = b[6];
    r.ChartInterval = b[7];
    r.TempOffset = signedOf(b[8]);
    r.BalanceSumRamp = signedOf(b[9]);
    r.TempWaterLow = le::getS16(b, 10);
    r.TempWaterHigh = le::getS16(b, 12);
    r.TempJMPLow = le::getS16(b, 14);
    r.TempJMPHigh = le::getS16(b, 16);
    r.CloudTempWater = le::getS16(b, 18);
    r.CloudStep = le::getU16(b, 20);
    r.StormStep = le::getU16(b, 22);
    r.LightningP = le::getU16(b, 24);
    r.CloudAlpha = b[26];
    r.StormAlpha = b[27];
    r.BalanceSum = b[28];
    for (std::size_t i = 0; i < 4; ++i) {
        r.MoonColor[i] = le::getS16(b, 29 + 2 * i);
        r.LightningMask[i] = b[37 + i];
        r.WeatherDelay[i] = b[41 + i];
    }
    r.Lat = le::getS16(b, 45);
    r.Lon = le::getS16(b, 47);
    r.StandardMonth = signedOf(b[49]);
    r.StandardDay = signedOf(b[50]);
    r.StandardHour = signedOf(b[51]);
    r.StandardDayOfWeek = signedOf(b[52]);
    r.DaylightMonth = signedOf(b[53]);
    r.DaylightDay = signedOf(b[54]);
    r.DaylightHour = signedOf(b[55]);
    r.DaylightDayOfWeek = signedOf(b[56]);
    r.Bias = le::getS16(b, 57);
    return r;
}

} // namespace kv
