#include "sim/simulation.h"

#include "sim/sim_state.h"

namespace kv::sim {

Simulation::Simulation(State state) : state_(state) {
    if (state_ == State::Keep)
        loadSimulatorState(backend_);
}

void Simulation::save() {
    if (state_ == State::Keep)
        saveSimulatorState(backend_);
}

} // namespace kv::sim
