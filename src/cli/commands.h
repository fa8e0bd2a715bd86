#pragma once

#include <QString>

#include <vector>

namespace kv::cli {

class Context;

struct Command {
    const char* name;
    const char* usage;   // after "kestvelqorctl [--simulate] [--json] "
    const char* summary; // one line for the overview
    const char* details; // the rest of the command's --help
    int (*run)(Context& context);
};

const std::vector<Command>& commands();
const Command* findCommand(const QString& name);

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

} // namespace kv::cli
