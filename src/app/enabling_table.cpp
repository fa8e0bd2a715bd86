#include "app/enabling_table.h"

#include "app/text_applier.h"

#include <QAction>
#include <QWidget>

#include <initializer_list>

namespace kv {

namespace {

constexpr int ChannelCount = 4;

void add(std::vector<EnableEntry>& table, EnableRule rule,
         std::initializer_list<const char*> names) {
    for (const char* name : names)
        table.push_back({QString::fromLatin1(name), rule});
}

void addPerChannel(std::vector<EnableEntry>& table, EnableRule rule,
                   std::initializer_list<const char*> prefixes) {
    for (const char* prefix : prefixes)
        for (int channel = 0; channel < ChannelCount; ++channel)
            table.push_back({QString::fromLatin1(prefix) + QString::number(channel), rule});
}

std::vector<EnableEntry> buildTable() {
    using R = EnableRule;
    std::vector<EnableEntry> t;
    add(t, R::Connected,
        {"mnuScheduleImport", "mnuConfigImport", "mnuScheduleConfigExport", "mnuModeManual",
         "mnuModeAuto", "mnuModeGeo", "mnuRefresh", "mnuSaveEEPROM", "mnuAllOff", "mnuAll20",
         "mnuAllOn", "mnuSetTimeDate"});
    addPerChannel(t, R::Connected, {"lblName", "cmbName"});
    addPerChannel(t, R::ConnectedManual, {"trb", "edt", "btnOff", "btnOn"});
    add(t, R::Connected,
        {"tsSchedule", "memDescription", "lblVisualize", "cmbVisualize", "tsVisualize",
         "cbxTimeLock"});
    add(t, R::Connected,
        {"trbTimeLapse", "btnRealtime", "edtTimeLapse", "edtLCDBLMax", "edtLCDBLMin",
         "edtLCDBLNight", "trbLCDBLMax", "trbLCDBLMin", "trbLCDBLNight", "edtFanHigh", "edtFanLow",
         "trbFanHigh", "trbFanLow"});
    add(t, R::ConnectedFanNotTemp, {"edtFanOff", "trbFanOff"});
    add(t, R::Connected, {"trbCloudCount", "edtCloudCount", "trbCloudSeconds", "edtCloudSeconds",
                          "trbStormCount", "edtStormCount", "trbStormMinutes", "edtStormMinutes",
                          "lblCloudRatio", "lblStormRatio", "edtCloudAlpha",   "trbCloudAlpha",
                          "edtCloudStep",  "trbCloudStep",  "edtStormAlpha",   "trbStormAlpha",
                          "edtStormStep",  "trbStormStep",  "edtLightningP",   "trbLightningP"});
    add(t, R::ConnectedAutoOrGeo, {"btnCloud", "btnStorm"});
    add(t, R::Connected, {"lblWeatherDelay"});
    addPerChannel(t, R::Connected, {"edtWeatherDelay", "trbWeatherDelay"});
    add(t, R::Connected, {"lblMoon"});
    addPerChannel(t, R::Connected, {"edtMoon", "trbMoon"});
    add(t, R::Connected,
        {"imgTemp",
         "edtPWMPrescaler",
         "lblPWMPrescaler",
         "edtTWIBitrate",
         "lblTWIBitrate",
         "edtBalanceSumRamp",
         "rbtFMOLED",
         "rbtCHMVoltage",
         "edtChartInterval",
         "edtChartScale",
         "edtTimeZoneBias",
         "edtTimeZoneStandardMonth",
         "edtTimeZoneStandardDay",
         "edtTimeZoneStandardHour",
         "edtTimeZoneStandardDayOfWeek",
         "edtTimeZoneDaylightMonth",
         "edtTimeZoneDaylightDay",
         "edtTimeZoneDaylightHour",
         "edtTimeZoneDaylightDayOfWeek",
         "btnApplyTZI",
         "edtBalanceSum",
         "trbBalanceSum",
         "rbtJMPIRLearn",
         "rbtJMPCloud",
         "rbtJMPStorm",
         "rbtJMPLightning",
         "rbtJMPTimer",
         "lblJMPWarning1",
         "lblJMPWarning2"});
    addPerChannel(t, R::Connected, {"edtLightningMask"});
    add(t, R::ConnectedSensor,
        {"edtTempOffset", "edtCloudTempWater", "rbtFMOWater", "rbtCHMTempWater", "rbtJMPCooler",
         "rbtJMPHeater", "edtTempJMPLow", "edtTempJMPHigh"});
    add(t, R::ConnectedSensorNotLed, {"edtTempWaterLow", "edtTempWaterHigh"});
    return t;
}

} // namespace

bool isEnabledBy(EnableRule rule, const EnableFacts& facts) {
    if (!facts.connected)
        return false;
    switch (rule) {
    case EnableRule::Connected:
        return true;
    case EnableRule::ConnectedManual:
        return facts.mode == 0;
    case EnableRule::ConnectedFanNotTemp:
        return facts.fanMode != 1;
    case EnableRule::ConnectedAutoOrGeo:
        return facts.mode == 1 || facts.mode == 2;
    case EnableRule::ConnectedSensor:
        return facts.sensor;
    case EnableRule::ConnectedSensorNotLed:
        return facts.sensor && !facts.fanFollowsLeds;
    }
    return false;
}

const std::vector<EnableEntry>& enablingTable() {
    static const std::vector<EnableEntry> table = buildTable();
    return table;
}

int applyEnabling(QWidget* window, const EnableFacts& facts) {
    int found = 0;
    for (const EnableEntry& entry : enablingTable()) {
        QObject* component = findComponent(window, entry.name);
        const bool enabled = isEnabledBy(entry.rule, facts);
        if (auto* action = qobject_cast<QAction*>(component)) {
            action->setEnabled(enabled);
            ++found;
        } else if (auto* widget = qobject_cast<QWidget*>(component)) {
            // A tab sheet stays selectable; its content follows the rule.
            widget->setEnabled(enabled);
            ++found;
        }
    }
    return found;
}

} // namespace kv
