#pragma once

// A board link wired to the simulated board through the real HID controller.

#include "device/board_link.h"
#include "device/hid_controller.h"
#include "sim/sim_backend.h"
#include "support/recording_reporter.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>

namespace kv::testing {

// Index of the first device in the controller's list whose product string is
// the given one; -1 if none.
inline int indexOfProduct(TJvHidDeviceController& controller, const QString& product) {
    for (int i = 0; i < controller.deviceCount(); ++i)
        if (controller.deviceAt(i)->Info().product.value_or(QString()) == product)
            return i;
    return -1;
}

// Lets queued device notifications of the simulator arrive.
inline void deliverNotifications() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

struct LinkedBoard {
    sim::SimBackend sim;
    TJvHidDeviceController controller;
    BoardLink link;

    LinkedBoard() {
        controller.addBackend(&sim);
        controller.scanNow(true);
        const int index = indexOfProduct(controller, QStringLiteral("KestVELQOR"));
        link.setBoard(controller.ClaimByIndex(index));
        board().clearTransfers();
    }
    sim::SimulatedBoard& board() { return sim.board(); }

    // Set-feature transfers the board received with this report id.
    std::vector<sim::Transfer> writes(std::uint8_t reportId) {
        std::vector<sim::Transfer> result;
        for (const auto& t : board().transfers())
            if (t.write && !t.bytes.empty() && t.bytes[0] == reportId)
                result.push_back(t);
        return result;
    }
    std::vector<sim::Transfer> reads(std::uint8_t reportId) {
        std::vector<sim::Transfer> result;
        for (const auto& t : board().transfers())
            if (!t.write && !t.bytes.empty() && t.bytes[0] == reportId)
                result.push_back(t);
        return result;
    }
};

} // namespace kv::testing
