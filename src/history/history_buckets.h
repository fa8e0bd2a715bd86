#pragma once

#include "device/records/info_block.h"

#include <QByteArray>

#include <array>
#include <optional>

namespace kv {

// How many values a number had in a bucket, and their least, greatest and
// sum: means follow as sum over count, and buckets add up exactly.
struct NumberSums {
    qint64 count = 0;
    qint64 min = 0;
    qint64 max = 0;
    qint64 sum = 0;

    void add(qint64 value);
    void add(const NumberSums& other);
    bool operator==(const NumberSums&) const = default;
};

// A minute's or an hour's samples summed up: the numbers as the board gives
// them (water 0.1 °C, voltage 0.01 V, levels 0..4096), the last mode, and
// how many samples had a cloud or a storm.
struct BucketSums {
    qint64 samples = 0;
    NumberSums water;
    NumberSums voltage;
    std::array<NumberSums, ChannelCount> levels{};
    int mode = 0;
    qint64 clouds = 0;
    qint64 storms = 0;

    // A later bucket's sums added to these (its mode is the newer one).
    void add(const BucketSums& later);

    // The compact form the file keeps: a version byte, then variable-length
    // integers (least values and their distances, so that a steady minute
    // takes a few bytes). decode gives nothing for bytes it cannot read.
    QByteArray encode() const;
    static std::optional<BucketSums> decode(const QByteArray& bytes);

    bool operator==(const BucketSums&) const = default;
};

} // namespace kv
