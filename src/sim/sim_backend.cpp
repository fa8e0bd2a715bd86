#include "sim/sim_backend.h"

#include "text/product.h"

#include <QMetaObject>
#include <QPointer>

#include <algorithm>

namespace kv::sim {

namespace {
constexpr std::uint16_t ReleaseNumber = 0x0100;
constexpr std::uint16_t ForeignVendorId = 0x1A2B;
constexpr std::size_t LineReportLength = SimulatedBoard::LineReportLength;

QString openErrorText(HidOpenError error) {
    switch (error) {
    case HidOpenError::PermissionDenied:
        return QStringLiteral("Permission denied");
    case HidOpenError::Gone:
        return QStringLiteral("No such device");
    case HidOpenError::Other:
        return QStringLiteral("Input/output error");
    case HidOpenError::None:
        break;
    }
    return {};
}

std::string pathOf(const char* kind, std::uint64_t plug) {
    return std::string("sim:") + kind + "/" + std::to_string(plug);
}
} // namespace

// An open simulated device. It stays bound to the plug it was opened on:
// after an unplug (or once the backend is gone) every transfer fails.
class SimConnection : public HidConnection {
public:
    SimConnection(SimBackend* backend, SimBackend::Target target, std::uint64_t plug)
        : backend_(backend), target_(target), plug_(plug) {}

    bool getFeature(std::uint8_t* buffer, std::size_t length) override {
        if (!present())
            return false;
        switch (target_) {
        case SimBackend::Target::Board:
            return backend_->boardOnPlug(plug_)->getFeature(buffer, length);
        case SimBackend::Target::Bootloader:
            return backend_->bootloader_.getFeature(buffer, length);
        case SimBackend::Target::Foreign:
            break;
        }
        return false;
    }

    bool setFeature(const std::uint8_t* buffer, std::size_t length) override {
        if (!present())
            return false;
        switch (target_) {
        case SimBackend::Target::Board:
            if (!backend_->boardOnPlug(plug_)->setFeature(buffer, length))
                return false;
            backend_->afterBoardWrite(plug_, buffer, length);
            return true;
        case SimBackend::Target::Bootloader:
            if (!backend_->bootloader_.setFeature(buffer, length))
                return false;
            backend_->afterBootloaderWrite(buffer, length);
            return true;
        case SimBackend::Target::Foreign:
            break;
        }
        return false;
    }

private:
    bool present() const { return backend_ && backend_->isPlugged(target_, plug_); }

