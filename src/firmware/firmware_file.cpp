#include "firmware/firmware_file.h"

#include "common/regular_file.h"
#include "device/records/byte_order.h"
#include "text/log_stamp.h"
#include "text/reporter.h"
#include "text/text_catalogue.h"

#include <QFileInfo>

#include <array>

namespace kv {

QString fileDescription(const QString& path) {
    const QFileInfo file(path);
    if (!file.exists())
        return QString();
    return file.absoluteFilePath() + QLatin1Char(' ') + dateTimeText(file.lastModified()) +
           QLatin1Char(' ') + QString::number(file.size()) + QLatin1Char(' ') +
           Msg(QStringLiteral("Bytes"));
}

namespace {

TextMessage missing(const QString& path) {
    return {QStringLiteral("FirmwareFileNotFound"), {path}};
}

TextMessage truncated(qint64 expected, qint64 actual) {
    return {QStringLiteral("FirmwareFileTruncated"), {actual, expected}};
}

} // namespace

bool ReadFile(const QString& path, std::vector<std::uint8_t>& image, std::int32_t& start,
              std::int32_t& end, Reporter& reporter, std::uint32_t largestAddress,
              TextMessage* failure) {
    const auto fail = [&](const TextMessage& message) {
        if (!message.isEmpty())
            reporter.announce(message.text());
        if (failure)
            *failure = message;
        return false;
    };
    if (!QFileInfo::exists(path) || QFileInfo(path).isDir())
        return fail(missing(path));
    reporter.log(fileDescription(path));

    const RegularFileRead read = readRegularFile(path, qint64(largestAddress) + 1);
    switch (read.outcome) {
    case RegularFileRead::Outcome::Read:
        break;
    case RegularFileRead::Outcome::Missing: // gone since the check above
        return fail(missing(path));
    case RegularFileRead::Outcome::NotRegular:
        return fail({QStringLiteral("FirmwareFileNotRegular"), {path}});
    case RegularFileRead::Outcome::TooLarge:
        // Not announced: the update that reads it reports its failure.
        if (failure)
            *failure = {QStringLiteral("FirmwareFileTooLarge"), {qint64(largestAddress) + 1}};
        return false;
    case RegularFileRead::Outcome::Failed:
        reporter.log(read.systemError);
        return fail({QStringLiteral("FirmwareFileUnreadable"), {}});
    }
    const QByteArray& data = read.data;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.constData());
    const qint64 size = data.size();

    if (size < 8)
        return fail(truncated(12, size));
    start = std::int32_t(le::getU32(bytes, 0));
    end = std::int32_t(le::getU32(bytes, 4));
    std::uint32_t sum = std::uint32_t(start) + std::uint32_t(end);

    qint64 imageBytes = 0;
    if (end >= start) {
        // A range outside the buffer is refused before a single byte is placed.
        if (start < 0 || std::uint32_t(end) > largestAddress || image.size() <= largestAddress)
            return fail(
                {QStringLiteral("FirmwareFileOutOfRange"), {start, end, qint64(largestAddress)}});
        imageBytes = qint64(end) - start + 1;
    }
    const qint64 expected = 8 + imageBytes + 4;
    if (size < expected)
        return fail(truncated(expected, size));
    for (qint64 i = 0; i < imageBytes; ++i) {
        const std::uint8_t b = bytes[8 + i];
        image[std::size_t(start + i)] = b;
        sum += b;
    }
    const std::uint32_t stored = le::getU32(bytes, std::size_t(8 + imageBytes));
    if (stored != sum)
        return fail({QStringLiteral("ChecksumError"), {std::int32_t(sum)}});
    if (start < end)
        return true;
    return fail({QStringLiteral("NoDataInFile"), {}});
}

} // namespace kv
