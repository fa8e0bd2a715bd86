#pragma once

#include "device/device_session.h"
#include "sim/sim_backend.h"

namespace kv::sim {

// The simulated board as --simulate puts it on the device list, beside the
// computer's own devices. Both programs set it up here, where they read
// --simulate; nothing else of them knows it is there.
class Simulation {
public:
    enum class State {
        Fresh, // factory settings
        Keep,  // loaded from the state file, and saved there by save()
    };

    explicit Simulation(State state);

    SimBackend& backend() { return backend_; }
    SimulatedBoard& board() { return backend_.board(); }
    DeviceSource source() { return {&backend_, &backend_}; }

    // A firmware update asks a running board to enter its bootloader with
    // command 254: the simulated board does so on the next one.
    void enterBootloaderOnNextSave() { backend_.setEnterBootloaderOnSave(true); }

    // Writes the board's settings to the state file (State::Keep only).
    void save();

private:
    SimBackend backend_;
    State state_;
};

} // namespace kv::sim