    QPointer<SimBackend> backend_;
    SimBackend::Target target_;
    std::uint64_t plug_;
};

SimBackend::SimBackend(QObject* parent)
    : DeviceChangeSource(parent),
      boardManufacturer_(QString::fromLatin1(product::ManufacturerString)),
      boardProduct_(QString::fromLatin1(product::Name)) {
    addBoard();
}

SimBackend::~SimBackend() = default;

void SimBackend::announceLater() {
    QMetaObject::invokeMethod(
        this, [this] { emit deviceNodesChanged(); }, Qt::QueuedConnection);
}

int SimBackend::addBoard() {
    boards_.push_back({std::make_unique<SimulatedBoard>(), nextPlug_++});
    // The first board is there from the start; later ones arrive.
    if (boards_.size() > 1)
        announceLater();
    return int(boards_.size()) - 1;
}

QString SimBackend::boardSerial(int index) {
    return QStringLiteral("SIM-%1").arg(index + 1, 4, 10, QLatin1Char('0'));
}

void SimBackend::plugBoard(int index) {
    BoardSlot& slot = boards_.at(std::size_t(index));
    if (slot.plug != 0)
        return;
    slot.plug = nextPlug_++;
    announceLater();
}

void SimBackend::unplugBoard(int index) {
    BoardSlot& slot = boards_.at(std::size_t(index));
    if (slot.plug == 0)
        return;
    slot.plug = 0;
    announceLater();
}

void SimBackend::plugBootloader(BootloaderKind kind) {
    if (bootloaderPlugged() && bootloader_.kind() == kind)
        return;
    unplugBootloader();
    bootloader_.setKind(kind);
    bootloaderPlug_ = nextPlug_++;
    blocksAtBootloaderPlug_ = bootloader_.blocks().size();
    bootloader_.forgetMissingBlocks();
    announceLater();
}

void SimBackend::pullCable(int index) {
    if (bootloaderPlugged() && boardInBootloader_ == index && !boardPlugged(index))
        unplugBootloader();
    else
        unplugBoard(index);
}

void SimBackend::plugCable(int index) {
    if (!boards_.at(std::size_t(index)).programIncomplete) {
        plugBoard(index);
        return;
    }
    boardInBootloader_ = index;
    plugBootloader(bootloader_.kind());
}

void SimBackend::unplugBootloader() {
    if (!bootloaderPlugged())
        return;
    bootloaderPlug_ = 0;
    announceLater();
}

void SimBackend::addForeignDevice(QString manufacturer, std::optional<QString> product,
                                  std::optional<QString> serial) {
    foreign_.push_back(
        {nextPlug_++, std::move(manufacturer), std::move(product), std::move(serial)});
    announceLater();
}

void SimBackend::removeForeignDevices() {
    if (foreign_.empty())
        return;
    foreign_.clear();
    announceLater();
}

void SimBackend::setBoardStrings(QString manufacturer, QString product) {
    boardManufacturer_ = std::move(manufacturer);
    boardProduct_ = std::move(product);
}

void SimBackend::setBootloaderStrings(QString manufacturer, std::optional<QString> product) {
    bootloaderManufacturer_ = std::move(manufacturer);
    bootloaderProduct_ = std::move(product);
}

void SimBackend::useDefaultBootloaderStrings() {
    bootloaderManufacturer_.reset();
    bootloaderProduct_.reset();
}

void SimBackend::setOpenError(HidOpenError error) {
    openError_ = error;
}

void SimBackend::setEnterBootloaderOnSave(bool on, BootloaderKind kind) {
    enterBootloaderOnSave_ = on;
    bootloaderKindOnSave_ = kind;
}

bool SimBackend::isPlugged(Target target, std::uint64_t plug) const {
    if (plug == 0)
        return false;
    switch (target) {
    case Target::Board:
        return std::any_of(boards_.begin(), boards_.end(),
                           [plug](const BoardSlot& slot) { return slot.plug == plug; });
    case Target::Bootloader:
        return bootloaderPlug_ == plug;
    case Target::Foreign:
        for (const auto& device : foreign_)
            if (device.plug == plug)
                return true;
        return false;
    }
    return false;
}

SimulatedBoard* SimBackend::boardOnPlug(std::uint64_t plug) {
    for (BoardSlot& slot : boards_)
        if (plug != 0 && slot.plug == plug)
            return slot.board.get();
    return nullptr;
}

void SimBackend::afterBoardWrite(std::uint64_t plug, const std::uint8_t* buffer,
                                 std::size_t length) {
    emit boardWritten();
    const bool saveCommand = length == LineReportLength && buffer[0] == ScheduleLine::ReportId &&
                             buffer[1] == std::uint8_t(BoardCommand::Save);
    if (!saveCommand || !enterBootloaderOnSave_)
        return;
    enterBootloaderOnSave_ = false;
    for (std::size_t i = 0; i < boards_.size(); ++i)
        if (boards_[i].plug == plug)
            boardInBootloader_ = int(i);
    unplugBoard(boardInBootloader_);
    plugBootloader(bootloaderKindOnSave_);
}

void SimBackend::afterBootloaderWrite(const std::uint8_t* buffer, std::size_t length) {
    BoardSlot& slot = boards_.at(std::size_t(boardInBootloader_));
    const bool block = length == SimulatedBootloader::BlockReportLength && buffer[0] == 2;
    if (block) {
        // The old program is being overwritten: until every block is in
        // place there is no whole program to start. (With the board itself
        // on the bus the bootloader is another one's.)
        if (!boardPlugged(boardInBootloader_))
            slot.programIncomplete = true;
        return;
    }
    const bool resetRequest = length == SimulatedBootloader::InfoReportLength && buffer[0] == 1;
    if (!resetRequest)
        return;
    const bool flashed = bootloader_.blocks().size() > blocksAtBootloaderPlug_;
    unplugBootloader();
    if (boardPlugged(boardInBootloader_))
        return; // that board is already there: the bootloader was another one's
    if (flashed && !bootloader_.hasMissingBlocks())
        slot.programIncomplete = false;
    if (slot.programIncomplete) {
        // Nothing whole to start: the bootloader comes up again.
        plugBootloader(bootloader_.kind());
        return;
    }
    // A new firmware starts with its default settings; without a flash the
    // board starts its old firmware with the settings it had.
    if (flashed)
        board(boardInBootloader_).resetToDefaults(firmwareAfterFlash_);
    plugBoard(boardInBootloader_);
}

std::vector<HidDeviceInfo> SimBackend::enumerate() {
    std::vector<HidDeviceInfo> devices;
    for (std::size_t i = 0; i < boards_.size(); ++i) {
        if (boards_[i].plug == 0)
            continue;
        HidDeviceInfo& d = devices.emplace_back();
        d.path = d.instanceId = pathOf("board", boards_[i].plug);
        d.vendorId = VendorId;
        d.productId = BoardProductId;
        d.releaseNumber = ReleaseNumber;
        d.manufacturer = boardManufacturer_;
        d.product = boardProduct_;
        d.serialNumber = boardSerial(int(i));
    }
    if (bootloaderPlugged()) {
        const bool classic = bootloader_.kind() == BootloaderKind::Classic;
        HidDeviceInfo& d = devices.emplace_back();
        d.path = d.instanceId = pathOf("bootloader", bootloaderPlug_);
        d.vendorId = VendorId;
        d.productId = classic ? ClassicBootloaderProductId : Avr328pBootloaderProductId;
        d.releaseNumber = ReleaseNumber;
        d.manufacturer =
            bootloaderManufacturer_.value_or(QString::fromLatin1(product::ManufacturerString));
        if (bootloaderProduct_)
            d.product = *bootloaderProduct_;
        else if (!classic)
            d.product = QStringLiteral("0");
    }
    for (const auto& foreign : foreign_) {
        HidDeviceInfo& d = devices.emplace_back();
        d.path = d.instanceId = pathOf("foreign", foreign.plug);
        d.vendorId = ForeignVendorId;
        d.productId = std::uint16_t(foreign.plug);
        d.releaseNumber = ReleaseNumber;
        d.manufacturer = foreign.manufacturer;
        d.product = foreign.product;
        d.serialNumber = foreign.serial;
    }
    return devices;
}

HidOpenResult SimBackend::open(const HidDeviceInfo& device) {
    HidOpenResult result;
    if (openError_ != HidOpenError::None) {
        result.error = openError_;
        result.message = openErrorText(openError_);
        return result;
    }
    auto connect = [&](Target target, std::uint64_t plug) {
        result.connection = std::make_unique<SimConnection>(this, target, plug);
        return std::move(result);
    };
    for (const BoardSlot& slot : boards_)
        if (slot.plug != 0 && device.path == pathOf("board", slot.plug))
            return connect(Target::Board, slot.plug);
    if (bootloaderPlugged() && device.path == pathOf("bootloader", bootloaderPlug_))
        return connect(Target::Bootloader, bootloaderPlug_);
    for (const auto& foreign : foreign_)
        if (device.path == pathOf("foreign", foreign.plug))
            return connect(Target::Foreign, foreign.plug);
    result.error = HidOpenError::Gone;
    result.message = openErrorText(HidOpenError::Gone);
    return result;
}

} // namespace kv::sim
