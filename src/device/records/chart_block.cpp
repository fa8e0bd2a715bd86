#include "device/records/chart_block.h"

#include "device/records/byte_order.h"
#include "device/records/info_block.h"

namespace kv {

std::array<std::uint8_t, ChartBlock::Size> ChartBlock::encode() const {
    std::array<std::uint8_t, Size> out{};
    for (std::size_t i = 0; i < Samples; ++i)
        le::putS16(out.data(), 2 * i, Sample[i]);
    return out;
}

ChartBlock ChartBlock::decode(const std::uint8_t* bytes) {
    ChartBlock r;
    for (std::size_t i = 0; i < Samples; ++i)
        r.Sample[i] = le::getS16(bytes, 2 * i);
    return r;
}

ChartBlock ChartBlock::empty() {
    ChartBlock r;
    r.Sample.fill(NoValue);
    return r;
}

} // namespace kv
