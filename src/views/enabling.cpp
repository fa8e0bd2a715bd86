#include "views/enabling.h"

#include "device/records/expert_block.h"
#include "device/records/info_block.h"

#include <QAction>
#include <QWidget>

namespace kv {

ViewFacts factsOf(const InfoBlock& info, const ExpertBlock& expert, bool connected,
                  bool bootloaderHeld) {
    ViewFacts facts;
    facts.connected = connected;
    facts.mode = info.Mode;
    facts.fanMode = expert.FanMode;
    facts.sensor = info.WaterTemp != NoValue;
    facts.bootloaderHeld = bootloaderHeld;
    return facts;
}

bool isEnabledBy(EnableRule rule, const ViewFacts& facts) {
    if (!facts.connected)
        return false;
    switch (rule) {
    case EnableRule::Connected:
        return true;
    case EnableRule::ConnectedManual:
        return facts.mode == std::uint8_t(BoardMode::Manual);
    case EnableRule::ConnectedFanNotTemp:
        return facts.fanMode != ExpertBlock::FanModeWater;
    case EnableRule::ConnectedAutoOrGeo:
        return facts.mode == std::uint8_t(BoardMode::Auto) ||
               facts.mode == std::uint8_t(BoardMode::Geo);
    case EnableRule::ConnectedSensor:
        return facts.sensor;
    case EnableRule::ConnectedSensorNotLed:
        return facts.sensor && !facts.fanFollowsLeds;
    }
    return false;
}

void EnablingList::add(EnableRule rule, std::initializer_list<QWidget*> widgets) {
    for (QWidget* widget : widgets)
        widgets_.emplace_back(widget, rule);
}

void EnablingList::add(EnableRule rule, QAction* action) {
    actions_.emplace_back(action, rule);
}

void EnablingList::apply(const ViewFacts& facts) const {
    for (const auto& [widget, rule] : widgets_)
        widget->setEnabled(isEnabledBy(rule, facts));
    for (const auto& [action, rule] : actions_)
        action->setEnabled(isEnabledBy(rule, facts));
}

} // namespace kv
