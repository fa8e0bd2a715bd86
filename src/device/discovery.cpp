#include "device/discovery.h"

#include "device/board_link.h"
#include "device/hid_controller.h"
#include "text/product.h"
#include "text/reporter.h"

namespace kv {

namespace discoverytext {

QString bootloaderFound(BootloaderKind kind) {
    const QString generation = QString::fromLatin1(product::GenerationName);
    if (kind == BootloaderKind::Avr328p)
        return generation + QStringLiteral(" (328p) - Bootloader erkannt");
    return generation + QStringLiteral(" - Bootloader erkannt");
}

QString boardFound(int firmwareVersion) {
    const QString generation = QString::fromLatin1(product::GenerationName);
    if (firmwareVersion == product::FirmwareVersion)
        return QString::fromLatin1(product::ApplicationTitle) + QStringLiteral(" erkannt");
    if (firmwareVersion == 0)
        return generation + QString::fromUtf8(" erkannt (andere Firmwareversion). Bitte "
                                              "aktualisieren (siehe Menü \"Datei\")!");
    return generation + QLatin1Char('.') + QString::number(firmwareVersion) +
           QString::fromUtf8(" erkannt. Bitte die Firmware aktualisieren (siehe Menü \"Datei\")!");
}

QString boardGone() {
    return QString::fromLatin1(product::GenerationName) + QStringLiteral(" entfernt");
}

QString bootloaderGone() {
    return QString::fromLatin1(product::ManufacturerString) +
           QStringLiteral("-Bootloader entfernt");
}

QString noPermission(const QString& systemMessage) {
    return QString::fromLatin1(product::GenerationName) +
           QString::fromUtf8(
               " gefunden, aber kein Zugriff auf das Gerät (%1). Unter Linux die "
               "udev-Regel aus packaging/linux installieren (siehe README); danach wird "
               "die Platine ohne Neustart erkannt.")
               .arg(systemMessage);
}

} // namespace discoverytext

Discovery::Discovery(TJvHidDeviceController& controller, BoardLink& link, Reporter& reporter,
                     QObject* parent)
    : QObject(parent), controller_(controller), link_(link), reporter_(reporter) {
    controller_.setOnEnumerate(
        [this](TJvHidDevice* device, int index) { return HidCtlEnumerate(device, index); });
    connect(&controller_, &TJvHidDeviceController::OnDeviceChange, this,
            &Discovery::HidCtlDeviceChange);
}

void Discovery::HidCtlDeviceChange() {
    if (bootloader_ && !bootloader_->PluggedIn()) {
        controller_.Release(bootloader_);
        bootloader_ = nullptr;
        emit bootloaderGone();
        reporter_.announce(discoverytext::bootloaderGone());
    }
    if (board_ && !board_->PluggedIn()) {
        controller_.Release(board_);
        board_ = nullptr;
        link_.setBoard(nullptr);
        connected_ = false;
        emit boardGone();
        reporter_.announce(discoverytext::boardGone());
    }
    if (!bootloader_ && !board_)
        emit linkStateChanged(LinkState::NoDevice);
    controller_.EnumeratePlugged();
}

bool Discovery::HidCtlEnumerate(TJvHidDevice* device, int index) {
    const QString manufacturer = device->ManufacturerString();
    const QString productName = device->ProductString();
    reporter_.log(deviceLogLine(index, device->VendorID(), device->ProductID(), manufacturer,
                                productName, device->SerialNumberString()));

    switch (classifyDevice(manufacturer, productName)) {
    case DeviceKind::ClassicBootloader:
        if (!bootloader_)
            claimBootloader(index, BootloaderKind::Classic);
        break;
    case DeviceKind::Bootloader328p:
        if (!bootloader_)
            claimBootloader(index, BootloaderKind::Avr328p);
        break;
    case DeviceKind::Board:
        if (!board_ && boardChoice_.matches(device->Info()))
            claimBoard(index);
        break;
    case DeviceKind::Foreign:
        break;
    }
    return true;
}

void Discovery::claimBootloader(int index, BootloaderKind kind) {
    TJvHidDevice* claimed = controller_.ClaimByIndex(index);
    if (!claimed)
        return;
    bootloader_ = claimed;
    bootloaderKind_ = kind;
    emit bootloaderClaimed(kind);
    emit linkStateChanged(LinkState::Bootloader);
    reporter_.announce(discoverytext::bootloaderFound(kind));
    if (firmwareOffer)
        firmwareOffer(kind);
}

void Discovery::claimBoard(int index) {
    TJvHidDevice* claimed = controller_.ClaimByIndex(index);
    if (!claimed)
        return;
    board_ = claimed;
    link_.setBoard(claimed);
    const bool infoOk = link_.GetInfoConfig();

    // A board this user may not open would look like one with firmware 0: say
    // what is wrong instead, and give it back so the next scan tries again.
    if (!infoOk && claimed->LastOpenError() == HidOpenError::PermissionDenied) {
        boardProblem_ = discoverytext::noPermission(claimed->LastOpenMessage());
        reporter_.announce(boardProblem_);
        link_.setBoard(nullptr);
        board_ = nullptr;
        controller_.Release(claimed);
        if (!bootloader_)
            emit linkStateChanged(LinkState::NoDevice);
        return;
    }

    // A failed read leaves the record of an earlier board in place: its
    // version says nothing about this one, which counts as unknown.
    const int version = infoOk ? int(link_.info.FirmwareVersion) : 0;
    boardProblem_.clear();
    if (version == product::FirmwareVersion) {
        if (readAllOnConnect_) {
            link_.GetSchedule();
            link_.GetExpertChart();
        }
        connected_ = true;
        emit boardConnected();
        emit linkStateChanged(LinkState::Connected);
    } else {
        boardProblem_ = discoverytext::boardFound(version);
        emit boardWithOtherFirmware(version);
        emit linkStateChanged(LinkState::OtherFirmware);
    }
    reporter_.announce(discoverytext::boardFound(version));
}

} // namespace kv
