#include "firmware/flasher.h"

#include "device/board_link.h"
#include "device/discovery.h"
#include "device/hid_controller.h"
#include "device/records/byte_order.h"
#include "firmware/firmware_file.h"
#include "settings/settings_file.h"
#include "text/number_format.h"
#include "text/product.h"
#include "text/reporter.h"
#include "text/text_catalogue.h"

#include <QDateTime>
#include <QDir>
#include <QStandardPaths>

#include <array>
#include <vector>

namespace kv {

namespace {

constexpr std::uint32_t BootloaderReserve = 2048;
constexpr std::uint32_t BlockSize = 128;
constexpr int BlockAttempts = 10;
constexpr int BlockRetryPauseMs = 500;
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

QString defaultBackupFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/kestvelqor/backups");
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

Flasher::Flasher(Discovery& discovery, BoardLink& link, Reporter& reporter,
                 FlashInteraction interaction, QObject* parent)
    : QObject(parent), discovery_(discovery), link_(link), reporter_(reporter),
      interaction_(std::move(interaction)), backupFolder_(defaultBackupFolder()) {}

void Flasher::updateFirmware() {
    if (discovery_.boardDevice()) {
        lastBackupPath_.clear();
        // "No" leaves the board and the disk alone: no reads, no backup file.
        const bool yes = interaction_.confirmUpdate && interaction_.confirmUpdate();
        if (!yes)
            return;
        backUpBoardSettings();
        emit boardEnteringBootloader();
        link_.SendCommand(BoardCommand::Save);
        return;
    }
    if (discovery_.bootloaderDevice()) {
        const QString path = chooseFile(discovery_.bootloaderKind());
        if (!path.isEmpty())
            WriteFlash(path);
    }
}

void Flasher::backUpBoardSettings() {
    // The update resets every setting of the board; keep them where the user
    // can import them back.
    lastBackupPath_.clear();
    if (!discovery_.isBoardConnected()) {
        reporter_.log(QString::fromUtf8("Keine Sicherung der Einstellungen: die Firmware der "
                                        "Platine wird nicht unterstützt."));
        return;
    }
    readBoardForExport(link_);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString path =
        backupFolder_ + QStringLiteral("/kestvelqor-backup-") + stamp + QStringLiteral(".ini");
    QString error;
    if (!QDir().mkpath(backupFolder_)) {
        error = QStringLiteral("Ordner %1 kann nicht angelegt werden")
                    .arg(QDir::toNativeSeparators(backupFolder_));
    } else if (WriteSettingsFile(path, link_.info, link_.expert, link_.schedule, &error)) {
        lastBackupPath_ = path;
        reporter_.log(QStringLiteral("Einstellungen der Platine gesichert in ") +
                      QDir::toNativeSeparators(path));
        return;
    }
    reporter_.log(QString::fromUtf8("Sicherung der Einstellungen fehlgeschlagen (%1)!").arg(error));
}

QString Flasher::chooseFile(BootloaderKind kind) {
    if (!interaction_.chooseFirmwareFile)
        return QString();
    return interaction_.chooseFirmwareFile(firmwareDialogSettings(kind, programDir_));
}

void Flasher::offerFirmware(BootloaderKind kind) {
    const QString path = chooseFile(kind);
    if (!path.isEmpty()) {
        WriteFlash(path);
        return;
    }
    reporter_.announce(QStringLiteral("Reset..."));
    sendResetRequest();
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
    if (!bootloader)
        return false;
    bool failed = true;

    std::array<std::uint8_t, InfoReportSize> info{1};
    if (!bootloader->ReadFeature(info.data(), info.size())) {
        reporter_.announce(QStringLiteral("Fehler: Bootloader reagiert nicht!"));
        return false;
    }
    std::copy(info.begin() + 1, info.end(), lastDeviceInfo_.begin());
    const std::uint32_t pageSize = le::getU16(info.data(), 1);
    const std::uint32_t flashSize = le::getU32(info.data(), 3);
    const std::int64_t usable = std::int64_t(flashSize) - BootloaderReserve;

    std::vector<std::uint8_t> image(std::size_t(FirmwareLargestAddress) + 1, 0);
    std::int32_t start = 0;
    std::int32_t end = 0;
    if (ReadFile(path, image, start, end, reporter_)) {
        reporter_.log(MsgFmt(QStringLiteral("FlashSize"), {end}) + QStringLiteral(" / ") +
                      QString::number(usable));
        if (end > usable) {
            reporter_.announce(
                MsgFmt(QStringLiteral("FirmwareTooLarge"), {std::int64_t(end) - usable}));
        } else {
            failed =
                !sendBlocks(*bootloader, image, std::uint32_t(start), std::uint32_t(end), pageSize);
        }
    }

    reporter_.announce(Msg(QStringLiteral("Resetting")));
    sendResetRequest();
    reporter_.announce(Msg(failed ? QStringLiteral("FirmwareUpdateFailed")
                                  : QStringLiteral("FirmwareUpdateSuccessful")));
    return !failed;
}

bool Flasher::sendBlocks(TJvHidDevice& bootloader, const std::vector<std::uint8_t>& image,
                         std::uint32_t start, std::uint32_t last, std::uint32_t pageSize) {
    const std::uint32_t mask = pageSize >= BlockSize ? pageSize - 1 : BlockSize - 1;
    start &= ~mask;
    // Up to the block boundary after the last image byte, so that the block
    // holding it is sent even when the last address is itself on a boundary.
    std::uint32_t end = (last + 1 + mask) & ~mask;
    // Never past the image buffer.
    end = std::min<std::uint32_t>(end, std::uint32_t(image.size()));
    const std::uint32_t total = end - start;
    reporter_.announce(MsgFmt(QStringLiteral("StartingFirmwareUpdate"), {total}));

    bool allSent = true;
    std::array<std::uint8_t, BlockReportSize> report{};
    for (std::uint32_t a = start; a < end; a += BlockSize) {
        reporter_.announce(blockText(a, (1.0 - double(end - a) / total) * 100.0));
        report[0] = 2;
        report[1] = std::uint8_t(a & 0xFF);
        report[2] = std::uint8_t((a >> 8) & 0xFF);
        report[3] = std::uint8_t((a >> 16) & 0xFF);
        std::copy_n(image.begin() + a, BlockSize, report.begin() + 4);
        bool sent = false;
        for (int attempt = 0; attempt < BlockAttempts && !sent; ++attempt) {
            sent = bootloader.WriteFeature(report.data(), report.size());
            if (!sent && interaction_.sleep)
                interaction_.sleep(BlockRetryPauseMs);
        }
        allSent = allSent && sent;
        emit progress(qint64(a) + BlockSize - start, total);
        if (interaction_.processPaint)
            interaction_.processPaint();
    }
    return allSent;
}

} // namespace kv
