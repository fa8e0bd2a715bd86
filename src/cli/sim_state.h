#pragma once

#include <QString>

namespace kv::sim {
class SimBackend;
}

namespace kv::cli {

// The simulated board keeps its settings from one run of the command-line tool
// to the next, as a real board does: its records live in a small file
// (KESTVELQOR_SIM_STATE, or kestvelqor/simulated-board.ini in the user's data
// folder). Delete the file to get a factory-fresh board.
QString simulatorStatePath();
void loadSimulatorState(sim::SimBackend& simulator);
void saveSimulatorState(sim::SimBackend& simulator);

} // namespace kv::cli
