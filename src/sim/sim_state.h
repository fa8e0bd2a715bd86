#pragma once

#include <QString>

namespace kv::sim {

class SimBackend;

// The simulated board keeps its settings from one run of a program to the
// next, as a real board does: its records live in a small file
// (KESTVELQOR_SIM_STATE, or kestvelqor/simulated-board.ini in the user's data
// folder). Delete the file to get a factory-fresh board. With several simulated
// boards the first keeps its keys at the top of the file and the others have
// groups of their own (Board2, Board3, ...).
QString simulatorStatePath();
void loadSimulatorState(SimBackend& simulator);
// Written atomically (a temporary file renamed over the old one), so two
// programs saving at once leave one whole file: the last writer's. False
// when the file could not be written; the old one then stays.
bool saveSimulatorState(SimBackend& simulator);

} // namespace kv::sim
