#pragma once

#include "device/hid_backend.h"
#include "sim/simulated_board.h"
#include "sim/simulated_bootloader.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace kv::sim {

// The simulated boards and their bootloader on a bus of their own, seen
// through the same backend interface as real HID devices. Every plug change
// is announced with deviceNodesChanged(), queued to the event loop as a real
// device arrival is, never from inside the call that caused it. Each plug
// gives the device a fresh instance id; connections opened before an unplug
// fail from then on, as on a device that is gone.
//
// There is one board at start (index 0, serial number "SIM-0001"); more can
// be added, each with a serial number of its own. Calls without a board index
// mean board 0.
class SimBackend : public DeviceChangeSource, public HidBackend {
    Q_OBJECT
public:
    static constexpr std::uint16_t VendorId = 0x4B56;
    static constexpr std::uint16_t BoardProductId = 0x0001;
    static constexpr std::uint16_t ClassicBootloaderProductId = 0x0002;
    static constexpr std::uint16_t Avr328pBootloaderProductId = 0x0003;

    explicit SimBackend(QObject* parent = nullptr); // the board starts plugged in
    ~SimBackend() override;

    SimulatedBoard& board(int index = 0) { return *boards_.at(std::size_t(index)).board; }
    SimulatedBootloader& bootloader() { return bootloader_; }

    // Adds a board, plugged in, with the next serial number; returns its index.
    int addBoard();
    int boardCount() const { return int(boards_.size()); }
    // "SIM-0001" for board 0, "SIM-0002" for board 1, ...
    static QString boardSerial(int index);

    void plugBoard(int index = 0);
    void unplugBoard(int index = 0);
    bool boardPlugged(int index = 0) const { return boards_.at(std::size_t(index)).plug != 0; }
    void plugBootloader(BootloaderKind kind);
    void unplugBootloader();
    bool bootloaderPlugged() const { return bootloaderPlug_ != 0; }

    // The board's USB cable pulled and plugged in again, whatever runs on the
    // board: a board in its bootloader takes the bootloader off the bus, and
    // a board whose program was only partly flashed comes back in its
    // bootloader (there is no whole program to start); otherwise the board
    // comes back with its firmware and settings.
    void pullCable(int index = 0);
    void plugCable(int index = 0);
    // Whether the board's flash holds a partly written program: blocks were
    // stored, but the flash never completed with every block in place.
    bool programIncomplete(int index = 0) const {
        return boards_.at(std::size_t(index)).programIncomplete;
    }

    // Extra devices with any strings (a foreign device, or one that looks
    // like a bootloader); they open, but every transfer fails. A missing
    // string is one the device does not give.
    void addForeignDevice(QString manufacturer, std::optional<QString> product,
                          std::optional<QString> serial = std::nullopt);
    void removeForeignDevices();

    // Default "Kest Lighting" / "KestVELQOR"; used from the next enumeration.
    void setBoardStrings(QString manufacturer, QString product);
    // The bootloader's strings: by default the maker's manufacturer string
    // and no product string (classic) or "0" (328p). Used from the next
    // enumeration; useDefaultBootloaderStrings() returns to the defaults.
    void setBootloaderStrings(QString manufacturer, std::optional<QString> product);
    void useDefaultBootloaderStrings();

    // Every open fails with this error from now on (None: opens work again).
    void setOpenError(HidOpenError error);

    // Arms the next command 254: it then takes the board that received it
    // off the bus and brings up its bootloader of the given kind, as the
    // firmware update asks the board to. One command only: a later 254 just
    // saves the settings.
    void setEnterBootloaderOnSave(bool on, BootloaderKind kind = BootloaderKind::Classic);
    bool enterBootloaderOnSave() const { return enterBootloaderOnSave_; }
    // The firmware version the board reports when it comes back after a
    // flash (default 12).
    void setFirmwareAfterFlash(std::uint8_t version) { firmwareAfterFlash_ = version; }

    std::vector<HidDeviceInfo> enumerate() override;
    HidOpenResult open(const HidDeviceInfo& device) override;

signals:
    // A board took a written report (its settings may have changed).
    void boardWritten();

private:
    friend class SimConnection;
    enum class Target { Board, Bootloader, Foreign };

    struct BoardSlot {
        std::unique_ptr<SimulatedBoard> board;
        std::uint64_t plug = 0; // 0: not plugged
        bool programIncomplete = false;
    };
    struct ForeignDevice {
        std::uint64_t plug;
        QString manufacturer;
        std::optional<QString> product;
        std::optional<QString> serial;
    };

    bool isPlugged(Target target, std::uint64_t plug) const;
    // The board on that plug, or null when it is not (or no longer) there.
    SimulatedBoard* boardOnPlug(std::uint64_t plug);
    void afterBoardWrite(std::uint64_t plug, const std::uint8_t* buffer, std::size_t length);
    void afterBootloaderWrite(const std::uint8_t* buffer, std::size_t length);
    void announceLater();

    std::vector<BoardSlot> boards_;
    SimulatedBootloader bootloader_;

    std::uint64_t nextPlug_ = 1;
    std::uint64_t bootloaderPlug_ = 0; // 0: not plugged
    int boardInBootloader_ = 0;        // the board whose bootloader is up
    std::size_t blocksAtBootloaderPlug_ = 0;
    std::vector<ForeignDevice> foreign_;

    QString boardManufacturer_;
    QString boardProduct_;
    std::optional<QString> bootloaderManufacturer_;
    std::optional<std::optional<QString>> bootloaderProduct_;
    HidOpenError openError_ = HidOpenError::None;
    bool enterBootloaderOnSave_ = false;
    BootloaderKind bootloaderKindOnSave_ = BootloaderKind::Classic;
    std::uint8_t firmwareAfterFlash_ = 12;
};

} // namespace kv::sim
