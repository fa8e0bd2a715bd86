#pragma once

#include "device/device_kind.h"
#include "text/text_message.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace kv {

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
    // The pause after a block that failed, before it is sent again.
    int retryPauseMs = 500;
};

// The bootloader's side of the firmware update: the file offered when a
// bootloader is claimed, WriteFlash and the reset request. WriteFlash reads
// the bootloader's information and the file at once and then sends one
// block per turn of the event loop (a failed block is tried again after a
// pause, up to ten times), so the program stays responsive. The bootloader
// leaving the bus ends the update at once, as failed. Every WriteFlash ends
// with finished(), also one refused at its start.
class Flasher : public QObject {
    Q_OBJECT
public:
    static constexpr int BlockAttempts = 10;

    Flasher(Discovery& discovery, Reporter& reporter, QObject* parent = nullptr);

    void setInteraction(FlashInteraction interaction) { interaction_ = std::move(interaction); }
    void setProgramDir(const QString& dir) { programDir_ = dir; }
    // Looks at the bus again (a bootloader that failed a block may have left
    // it, and not every system says so).
    void setRescan(std::function<void()> rescan) { rescan_ = std::move(rescan); }

    // Called by discovery right after it claimed a bootloader: offers the
    // file dialog; a chosen file is flashed, a cancelled dialog resets the
    // bootloader.
    void offerFirmware(BootloaderKind kind);
    // The file dialog again for the held bootloader; false when cancelled.
    bool chooseAndFlash(BootloaderKind kind);
    // Starts flashing the file through the held bootloader; false when there
    // is none (nothing happens then, and finished() is not told).
    bool WriteFlash(const QString& path);
    bool running() const { return running_; }

signals:
    // Bytes sent so far of the bytes to send, after each block.
    void progress(qint64 done, qint64 total);
    // The update ended: ok when every block went through; otherwise why not
    // (the message also announced).
    void finished(bool ok, const kv::TextMessage& reason);

private:
    QString chooseFile(BootloaderKind kind);
    void sendResetRequest();
    void sendNextBlock();
    void finish(bool failed, const TextMessage& reason);
    void abortGone();

    Discovery& discovery_;
    Reporter& reporter_;
    FlashInteraction interaction_;
    std::function<void()> rescan_;
    QString programDir_;
    // The device information of the last bootloader read in this run; sent
    // back with the reset request.
    std::array<std::uint8_t, 6> lastDeviceInfo_{};

    // The update in progress.
    bool running_ = false;
    std::vector<std::uint8_t> image_;
    std::uint32_t next_ = 0;
    std::uint32_t first_ = 0;
    std::uint32_t end_ = 0;
    int attempt_ = 0;
    bool blockFailed_ = false;
    QTimer step_;
};

} // namespace kv
