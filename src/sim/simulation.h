#pragma once

#include "device/device_source.h"
#include "sim/bus_control.h"
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
//
// With State::Keep two environment variables shape the simulated bus, for
// tests and demonstrations of the programs:
// - KESTVELQOR_SIM_BOARDS: how many boards (1 to MaxBoards, default 1), with
//   the serial numbers SIM-0001, SIM-0002, ...;
// - KESTVELQOR_SIM_CONTROL: a control file (see bus_control.h) that unplugs
//   and replugs boards and adds other devices while the program runs; it is
//   read at start and looked at every ControlCheckMs.
class Simulation : public QObject {
    Q_OBJECT
public:
    enum class State {
        Fresh, // factory settings, nothing kept, one board
        Keep,  // loaded from the state file and saved there; the environment applies
    };
    static constexpr int SaveDelayMs = 1000;
    static constexpr int MaxBoards = 16;
    static constexpr int ControlCheckMs = 100;
    // A control file longer than this is not read.
    static constexpr qint64 MaxControlBytes = 64 * 1024;

    explicit Simulation(State state, QObject* parent = nullptr);
    ~Simulation() override;

    SimBackend& backend() { return backend_; }
    SimulatedBoard& board(int index = 0) { return backend_.board(index); }
    int boardCount() const { return backend_.boardCount(); }
    DeviceSource source() { return {&backend_, &backend_}; }

    // Keeps every report the boards and the bootloader receive (default on);
    // a long session turns it off.
    void setRecording(bool on);

    // A firmware update asks a running board to enter its bootloader with
    // command 254: the simulated board does so on the next one.
    void enterBootloaderOnNextSave() { backend_.setEnterBootloaderOnSave(true); }

    // Writes the board's settings to the state file now (State::Keep only).
    void save();
    // Whether a save is due (the board took a write since the last one).
    bool savePending() const { return saveTimer_.isActive(); }

private:
    void readControl();

    SimBackend backend_;
    State state_;
    QTimer saveTimer_;
    QString controlPath_;
    QByteArray controlText_;
    BusControl control_;
    QTimer controlTimer_;
};

} // namespace kv::sim
