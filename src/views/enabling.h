#pragma once

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

class QAction;
class QWidget;

namespace kv {

// When a control is usable. Every control follows the connection: all are
// disabled without a board, and some need more.
enum class EnableRule {
    Connected,
    ConnectedManual,       // and the board is in mode Manual
    ConnectedFanNotTemp,   // and the fan is not temperature controlled
    ConnectedAutoOrGeo,    // and the board is in mode Auto or Geo
    ConnectedSensor,       // and a water-temperature sensor is connected
    ConnectedSensorNotLed, // as the previous, and the fan does not follow the LEDs
};

// What the rules look at; the window hands the first ones to every view, a
// view fills in what only it knows (fanFollowsLeds is its radio button).
struct ViewFacts {
    bool connected = false;
    std::uint8_t mode = 0;       // InfoBlock Mode
    std::uint8_t fanMode = 0;    // ExpertBlock FanMode
    bool sensor = false;         // InfoBlock WaterTemp is not NoValue
    bool bootloaderHeld = false; // a firmware update can go on
    bool fanFollowsLeds = false; // the fan-mode button "LED cooling" is selected
};

struct ExpertBlock;
struct InfoBlock;

// The facts of the records as they stand.
ViewFacts factsOf(const InfoBlock& info, const ExpertBlock& expert, bool connected,
                  bool bootloaderHeld);

bool isEnabledBy(EnableRule rule, const ViewFacts& facts);

// A view's controls with the rule each follows.
class EnablingList {
public:
    void add(EnableRule rule, std::initializer_list<QWidget*> widgets);
    void add(EnableRule rule, QAction* action);
    // Enables or disables every control by its rule. A tab sheet in the list
    // stays selectable; its content follows the rule.
    void apply(const ViewFacts& facts) const;

private:
    std::vector<std::pair<QWidget*, EnableRule>> widgets_;
    std::vector<std::pair<QAction*, EnableRule>> actions_;
};

} // namespace kv
