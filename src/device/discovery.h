#pragma once

#include "device/device_choice.h"
#include "device/device_kind.h"

#include <QObject>
#include <QString>

#include <functional>

namespace kv {

class BoardLink;
class Reporter;
class TJvHidDevice;
class TJvHidDeviceController;

// What discovery holds on the bus, told after each change that matters to
// the user (the window shows it on its taskbar button).
enum class LinkState {
    NoDevice,      // neither a board nor a bootloader is held
    Bootloader,    // a bootloader was claimed: an update is about to run
    OtherFirmware, // a board whose firmware is not supported is held
    Connected,     // a board with the supported firmware is connected
};

// Decides which HID device is the board and which its bootloader, claims them,
// reads everything from a newly found board and tells the window (or the
// command-line tool) what happened. It is the controller's device-change and
// enumeration handler; it knows nothing of widgets.
class Discovery : public QObject {
    Q_OBJECT
public:
    Discovery(TJvHidDeviceController& controller, BoardLink& link, Reporter& reporter,
              QObject* parent = nullptr);

    TJvHidDevice* bootloaderDevice() const { return bootloader_; }
    BootloaderKind bootloaderKind() const { return bootloaderKind_; }
    TJvHidDevice* boardDevice() const { return board_; }
    // A board with the supported firmware is held.
    bool isBoardConnected() const { return connected_; }
    // Why the last board found could not be used (another firmware, no
    // access); empty when it connected.
    QString boardProblem() const { return boardProblem_; }

    // Which board to claim when several are on the bus: only one that matches
    // the choice is taken (by default the first board found). Bootloaders
    // carry no serial number of their board and are claimed as before. Set
    // it before the first scan.
    void setBoardChoice(DeviceChoice choice) { boardChoice_ = std::move(choice); }
    const DeviceChoice& boardChoice() const { return boardChoice_; }

    // Whether a board with the supported firmware is read whole when it
    // connects (schedule, ExpertBlock and chart after the InfoBlock), as the
    // window needs; otherwise only its InfoBlock is read. Default: whole.
    void setReadAllOnConnect(bool all) { readAllOnConnect_ = all; }

    // Runs right after a bootloader has been claimed and announced, inside the
    // enumeration: offers the firmware file and flashes it.
    std::function<void(BootloaderKind)> firmwareOffer;

    // The controller's handlers.
    void HidCtlDeviceChange();
    bool HidCtlEnumerate(TJvHidDevice* device, int index);

signals:
    // A bootloader was claimed.
    void bootloaderClaimed(kv::BootloaderKind kind);
    // A board with the supported firmware was read and is connected.
    void boardConnected();
    // A board with another firmware version (0 when unknown) is held.
    void boardWithOtherFirmware(int version);
    // The held board left the bus.
    void boardGone();
    void bootloaderGone();
    // What is held now. Not told when a board leaves while a bootloader is
    // still held: the bootloader's state stands.
    void linkStateChanged(kv::LinkState state);

private:
    void claimBootloader(int index, BootloaderKind kind);
    void claimBoard(int index);

    TJvHidDeviceController& controller_;
    BoardLink& link_;
    Reporter& reporter_;
    TJvHidDevice* bootloader_ = nullptr;
    BootloaderKind bootloaderKind_ = BootloaderKind::Classic;
    TJvHidDevice* board_ = nullptr;
    bool connected_ = false;
    QString boardProblem_;
    DeviceChoice boardChoice_;
    bool readAllOnConnect_ = true;
};

// The texts discovery announces, built in code.
namespace discoverytext {
QString bootloaderFound(BootloaderKind kind);
QString boardFound(int firmwareVersion);
QString boardGone();
QString bootloaderGone();
QString noPermission(const QString& systemMessage);
} // namespace discoverytext

} // namespace kv
