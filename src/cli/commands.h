#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace kv::cli {

class Context;

struct Command {
    const char* name;
    const char* usage;   // after "kestvelqorctl [--simulate] [--json] "
    const char* summary; // one line for the overview
    const char* details; // the rest of the command's --help
    int (*run)(Context& context);
    // Draws pictures: runs with a GUI application on the offscreen platform
    // (no display needed); every other command needs Qt Core only.
    bool drawsPictures = false;
};

const std::vector<Command>& commands();
// The end of --help of every command that changes the board (recordsChanges):
// what --history and --no-history do.
extern const char* const ChangeHistoryHelp;
const Command* findCommand(const QString& name);
// The subcommands of a command that has them ("set" of "schedule", "curve"
// and "chart" of "plot"); empty for the others.
QStringList subcommandsOf(const QString& command);

// The commands, one function each.
int runDevices(Context& c);
int runStatus(Context& c);
int runDump(Context& c);
int runExport(Context& c);
int runImportConfig(Context& c);
int runImportSchedule(Context& c);
int runMode(Context& c);
int runLevel(Context& c);
int runSetTime(Context& c);
int runCloud(Context& c);
int runStorm(Context& c);
int runSave(Context& c);
int runFlash(Context& c);
int runCheckFirmware(Context& c);
int runAstro(Context& c);
int runSchedule(Context& c);
int runScheduleSet(Context& c);
int runPlotCurve(Context& c);
int runPlotChart(Context& c);
int runPlotHistory(Context& c);
int runWatch(Context& c);
int runHistory(Context& c);
int runHistoryEvents(Context& c);
int runServe(Context& c);
int runAlerts(Context& c);
int runAlertsSet(Context& c);

} // namespace kv::cli
