#pragma once

#include "device/device_kind.h"

#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace kv {

class BoardLink;
class Discovery;
class Reporter;
class TJvHidDevice;

// Settings of the file dialog that offers a firmware file to a bootloader.
struct FirmwareDialogSettings {
    QString initialFolder;    // the program directory
    QString proposedFile;     // program directory + "KestVELQOR1x12.chx" (or .chx328p)
    QString title;            // "KestVELQOR 1.x - Firmwaredatei wählen"
    QString filter;           // "description|pattern"
    QString defaultExtension; // ".chx" or ".chx328p"
};
FirmwareDialogSettings firmwareDialogSettings(BootloaderKind kind, const QString& programDir);

// What the update asks of the window or the command-line tool.
struct FlashInteraction {
    // The Yes/No question before a running board is sent into its bootloader
    // (text Msg("FlashDlgText"), caption Msg("FlashDlgCaption")); true = Yes.
    std::function<bool()> confirmUpdate;
    // Shows the firmware file dialog; an empty result means cancelled.
    std::function<QString(const FirmwareDialogSettings&)> chooseFirmwareFile;
    // Waits between two attempts of a block.
    std::function<void(int milliseconds)> sleep;
    // Called after each block so the window can repaint its status and log.
    std::function<void()> processPaint;
};

// The firmware update: "Update firmware...", the offer made when a bootloader
// is claimed, and WriteFlash.
class Flasher : public QObject {
    Q_OBJECT
public:
    Flasher(Discovery& discovery, BoardLink& link, Reporter& reporter, FlashInteraction interaction,
            QObject* parent = nullptr);

    void setProgramDir(const QString& dir) { programDir_ = dir; }
    // Where the settings backup before an update goes (default: the user's
    // data folder).
    void setBackupFolder(const QString& folder) { backupFolder_ = folder; }

    // The update asked for by the user: a running board is asked (after the
    // user's yes) to enter its bootloader; a held bootloader is offered a
    // file again.
    void updateFirmware();
    // Called by discovery right after it claimed a bootloader.
    void offerFirmware(BootloaderKind kind);
    // Flashes the file through the held bootloader; true when every block
    // went through.
    bool WriteFlash(const QString& path);

    // The path of the settings backup written after the user agreed to the
    // last update, if any.
    QString lastBackupPath() const { return lastBackupPath_; }

signals:
    // Bytes sent so far of the bytes to send, after each block.
    void progress(qint64 done, qint64 total);
    // Right before the board is told to enter its bootloader for an update.
    void boardEnteringBootloader();

private:
    void backUpBoardSettings();
    QString chooseFile(BootloaderKind kind);
    void sendResetRequest();
    bool sendBlocks(TJvHidDevice& bootloader, const std::vector<std::uint8_t>& image,
                    std::uint32_t start, std::uint32_t last, std::uint32_t pageSize);

    Discovery& discovery_;
    BoardLink& link_;
    Reporter& reporter_;
    FlashInteraction interaction_;
    QString programDir_;
    QString backupFolder_;
    QString lastBackupPath_;
    // The device information of the last bootloader read in this run; sent
    // back with the reset request.
    std::array<std::uint8_t, 6> lastDeviceInfo_{};
};

} // namespace kv
