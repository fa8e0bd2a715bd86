// The firmware update: the running board backed up and sent into its
// bootloader, the bootloader offered the file, the flashing from the event
// loop.
#include "board/board_service.h"

#include "device/board_link.h"
#include "settings/settings_file.h"
#include "text/reporter.h"

#include <QDateTime>
#include <QDir>

namespace kv {

void BoardService::setFirmwareInteraction(FlashInteraction interaction) {
    interaction_ = interaction;
    flasher_.setInteraction(std::move(interaction));
}

void BoardService::setProgramDir(const QString& dir) {
    flasher_.setProgramDir(dir);
}

void BoardService::setBackupFolder(const QString& folder) {
    backupFolder_ = folder;
}

bool BoardService::updateRunning() const {
    return flasher_.running();
}

QString BoardService::lastBackupPath() const {
    return lastBackupPath_;
}

Outcome BoardService::updateFirmware(const Origin& origin) {
    if (flasher_.running())
        return end(Operation::FirmwareUpdate, QString(), origin,
                   Outcome::failed(OutcomeCode::Busy, {QStringLiteral("UpdateRunning"), {}}));
    const Outcome cancelled =
        Outcome::failed(OutcomeCode::Cancelled, {QStringLiteral("UpdateCancelled"), {}});
    Discovery& discovery = session_.discovery();
    if (discovery.boardDevice()) {
        lastBackupPath_.clear();
        // "No" leaves the board and the disk alone: no reads, no backup file.
        const bool yes = interaction_.confirmUpdate && interaction_.confirmUpdate();
        if (!yes)
            return end(Operation::FirmwareUpdate, QString(), origin, cancelled);
        backUpBoardSettings();
        emit boardEnteringBootloader();
        if (!session_.link().SendCommand(BoardCommand::Save))
            return end(Operation::FirmwareUpdate, QString(), origin, written(false));
        // The board leaves; its bootloader comes and is offered the file.
        updateOrigin_ = originOr(origin);
        return Outcome::done();
    }
    if (discovery.bootloaderDevice()) {
        updateOrigin_ = originOr(origin);
        if (!flasher_.chooseAndFlash(discovery.bootloaderKind())) {
            updateOrigin_ = Origin{};
            return end(Operation::FirmwareUpdate, QString(), origin, cancelled);
        }
        return Outcome::done();
    }
    return end(
        Operation::FirmwareUpdate, QString(), origin,
        Outcome::failed(OutcomeCode::NoBoard, {QStringLiteral("NoBoardOrBootloaderFound"), {}}));
}

void BoardService::offerFirmware(BootloaderKind kind) {
    flasher_.offerFirmware(kind);
}

void BoardService::backUpBoardSettings() {
    // The update resets every setting of the board; keep them where the user
    // can import them back.
    lastBackupPath_.clear();
    if (!isConnected()) {
        reporter_.log(QString::fromUtf8("Keine Sicherung der Einstellungen: die Firmware der "
                                        "Platine wird nicht unterstützt."));
        return;
    }
    reread({BoardRecord::Info, BoardRecord::Expert, BoardRecord::Schedule});
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString path =
        backupFolder_ + QStringLiteral("/kestvelqor-backup-") + stamp + QStringLiteral(".ini");
    QString error;
    if (!QDir().mkpath(backupFolder_)) {
        error = QStringLiteral("Ordner %1 kann nicht angelegt werden")
                    .arg(QDir::toNativeSeparators(backupFolder_));
    } else if (WriteSettingsFile(path, info(), expert(), schedule(), &error)) {
        lastBackupPath_ = path;
        reporter_.log(QStringLiteral("Einstellungen der Platine gesichert in ") +
                      QDir::toNativeSeparators(path));
        return;
    }
    reporter_.log(QString::fromUtf8("Sicherung der Einstellungen fehlgeschlagen (%1)!").arg(error));
}

} // namespace kv
