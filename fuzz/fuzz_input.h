#pragma once

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace kv::fuzz {

// Takes a fuzz input apart: small decisions from the front, one byte or number
// at a time. Past the end every read gives zeros, so a short input is simply
// a run that decides "no" and "zero" from then on.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return position_ >= size_; }
    std::size_t remaining() const { return empty() ? 0 : size_ - position_; }

    std::uint8_t byte() { return empty() ? 0 : data_[position_++]; }
    bool flag() { return byte() & 1; }

    // A value of an integer type from the next bytes, little-endian.
    template <typename T> T number() {
        static_assert(std::is_integral_v<T>);
        using U = std::make_unsigned_t<T>;
        U value = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            value = U(value | (U(byte()) << (8 * i)));
        return T(value);
    }

    // A whole number from 0 to count - 1 (count > 0) from one byte, or two
    // when count exceeds 256.
    std::size_t below(std::size_t count) {
        const std::size_t raw = count > 256 ? number<std::uint16_t>() : byte();
        return raw % count;
    }

    // Fills length bytes; what the input no longer has becomes zero.
    void fill(std::uint8_t* out, std::size_t length) {
        const std::size_t n = std::min(length, remaining());
        if (n)
            std::memcpy(out, data_ + position_, n);
        std::memset(out + n, 0, length - n);
        position_ += n;
    }

    // Bytes up to the next newline (dropped) or the end, at most maxLength.
    QByteArray line(std::size_t maxLength = 4096) {
        QByteArray result;
        while (!empty() && std::size_t(result.size()) < maxLength) {
            const char c = char(data_[position_++]);
            if (c == '\n')
                break;
            result.append(c);
        }
        return result;
    }

    // A text of up to maxLength bytes read as UTF-8 (invalid sequences become
    // replacement characters, as they would from a file).
    QString text(std::size_t maxLength) {
        const std::size_t length = std::min(below(maxLength + 1), remaining());
        QByteArray bytes(qsizetype(length), '\0');
        fill(reinterpret_cast<std::uint8_t*>(bytes.data()), length);
        return QString::fromUtf8(bytes);
    }

    // Everything not read yet.
    QByteArray rest() {
        const std::size_t n = remaining();
        QByteArray result(reinterpret_cast<const char*>(data_ + position_), qsizetype(n));
        position_ = size_;
        return result;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

} // namespace kv::fuzz
