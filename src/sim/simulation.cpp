#include "sim/simulation.h"

#include "common/regular_file.h"
#include "sim/sim_state.h"

#include <algorithm>

namespace kv::sim {

namespace {

// The number of boards the environment asks for; 1 when it asks for none or
// for something else.
int boardsWanted() {
    bool ok = false;
    const int wanted = qEnvironmentVariableIntValue("KESTVELQOR_SIM_BOARDS", &ok);
    if (!ok || wanted < 1)
        return 1;
    return std::min(wanted, Simulation::MaxBoards);
}

} // namespace

Simulation::Simulation(State state, QObject* parent) : QObject(parent), state_(state) {
    if (state_ != State::Keep)
        return;
    while (backend_.boardCount() < boardsWanted())
        backend_.addBoard();
    loadSimulatorState(backend_);
    saveTimer_.setSingleShot(true);
    saveTimer_.setInterval(SaveDelayMs);
    connect(&saveTimer_, &QTimer::timeout, this, &Simulation::save);
    // Writes in a burst (a schedule, a dragged slider) give one save.
    connect(&backend_, &SimBackend::boardWritten, this, [this] {
        if (!saveTimer_.isActive())
            saveTimer_.start();
    });

    controlPath_ = qEnvironmentVariable("KESTVELQOR_SIM_CONTROL");
    if (controlPath_.isEmpty())
        return;
    // The bus is as the file says from the first scan on.
    readControl();
    controlTimer_.setInterval(ControlCheckMs);
    connect(&controlTimer_, &QTimer::timeout, this, &Simulation::readControl);
    controlTimer_.start();
}

Simulation::~Simulation() = default;

void Simulation::setRecording(bool on) {
    for (int index = 0; index < backend_.boardCount(); ++index)
        backend_.board(index).setRecording(on);
    backend_.bootloader().setRecording(on);
}

void Simulation::readControl() {
    const RegularFileRead read = readRegularFile(controlPath_, MaxControlBytes);
    // A missing file says nothing is unplugged and nothing added.
    QByteArray text;
    if (read.outcome == RegularFileRead::Outcome::Read)
        text = read.data;
    else if (read.outcome != RegularFileRead::Outcome::Missing)
        return; // being replaced, or not a file: keep the bus as it is
    if (text == controlText_)
        return;
    controlText_ = text;
    const BusControl now = parseBusControl(QString::fromUtf8(text));
    applyBusControl(backend_, control_, now);
    control_ = now;
}

void Simulation::save() {
    if (state_ != State::Keep)
        return;
    saveTimer_.stop();
    saveSimulatorState(backend_);
}

} // namespace kv::sim
