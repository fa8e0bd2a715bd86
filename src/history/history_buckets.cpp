#include "history/history_buckets.h"

#include <algorithm>

namespace kv {

namespace {

constexpr char Version = 1;

void putUnsigned(QByteArray& out, quint64 value) {
    while (value >= 0x80) {
        out.append(char((value & 0x7F) | 0x80));
        value >>= 7;
    }
    out.append(char(value));
}

void putSigned(QByteArray& out, qint64 value) {
    putUnsigned(out, (quint64(value) << 1) ^ quint64(value >> 63));
}

// Reads the bytes in order; any read past the end or out of bounds spoils
// the whole.
class Reader {
public:
    explicit Reader(const QByteArray& bytes) : bytes_(bytes) {}

    quint64 takeUnsigned() {
        quint64 value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (at_ >= bytes_.size()) {
                ok_ = false;
                return 0;
            }
            const auto byte = quint8(bytes_[at_++]);
            value |= quint64(byte & 0x7F) << shift;
            if (!(byte & 0x80))
                return value;
        }
        ok_ = false;
        return 0;
    }
    qint64 takeSigned() {
        const quint64 raw = takeUnsigned();
        return qint64(raw >> 1) ^ -qint64(raw & 1);
    }
    // A count: never more than a bucket can hold.
    qint64 takeCount() {
        const quint64 raw = takeUnsigned();
        if (raw > quint64(1) << 40)
            ok_ = false;
        return qint64(raw);
    }
    bool ok() const { return ok_ && at_ == bytes_.size(); }
    bool atEnd() const { return at_ >= bytes_.size(); }
    char takeByte() { return at_ < bytes_.size() ? bytes_[at_++] : (ok_ = false, char(0)); }

private:
    const QByteArray& bytes_;
    qsizetype at_ = 0;
    bool ok_ = true;
};

// A number as its least value, the distance to its greatest and its sum's
// distance to count × least (small for the steady values of a minute).
void putNumber(QByteArray& out, const NumberSums& number) {
    putSigned(out, number.min);
    putUnsigned(out, quint64(number.max - number.min));
    putSigned(out, number.sum - number.count * number.min);
}

void takeNumber(Reader& in, NumberSums& number) {
    number.min = in.takeSigned();
    number.max = number.min + qint64(in.takeUnsigned());
    number.sum = in.takeSigned() + number.count * number.min;
}

} // namespace

void NumberSums::add(qint64 value) {
    min = count == 0 ? value : std::min(min, value);
    max = count == 0 ? value : std::max(max, value);
    sum += value;
    ++count;
}

void NumberSums::add(const NumberSums& other) {
    if (other.count == 0)
        return;
    min = count == 0 ? other.min : std::min(min, other.min);
    max = count == 0 ? other.max : std::max(max, other.max);
    sum += other.sum;
    count += other.count;
}

void BucketSums::add(const BucketSums& later) {
    if (later.samples == 0)
        return;
    samples += later.samples;
    water.add(later.water);
    voltage.add(later.voltage);
    for (std::size_t c = 0; c < levels.size(); ++c)
        levels[c].add(later.levels[c]);
    mode = later.mode;
    clouds += later.clouds;
    storms += later.storms;
}

QByteArray BucketSums::encode() const {
    QByteArray out;
    out.reserve(40);
    out.append(Version);
    putUnsigned(out, quint64(samples));
    for (const NumberSums* optional : {&water, &voltage}) {
        putUnsigned(out, quint64(optional->count));
        if (optional->count > 0)
            putNumber(out, *optional);
    }
    // Every sample has its levels.
    for (const NumberSums& level : levels)
        putNumber(out, level);
    putSigned(out, mode);
    putUnsigned(out, quint64(clouds));
    putUnsigned(out, quint64(storms));
    return out;
}

std::optional<BucketSums> BucketSums::decode(const QByteArray& bytes) {
    Reader in(bytes);
    if (in.takeByte() != Version)
        return std::nullopt;
    BucketSums sums;
    sums.samples = in.takeCount();
    for (NumberSums* optional : {&sums.water, &sums.voltage}) {
        optional->count = in.takeCount();
        if (optional->count > sums.samples)
            return std::nullopt;
        if (optional->count > 0)
            takeNumber(in, *optional);
    }
    for (NumberSums& level : sums.levels) {
        level.count = sums.samples;
        takeNumber(in, level);
    }
    sums.mode = int(in.takeSigned());
    sums.clouds = in.takeCount();
    sums.storms = in.takeCount();
    if (!in.ok() || sums.samples <= 0)
        return std::nullopt;
    return sums;
}

} // namespace kv
