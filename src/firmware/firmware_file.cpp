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

QString missingText(const QString& path) {
    return QStringLiteral("Fehler: Datei ") + path + QStringLiteral(" nicht gefunden!");
}

// A pipe or a device: reading it would block or never end.
QString notRegularText(const QString& path) {
    return QStringLiteral("Fehler: ") + path + QString::fromUtf8(" ist keine reguläre Datei!");
}

QString truncatedText(qint64 expected, qint64 actual) {
    return QString::fromUtf8("Fehler: Datei ist unvollständig (%1 von %2 Bytes)!")
        .arg(actual)
        .arg(expected);
}

QString rangeText(std::int32_t start, std::int32_t end, std::uint32_t largestAddress) {
    return QString::fromUtf8("Fehler: Adressbereich %1 bis %2 der Datei liegt außerhalb von 0 "
                             "bis %3!")
        .arg(start)
        .arg(end)
        .arg(largestAddress);
}

} // namespace

bool ReadFile(const QString& path, std::vector<std::uint8_t>& image, std::int32_t& start,
              std::int32_t& end, Reporter& reporter, std::uint32_t largestAddress) {
    if (!QFileInfo::exists(path) || QFileInfo(path).isDir()) {
        reporter.announce(missingText(path));
        return false;
    }
    reporter.log(fileDescription(path));

    const RegularFileRead read = readRegularFile(path, qint64(largestAddress) + 1);
    switch (read.outcome) {
    case RegularFileRead::Outcome::Read:
        break;
    case RegularFileRead::Outcome::Missing: // gone since the check above
        reporter.announce(missingText(path));
        return false;
    case RegularFileRead::Outcome::NotRegular:
        reporter.announce(notRegularText(path));
        return false;
    case RegularFileRead::Outcome::TooLarge:
        return false; // the caller reports the failed update
    case RegularFileRead::Outcome::Failed:
        reporter.log(read.systemError);
        reporter.announce(QStringLiteral("Fehler beim Einlesen!"));
        return false;
    }
    const QByteArray& data = read.data;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.constData());
    const qint64 size = data.size();

    if (size < 8) {
        reporter.announce(truncatedText(12, size));
        return false;
    }
    start = std::int32_t(le::getU32(bytes, 0));
    end = std::int32_t(le::getU32(bytes, 4));
    std::uint32_t sum = std::uint32_t(start) + std::uint32_t(end);

    qint64 imageBytes = 0;
    if (end >= start) {
        // A range outside the buffer is refused before a single byte is placed.
        if (start < 0 || std::uint32_t(end) > largestAddress || image.size() <= largestAddress) {
            reporter.announce(rangeText(start, end, largestAddress));
            return false;
        }
        imageBytes = qint64(end) - start + 1;
    }
    const qint64 expected = 8 + imageBytes + 4;
    if (size < expected) {
        reporter.announce(truncatedText(expected, size));
        return false;
    }
    for (qint64 i = 0; i < imageBytes; ++i) {
        const std::uint8_t b = bytes[8 + i];
        image[std::size_t(start + i)] = b;
        sum += b;
    }
    const std::uint32_t stored = le::getU32(bytes, std::size_t(8 + imageBytes));
    if (stored != sum) {
        reporter.announce(MsgFmt(QStringLiteral("ChecksumError"), {std::int32_t(sum)}));
        return false;
    }
    if (start < end)
        return true;
    reporter.announce(Msg(QStringLiteral("NoDataInFile")));
    return false;
}

} // namespace kv
