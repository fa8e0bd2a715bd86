#include "firmware/flasher.h"

#include "device/discovery.h"
#include "device/hid_controller.h"
#include "device/records/byte_order.h"
#include "firmware/firmware_file.h"
#include "text/number_format.h"
#include "text/product.h"
#include "text/reporter.h"
#include "text/text_catalogue.h"

#include <QDir>

#include <algorithm>

namespace kv {

namespace {

constexpr std::uint32_t BootloaderReserve = 2048;
constexpr std::uint32_t BlockSize = 128;
constexpr std::size_t InfoReportSize = 7;
constexpr std::size_t BlockReportSize = 4 + BlockSize;

QString firmwareExtension(BootloaderKind kind) {
    return kind == BootloaderKind::Avr328p ? QStringLiteral(".chx328p") : QStringLiteral(".chx");
}

QString withSeparator(const QString& dir) {
    if (dir.isEmpty() || dir.endsWith(QLatin1Char('/')) || dir.endsWith(QDir::separator()))
        return dir;
    return dir + QLatin1Char('/');
}

QString blockText(std::uint32_t address, double percent) {
    return QStringLiteral("0x%1 (%2 %)")
        .arg(QString::number(address, 16).toUpper(), 4, QLatin1Char('0'))
        .arg(formatNumber(percent, u"0"));
}

TextMessage message(const char* key) {
    return {QString::fromLatin1(key), {}};
}

} // namespace

FirmwareDialogSettings firmwareDialogSettings(BootloaderKind kind, const QString& programDir) {
    const QString extension = firmwareExtension(kind);
    const QString generation = QString::fromLatin1(product::GenerationName);
    const QString pattern =
        QStringLiteral("KestVELQOR%1*%2").arg(product::HardwareGeneration).arg(extension);
    FirmwareDialogSettings settings;
    settings.initialFolder = programDir;
    settings.proposedFile = withSeparator(programDir) + QStringLiteral("KestVELQOR%1x%2%3")
                                                            .arg(product::HardwareGeneration)
                                                            .arg(product::FirmwareVersion)
                                                            .arg(extension);
    settings.title = generation + QString::fromUtf8(" - Firmwaredatei wählen");
    settings.filter =
        generation + QStringLiteral(" - Firmware (") + pattern + QStringLiteral(")|") + pattern;
    settings.defaultExtension = extension;
    return settings;
}

Flasher::Flasher(Discovery& discovery, Reporter& reporter, QObject* parent)
    : QObject(parent), discovery_(discovery), reporter_(reporter) {
    step_.setSingleShot(true);
    connect(&step_, &QTimer::timeout, this, &Flasher::sendNextBlock);
    // The bootloader leaving ends the update at once: nothing more can be
    // sent, not even the reset request.
    connect(&discovery_, &Discovery::bootloaderGone, this, [this] {
        if (running_)
            abortGone();
    });
}

QString Flasher::chooseFile(BootloaderKind kind) {
    if (!interaction_.chooseFirmwareFile)
        return QString();
    return interaction_.chooseFirmwareFile(firmwareDialogSettings(kind, programDir_));
}

void Flasher::offerFirmware(BootloaderKind kind) {
    if (running_)
        return;
    const QString path = chooseFile(kind);
    if (!path.isEmpty()) {
        WriteFlash(path);
        return;
    }
    reporter_.announce(QStringLiteral("Reset..."));
    sendResetRequest();
}

bool Flasher::chooseAndFlash(BootloaderKind kind) {
    const QString path = chooseFile(kind);
    return !path.isEmpty() && WriteFlash(path);
}

void Flasher::sendResetRequest() {
    TJvHidDevice* bootloader = discovery_.bootloaderDevice();
    if (!bootloader)
        return;
    std::array<std::uint8_t, InfoReportSize> report{1};
    std::copy(lastDeviceInfo_.begin(), lastDeviceInfo_.end(), report.begin() + 1);
    bootloader->WriteFeature(report.data(), report.size()); // one attempt, result ignored
}

bool Flasher::WriteFlash(const QString& path) {
    TJvHidDevice* bootloader = discovery_.bootloaderDevice();
    if (!bootloader || running_)
        return false;
    running_ = true;

    std::array<std::uint8_t, InfoReportSize> info{1};
    if (!bootloader->ReadFeature(info.data(), info.size())) {
        // No reset request and no end message: the bootloader is silent.
        const TextMessage silent = message("BootloaderSilent");
        reporter_.announce(silent.text());
        running_ = false;
        emit finished(false, silent);
        return true;
    }
    std::copy(info.begin() + 1, info.end(), lastDeviceInfo_.begin());
    const std::uint32_t pageSize = le::getU16(info.data(), 1);
    const std::uint32_t flashSize = le::getU32(info.data(), 3);
    const std::int64_t usable = std::int64_t(flashSize) - BootloaderReserve;

    image_.assign(std::size_t(FirmwareLargestAddress) + 1, 0);
    std::int32_t start = 0;
    std::int32_t end = 0;
    TextMessage refusal;
    if (!ReadFile(path, image_, start, end, reporter_, FirmwareLargestAddress, &refusal)) {
        finish(true, refusal);
        return true;
    }
    reporter_.log(MsgFmt(QStringLiteral("FlashSize"), {end}) + QStringLiteral(" / ") +
                  QString::number(usable));
    if (end > usable) {
        const TextMessage tooLarge{QStringLiteral("FirmwareTooLarge"),
                                   {std::int64_t(end) - usable}};
        reporter_.announce(tooLarge.text());
        finish(true, tooLarge);
        return true;
    }

    const std::uint32_t mask = pageSize >= BlockSize ? pageSize - 1 : BlockSize - 1;
    first_ = std::uint32_t(start) & ~mask;
    // Up to the block boundary after the last image byte, so that the block
    // holding it is sent even when the last address is itself on a boundary;
    // never past the image buffer.
    end_ = (std::uint32_t(end) + 1 + mask) & ~mask;
    end_ = std::min<std::uint32_t>(end_, std::uint32_t(image_.size()));
    next_ = first_;
    attempt_ = 0;
    blockFailed_ = false;
    reporter_.announce(MsgFmt(QStringLiteral("StartingFirmwareUpdate"), {end_ - first_}));
    // The blocks go from the event loop: an offer runs inside the scan that
    // claimed the bootloader, which ends first.
    step_.start(0);
    return true;
}

void Flasher::sendNextBlock() {
    if (!running_)
        return;
    if (next_ >= end_) {
        finish(blockFailed_, blockFailed_ ? message("FirmwareUpdateFailed") : TextMessage{});
        return;
    }
    TJvHidDevice* bootloader = discovery_.bootloaderDevice();
    if (!bootloader) {
        abortGone();
        return;
    }
    const std::uint32_t total = end_ - first_;
    const std::uint32_t a = next_;
    if (attempt_ == 0)
        reporter_.announce(blockText(a, (1.0 - double(end_ - a) / total) * 100.0));
    std::array<std::uint8_t, BlockReportSize> report{};
    report[0] = 2;
    report[1] = std::uint8_t(a & 0xFF);
    report[2] = std::uint8_t((a >> 8) & 0xFF);
    report[3] = std::uint8_t((a >> 16) & 0xFF);
    std::copy_n(image_.begin() + a, BlockSize, report.begin() + 4);
    const bool sent = bootloader->WriteFeature(report.data(), report.size());
    ++attempt_;
    if (!sent && attempt_ < BlockAttempts) {
        // A bootloader that left fails every block: look before waiting.
        if (rescan_)
            rescan_();
        if (running_)
            step_.start(interaction_.retryPauseMs);
        return;
    }
    if (!sent)
        blockFailed_ = true;
    attempt_ = 0;
    next_ = a + BlockSize;
    emit progress(qint64(a) + BlockSize - first_, total);
    // The next block in the next turn of the event loop: the window repaints
    // and its timers run between two blocks.
    if (running_)
        step_.start(0);
}

void Flasher::finish(bool failed, const TextMessage& reason) {
    reporter_.announce(Msg(QStringLiteral("Resetting")));
    sendResetRequest();
    reporter_.announce(Msg(failed ? QStringLiteral("FirmwareUpdateFailed")
                                  : QStringLiteral("FirmwareUpdateSuccessful")));
    running_ = false;
    step_.stop();
    image_.clear();
    emit finished(!failed, reason);
}

void Flasher::abortGone() {
    const TextMessage gone = message("BootloaderLeftDuringUpdate");
    reporter_.announce(gone.text());
    reporter_.announce(Msg(QStringLiteral("FirmwareUpdateFailed")));
    running_ = false;
    step_.stop();
    image_.clear();
    emit finished(false, gone);
}

} // namespace kv
