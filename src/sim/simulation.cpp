#include "sim/simulation.h"

#include "sim/sim_state.h"

namespace kv::sim {

Simulation::Simulation(State state, QObject* parent) : QObject(parent), state_(state) {
    if (state_ != State::Keep)
        return;
    loadSimulatorState(backend_);
    saveTimer_.setSingleShot(true);
    saveTimer_.setInterval(SaveDelayMs);
    connect(&saveTimer_, &QTimer::timeout, this, &Simulation::save);
    // Writes in a burst (a schedule, a dragged slider) give one save.
    connect(&backend_, &SimBackend::boardWritten, this, [this] {
        if (!saveTimer_.isActive())
            saveTimer_.start();
    });
}

Simulation::~Simulation() = default;

void Simulation::save() {
    if (state_ != State::Keep)
        return;
    saveTimer_.stop();
    saveSimulatorState(backend_);
}

} // namespace kv::sim
