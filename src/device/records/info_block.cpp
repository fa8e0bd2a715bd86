#include "device/records/info_block.h"

#include "common/rounding.h"
#include "device/records/byte_order.h"

namespace kv {

using le::byteOf;
using le::signedOf;

std::array<std::uint8_t, InfoBlock::Size> InfoBlock::encode() const {
    std::array<std::uint8_t, Size> out{};
    std::uint8_t* b = out.data();
    b[0] = FirmwareVersion;
    b[1] = LineCount;
    b[2] = ActivityFlags;
    b[3] = ErrorFlags;
    b[4] = StateFlags;
    b[5] = byteOf(CurrentLine);
    b[6] = Hundredths;
    b[7] = byteOf(Second);
    b[8] = byteOf(Minute);
    b[9] = byteOf(Hour);
    b[10] = byteOf(Day);
    b[11] = byteOf(Month);
    b[12] = byteOf(Year);
    b[13] = Reserved13;
    for (std::size_t i = 0; i < Level.size(); ++i)
        le::putS16(b, 14 + 2 * i, Level[i]);
    le::putS16(b, 22, Reserved22);
    le::putS16(b, 24, WaterTemp);
    le::putS16(b, 26, InputVoltage);
    b[28] = Mode;
    b[29] = FanLow;
    b[30] = FanHigh;
    b[31] = LCDBLMin;
    b[32] = LCDBLMax;
    b[33] = TimeLapse;
    for (std::size_t i = 0; i < ColorName.size(); ++i)
        b[34 + i] = ColorName[i];
    le::putU16(b, 38, CloudP);
    le::putU16(b, 40, CloudD);
    le::putU16(b, 42, StormP);
    le::putU16(b, 44, StormD);
    return out;
}

InfoBlock InfoBlock::decode(const std::uint8_t* b) {
    InfoBlock r;
    r.FirmwareVersion = b[0];
    r.LineCount = b[1];
    r.ActivityFlags = b[2];
    r.ErrorFlags = b[3];
    r.StateFlags = b[4];
    r.CurrentLine = signedOf(b[5]);
    r.Hundredths = b[6];
    r.Second = signedOf(b[7]);
    r.Minute = signedOf(b[8]);
    r.Hour = signedOf(b[9]);
    r.Day = signedOf(b[10]);
    r.Month = signedOf(b[11]);
    r.Year = signedOf(b[12]);
    r.Reserved13 = b[13];
    for (std::size_t i = 0; i < r.Level.size(); ++i)
        r.Level[i] = le::getS16(b, 14 + 2 * i);
    r.Reserved22 = le::getS16(b, 22);
    r.WaterTemp = le::getS16(b, 24);
    r.InputVoltage = le::getS16(b, 26);
    r.Mode = b[28];
    r.FanLow = b[29];
    r.FanHigh = b[30];
    r.LCDBLMin = b[31];
    r.LCDBLMax = b[32];
    r.TimeLapse = b[33];
    for (std::size_t i = 0; i < r.ColorName.size(); ++i)
        r.ColorName[i] = b[34 + i];
    r.CloudP = le::getU16(b, 38);
    r.CloudD = le::getU16(b, 40);
    r.StormP = le::getU16(b, 42);
    r.StormD = le::getU16(b, 44);
    return r;
}

double levelToPercent(int level) {
    return level / 40.96;
}

std::int64_t percentToLevel(double percent) {
    return roundHalfEven(percent * 40.96);
}

} // namespace kv
