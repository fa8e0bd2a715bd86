#pragma once

#include "device/device_session.h"
#include "sim/sim_backend.h"

#include <QObject>
#include <QTimer>

namespace kv::sim {

// The simulated board as --simulate puts it on the device list, beside the
// computer's own devices. Both programs set it up here, where they read
// --simulate; nothing else of them knows it is there.
//
// Like a real board it keeps its settings: with State::Keep it starts from
// the state file and writes it back at most once a second after the program
// wrote to the board, and on save(). So the window and the command-line tool
// see one and the same board, also one after the other.
class Simulation : public QObject {
    Q_OBJECT
public:
    enum class State {
        Fresh, // factory settings, nothing kept
        Keep,  // loaded from the state file and saved there
    };
    static constexpr int SaveDelayMs = 1000;

    explicit Simulation(State state, QObject* parent = nullptr);
    ~Simulation() override;

    SimBackend& backend() { return backend_; }
    SimulatedBoard& board() { return backend_.board(); }
    DeviceSource source() { return {&backend_, &backend_}; }

    // A firmware update asks a running board to enter its bootloader with
    // command 254: the simulated board does so on the next one.
    void enterBootloaderOnNextSave() { backend_.setEnterBootloaderOnSave(true); }

    // Writes the board's settings to the state file now (State::Keep only).
    void save();
    // Whether a save is due (the board took a write since the last one).
    bool savePending() const { return saveTimer_.isActive(); }

private:
    SimBackend backend_;
    State state_;
    QTimer saveTimer_;
};

} // namespace kv::sim
