#pragma once

// Every control the connection enables, by component name, with the rule it
// follows: the window's whole enabling table, per-channel controls for the
// channels 0 to 3. The window keeps no such list; each view enables its own
// controls, and these tests check the sum.

#include "views/enabling.h"

#include <QString>
#include <QStringList>

#include <initializer_list>
#include <vector>

namespace kv::testing {

struct ExpectedEnabling {
    QString name;
    EnableRule rule;
};

inline std::vector<ExpectedEnabling> expectedEnablingTable() {
    std::vector<ExpectedEnabling> t;
    const auto add = [&](EnableRule rule, std::initializer_list<const char*> names) {
        for (const char* name : names)
            t.push_back({QString::fromLatin1(name), rule});
    };
    const auto perChannel = [&](EnableRule rule, std::initializer_list<const char*> prefixes) {
        for (const char* prefix : prefixes)
            for (int channel = 0; channel < 4; ++channel)
                t.push_back({QString::fromLatin1(prefix) + QString::number(channel), rule});
    };
    using R = EnableRule;
    add(R::Connected, {"mnuScheduleImport", "mnuConfigImport", "mnuScheduleConfigExport",
                       "mnuModeManual", "mnuModeAuto", "mnuModeGeo", "mnuRefresh", "mnuSaveEEPROM",
                       "mnuAllOff", "mnuAll20", "mnuAllOn", "mnuSetTimeDate"});
    perChannel(R::Connected, {"lblName", "cmbName"});
    perChannel(R::ConnectedManual, {"trb", "edt", "btnOff", "btnOn"});
    add(R::Connected, {"tsSchedule", "memDescription", "lblVisualize", "cmbVisualize",
                       "tsVisualize", "cbxTimeLock"});
    add(R::Connected, {"trbTimeLapse", "btnRealtime", "edtTimeLapse", "edtLCDBLMax", "edtLCDBLMin",
                       "edtLCDBLNight", "trbLCDBLMax", "trbLCDBLMin", "trbLCDBLNight", "edtFanHigh",
                       "edtFanLow", "trbFanHigh", "trbFanLow"});
    add(R::ConnectedFanNotTemp, {"edtFanOff", "trbFanOff"});
    add(R::Connected, {"trbCloudCount", "edtCloudCount", "trbCloudSeconds", "edtCloudSeconds",
                       "trbStormCount", "edtStormCount", "trbStormMinutes", "edtStormMinutes",
                       "lblCloudRatio", "lblStormRatio", "edtCloudAlpha",   "trbCloudAlpha",
                       "edtCloudStep",  "trbCloudStep",  "edtStormAlpha",   "trbStormAlpha",
                       "edtStormStep",  "trbStormStep",  "edtLightningP",   "trbLightningP"});
    add(R::ConnectedAutoOrGeo, {"btnCloud", "btnStorm"});
    add(R::Connected, {"lblWeatherDelay"});
    perChannel(R::Connected, {"edtWeatherDelay", "trbWeatherDelay"});
    add(R::Connected, {"lblMoon"});
    perChannel(R::Connected, {"edtMoon", "trbMoon"});
    add(R::Connected, {"imgTemp",
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
    perChannel(R::Connected, {"edtLightningMask"});
    add(R::ConnectedSensor, {"edtTempOffset", "edtCloudTempWater", "rbtFMOWater", "rbtCHMTempWater",
                             "rbtJMPCooler", "rbtJMPHeater", "edtTempJMPLow", "edtTempJMPHigh"});
    add(R::ConnectedSensorNotLed, {"edtTempWaterLow", "edtTempWaterHigh"});
    return t;
}

// The controls of the table whose views are still to come. The list shrinks
// as the views land; every other control of the table must exist.
inline bool isStillToCome(const QString& name) {
    // Every view is there: nothing is still to come.
    static const QStringList prefixes{};
    for (const QString& prefix : prefixes)
        if (name.startsWith(prefix))
            return true;
    return false;
}

} // namespace kv::testing
