#pragma once

#include <QString>

namespace kv::sim {

class SimBackend;

// The simulated board keeps its settings from one run of a program to the
// next, as a real board does: its records live in a small file
// (KESTVELQOR_SIM_STATE, or kestvelqor/simulated-board.ini in the user's data
// folder). Delete the file to get a factory-fresh board.
QString simulatorStatePath();
void loadSimulatorState(SimBackend& simulator);
void saveSimulatorState(SimBackend& simulator);

} // namespace kv::sim
