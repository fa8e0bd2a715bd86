#pragma once

#include <QString>

#include <vector>

class QObject;
class QWidget;

namespace kv {

// When a control of the window is usable. The window's controls follow the
// connection: all are disabled without a board, and some need more.
enum class EnableRule {
    Connected,
    ConnectedManual,       // and the board is in mode Manual
    ConnectedFanNotTemp,   // and the fan is not temperature controlled
    ConnectedAutoOrGeo,    // and the board is in mode Auto or Geo
    ConnectedSensor,       // and a water-temperature sensor is connected
    ConnectedSensorNotLed, // as the previous, and the fan does not follow the LEDs
};

struct EnableEntry {
    QString name;
    EnableRule rule;
};

// What the rules look at.
struct EnableFacts {
    bool connected = false;
    int mode = 0;                // InfoBlock Mode
    int fanMode = 0;             // ExpertBlock FanMode
    bool sensor = false;         // InfoBlock WaterTemp is not NoValue
    bool fanFollowsLeds = false; // rbtFMOLED selected
};

bool isEnabledBy(EnableRule rule, const EnableFacts& facts);

// Every control the connection enables, by component name, the per-channel
// ones for channels 0 to 3. Controls of views the window does not have are in
// the table all the same; they are skipped where they are missing.
const std::vector<EnableEntry>& enablingTable();

// Sets the enabled state of every control of the table that the window has
// (widgets and menu items). Returns how many were found.
int applyEnabling(QWidget* window, const EnableFacts& facts);

} // namespace kv
