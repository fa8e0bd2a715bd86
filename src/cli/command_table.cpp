#include "cli/commands.h"

namespace kv::cli {

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"devices", "devices", "list every HID device with its kind",
         "Scans the HID devices once and lists each as the program's log does, with its kind:\n"
         "board, classic bootloader, 328p bootloader or foreign.\n",
         runDevices},
        {"status", "status", "show the board's state",
         "Connects to the board and shows its firmware version, clock, mode, the four channel\n"
         "levels in percent, water temperature, input voltage, health text and activity letters.\n",
         runStatus},
        {"dump", "dump", "print every field of the board's four records",
         "Reads the board and prints InfoBlock, ExpertBlock, Schedule (one entry per line) and\n"
         "ChartBlock, every field by its name.\n",
         runDump},
        {"export", "export FILE", "write the board's settings to an INI file",
         "Reads the board fresh and writes schedule and configuration to FILE. Sections and keys\n"
         "of an existing FILE that the program does not write are kept; the file is replaced\n"
         "only when the new one is complete.\n",
         runExport},
        {"import-config", "import-config FILE",
         "write the configuration of an INI file to the board",
         "Reads the Config, Weather, Names and TimeZone sections of FILE (missing keys keep the\n"
         "board's values) and writes the configuration and the expert settings to the board.\n",
         runImportConfig},
        {"import-schedule", "import-schedule FILE",
         "write the schedule of an INI file to the board",
         "Reads the line sections 0, 1, ... of FILE for the board's lines (missing sections and\n"
         "keys keep the line) and writes every line to the board.\n",
         runImportSchedule},
        {"mode", "mode manual|auto|geo", "set the operating mode",
         "Sets the board's mode and writes the configuration.\n", runMode},
        {"level", "level CHANNEL PERCENT", "set one channel's level",
         "CHANNEL is W, R, G, B or 0 to 3; PERCENT is 0 to 100 (a decimal point or comma).\n"
         "Only the levels are written. The board follows levels in Manual mode.\n",
         runLevel},
        {"set-time", "set-time [now|YYYY-MM-DDTHH:MM:SS]", "set the board's clock",
         "Sets the time lapse back to real time, then the board's date and time to the\n"
         "computer's (now, the default) or to the given local date and time.\n",
         runSetTime},
        {"cloud", "cloud", "start or stop a cloud now (Auto and Geo mode)", "Sends command 253.\n",
         runCloud},
        {"storm", "storm", "start or stop a thunderstorm now (Auto and Geo mode)",
         "Sends command 252.\n", runStorm},
        {"save", "save", "store the settings permanently on the board", "Sends command 254.\n",
         runSave},
        {"flash", "flash FILE [--yes]", "update the board's firmware",
         "Checks FILE, asks (unless --yes), saves the board's settings to a backup file, sends\n"
         "the board into its bootloader, flashes FILE, resets, waits for the board to come back\n"
         "and shows its firmware version. With only a bootloader on the bus, flashes at once.\n",
         runFlash},
        {"check-firmware", "check-firmware FILE", "check a firmware image file",
         "Reads and checks FILE only; prints its start and end address and byte count, or the\n"
         "reason it is refused.\n",
         runCheckFirmware},
        {"astro",
         "astro --lat DEG --lon DEG [--date YYYY-MM-DD] [--time HH:MM] "
         "[--utc-offset MINUTES | --tz ZONE-ID]",
         "sun and moon figures of a place and moment",
         "Prints the Geo view's figures for the place (degrees, north and east positive) and\n"
         "the local date and time (defaults: today, now). --utc-offset is a fixed offset\n"
         "without daylight saving; --tz takes a zone id of the time-zone database (such as\n"
         "Europe/Berlin) and uses its rules, or a fixed offset written UTC+05:30, UTC-8 or\n"
         "+05:30 (at most 14:00); the default is the computer's zone.\n",
         runAstro},
    };
    return table;
}

const Command* findCommand(const QString& name) {
    for (const Command& command : commands())
        if (name == QLatin1String(command.name))
            return &command;
    return nullptr;
}

} // namespace kv::cli
