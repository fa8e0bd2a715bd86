// Firmware image files: any bytes as a file for the reader. The reader must
// refuse what is wrong with a reason and place exactly the bytes the file
// covers, checked against a reading of the format done here independently.
#include "fuzz_target.h"
#include "quiet_reporter.h"

#include "firmware/firmware_file.h"

#include <cstdint>
#include <vector>

namespace {

using namespace kv;

std::uint32_t u32At(const std::uint8_t* data, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= std::uint32_t(data[offset + i]) << (8 * i);
    return value;
}

void readWithBuffer(const QString& path, const std::uint8_t* data, std::size_t size,
                    std::uint32_t largestAddress) {
    std::vector<std::uint8_t> image(std::size_t(largestAddress) + 1, 0);
    std::int32_t start = -1;
    std::int32_t end = -1;
    fuzz::QuietReporter reporter;
    const bool ok = ReadFile(path, image, start, end, reporter, largestAddress);

    if (!ok) {
        // Every refusal says why, except a file above the size limit, which
        // the caller reports.
        KV_FUZZ_CHECK(!reporter.announced.isEmpty() || size > std::size_t(largestAddress) + 1);
        return;
    }
    KV_FUZZ_CHECK(reporter.announced.isEmpty());
    KV_FUZZ_CHECK(size >= 12);
    KV_FUZZ_CHECK(std::int32_t(u32At(data, 0)) == start);
    KV_FUZZ_CHECK(std::int32_t(u32At(data, 4)) == end);
    KV_FUZZ_CHECK(0 <= start && start < end && std::uint32_t(end) <= largestAddress);
    const std::size_t count = std::size_t(end - start) + 1;
    KV_FUZZ_CHECK(size >= 8 + count + 4);

    std::uint32_t sum = std::uint32_t(start) + std::uint32_t(end);
    for (std::size_t i = 0; i < count; ++i)
        sum += data[8 + i];
    KV_FUZZ_CHECK(u32At(data, 8 + count) == sum);

    for (std::size_t address = 0; address < image.size(); ++address) {
        const bool covered = address >= std::size_t(start) && address <= std::size_t(end);
        const std::uint8_t expected = covered ? data[8 + address - std::size_t(start)] : 0;
        KV_FUZZ_CHECK(image[address] == expected);
    }
}

int fuzzFirmwareFile(const std::uint8_t* data, std::size_t size) {
    fuzz::setUpOnce();
    const QString path =
        fuzz::writeScratchFile(QStringLiteral("image.chx"),
                               QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    readWithBuffer(path, data, size, FirmwareLargestAddress);
    // A smaller buffer, as a smaller flash would have.
    readWithBuffer(path, data, size, 4095);
    return 0;
}

} // namespace

KV_FUZZ_TARGET("firmware_file", fuzzFirmwareFile)
