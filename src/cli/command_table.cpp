#include "cli/commands.h"

namespace kv::cli {

const char* const ChangeHistoryHelp =
    "The change is added as an event (origin cli) to the history file: --history FILE\n"
    "names it, else ~/.local/share/kestvelqor/history.sqlite is used when it exists. The\n"
    "command never makes the file and records no samples; --no-history adds nothing.\n";

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"devices", "devices", "list every HID device with its kind",
         "Scans the HID devices once and lists each as the program's log does (manufacturer,\n"
         "product and serial strings as the system reports them), with the kind those strings\n"
         "give (board, classic bootloader, 328p bootloader or foreign) and its HID path. The\n"
         "serial number or the path chooses a board with --device; with --device only the\n"
         "devices it names are listed.\n",
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
        {"import-config", "import-config FILE [--history FILE | --no-history]",
         "write the configuration of an INI file to the board",
         "Reads the Config, Weather, Names and TimeZone sections of FILE (missing keys keep the\n"
         "board's values) and writes the configuration and the expert settings to the board.\n",
         runImportConfig},
        {"import-schedule", "import-schedule FILE [--history FILE | --no-history]",
         "write the schedule of an INI file to the board",
         "Reads the line sections 0, 1, ... of FILE for the board's lines (missing sections and\n"
         "keys keep the line) and writes every line to the board.\n",
         runImportSchedule},
        {"mode", "mode manual|auto|geo [--history FILE | --no-history]", "set the operating mode",
         "Sets the board's mode and writes the configuration.\n", runMode},
        {"level", "level CHANNEL PERCENT [--history FILE | --no-history]",
         "set one channel's level",
         "CHANNEL is W, R, G, B or 0 to 3; PERCENT is 0 to 100 (a decimal point or comma).\n"
         "Only the levels are written. The board follows levels in Manual mode.\n",
         runLevel},
        {"set-time", "set-time [now|YYYY-MM-DDTHH:MM:SS] [--history FILE | --no-history]",
         "set the board's clock",
         "Sets the time lapse back to real time, then the board's date and time to the\n"
         "computer's (now, the default) or to the given local date and time.\n",
         runSetTime},
        {"cloud", "cloud [--history FILE | --no-history]",
         "start or stop a cloud now (Auto and Geo mode)", "Sends command 253.\n", runCloud},
        {"storm", "storm [--history FILE | --no-history]",
         "start or stop a thunderstorm now (Auto and Geo mode)", "Sends command 252.\n", runStorm},
        {"save", "save [--history FILE | --no-history]",
         "store the settings permanently on the board", "Sends command 254.\n", runSave},
        {"flash", "flash FILE [--yes] [--history FILE | --no-history]",
         "update the board's firmware",
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
        {"schedule", "schedule", "show the schedule as the schedule tab does",
         "Reads the board's schedule and prints it as the schedule tab shows it: line, time\n"
         "(Manual and Auto mode) or sun altitude (Geo mode), the four levels in percent under\n"
         "the channels' names, the display, cloud and storm flags and the JMP pin value. The\n"
         "line the board is on is marked with \">\". With --json: mode, currentLine and the\n"
         "lines with hour, minute, altitude, levels, display, clouds, storms, timer and switch.\n"
         "To change a line: kestvelqorctl schedule set --help.\n",
         runSchedule},
        {"schedule set", "schedule set LINE FIELD=VALUE... [--history FILE | --no-history]",
         "change one line of the schedule",
         "Changes line LINE (counted from 0) and writes the schedule, as the schedule tab does\n"
         "after an edit. Fields:\n"
         "  time=HH:MM            00:00 to 24:00 (24:00 is the end of the day)\n"
         "  alt=DEGREES           sun altitude for Geo mode, -90 to 90\n"
         "  W= R= G= B= or 0= to 3=  level in percent, 0 to 100\n"
         "  display= clouds= storms=  on or off\n"
         "  timer=N               JMP pin value, 0 to 65535\n"
         "Decimals take a point or a comma. The other bits of the line's switch byte are\n"
         "kept. A value out of range, an unknown field or a line the board does not have\n"
         "ends with status 2 and sends nothing.\n",
         runScheduleSet},
        {"plot curve", "plot curve FILE.png [--channel W|R|G|B|0-3] [--size WIDTHxHEIGHT]",
         "draw the day curve into a PNG file",
         "Draws the day curve exactly as the visualisation tab does (over the clock time, or\n"
         "over the sun's path in Geo mode) and writes it to FILE.png. --channel chooses the\n"
         "channel drawn on top with its handles (default 0); --size the picture's size\n"
         "(default 1000x600). No display is needed.\n",
         runPlotCurve, true},
        {"plot chart", "plot chart FILE.png [--size WIDTHxHEIGHT]",
         "draw the temperature chart into a PNG file",
         "Draws the chart of the board's recorded samples exactly as the chart tab does and\n"
         "writes it to FILE.png (default size 600x300). No display is needed.\n",
         runPlotChart, true},
        {"plot history",
         "plot history FILE.png [--history FILE] [--from TIME] [--to TIME] "
         "[--size WIDTHxHEIGHT]",
         "draw the tank's history into a PNG file",
         "Draws the history of a range exactly as the window's history tab does: the water\n"
         "temperature (the band of each bucket's least and greatest value and the mean) and\n"
         "the four levels in percent, with gaps where nothing was recorded, and writes it to\n"
         "FILE.png (default size 1000x500). TIME is ISO 8601 in the computer's time zone\n"
         "(2026-12-01, 2026-12-01T06:00) or relative to now (-30m, -24h, -7d, -1y, now);\n"
         "--from defaults to -24h, --to to now. The history is read from --history FILE\n"
         "(default ~/.local/share/kestvelqor/history.sqlite), the board's with --device\n"
         "SERIAL, else the board with the newest sample. No history file: status 1. No\n"
         "board or display is needed.\n",
         runPlotHistory, true},
        {"watch", "watch [--interval SECONDS] [--count N] [--history FILE]",
         "poll the board and print each poll",
         "Polls the board as the window does (every second by default) and keeps its clock in\n"
         "step by the same rules. Each poll prints one line: computer time, board clock, mode\n"
         "with its activity letters, the four levels, water temperature, input voltage and the\n"
         "board's error conditions; with --json one JSON object per line with the keys of\n"
         "status --json and computerTime. An unplugged board gives one line saying so (with\n"
         "--json an object with event and message); the watch goes on looking for it and\n"
         "carries on when it returns. Ends after N polls of the board (--count) or on SIGINT\n"
         "or SIGTERM, with status 0.\n"
         "--history FILE records every poll and the board's events into FILE (made when it is\n"
         "missing), as serve and the window record into their history file; without it the\n"
         "watch records nothing. A board is recorded by one process at a time: while another\n"
         "one records it, the watch says so once and takes over when that one ends. What waits\n"
         "is written every 5 seconds and when the watch ends.\n",
         runWatch},
        {"history", "history [--history FILE] [--from TIME] [--to TIME] [--points N] [--csv]",
         "print the tank's history of a range",
         "Reads the history file (--history FILE, default ~/.local/share/kestvelqor/\n"
         "history.sqlite, as serve, the window and watch --history write it) and prints the\n"
         "samples from --from to --to in at most N buckets of equal length (--points, a whole\n"
         "number from 1, default 500): the mean of each number, with the least and greatest\n"
         "water temperature, and the last mode. Buckets without samples are left out: a time\n"
         "when nothing was recorded is a gap, never a zero. TIME is ISO 8601 in the computer's\n"
         "time zone (2026-12-01, 2026-12-01T06:00, 2026-12-01T06:00:30; an offset or Z may\n"
         "follow) or a time before now (-30m, -24h, -7d, -1y; now). --to defaults to now,\n"
         "--from to 24 hours before --to. The board is the one of --device SERIAL, else the\n"
         "one recorded last.\n"
         "Prints a table (local times, levels in percent); with --csv the columns time,\n"
         "waterTemperature, waterTemperatureMin, waterTemperatureMax, inputVoltage, W, R, G, B\n"
         "and mode under a header line; with --json {\"from\", \"to\", \"points\": [...]} with\n"
         "the same keys, times in local ISO 8601 with the offset and null for a missing value.\n"
         "A missing file or one that is not a history file ends with status 1 and is left as it\n"
         "is; wrong times or counts end with status 2. The events: history events --help.\n",
         runHistory},
        {"history events", "history events [--history FILE] [--from TIME] [--to TIME]",
         "list the events of the tank's history",
         "Lists what happened to the board from --from to --to (times, defaults, file and board\n"
         "as for history): connected and unplugged, the clock corrected, and every change\n"
         "written to it with the front that asked (window, cli, web with the client's address)\n"
         "and its outcome. One line each: local time, kind, origin and what; with --json\n"
         "{\"events\": [{\"time\", \"kind\", \"detail\", \"origin\"}]}.\n",
         runHistoryEvents},
        {"alerts", "alerts [--history FILE]",
         "show the alert rules, the active alerts and the last alert events",
         "Shows the rules of ~/.config/kestvelqor/alerts.ini ($XDG_CONFIG_HOME/kestvelqor;\n"
         "a key that is off shows as such; every wrong key of the file is one line on standard\n"
         "error), the alerts active now (kept by the window or serve, whichever records the\n"
         "board's history) and the last 20 alert events of the history file (--history FILE,\n"
         "else ~/.local/share/kestvelqor/history.sqlite). With --json {\"rules\": {SECTION:\n"
         "{KEY: VALUE}}, \"active\": [{\"kind\", \"level\", \"since\", \"value\", \"text\"}],\n"
         "\"recent\": [{\"time\", \"kind\", \"level\", \"value\", \"text\"}]}; kinds are\n"
         "temperature, sensor_lost, board_gone and voltage_low, levels warning and critical\n"
         "(cleared in recent). To change the rules: alerts set --help.\n",
         runAlerts},
        {"alerts set", "alerts set KEY=VALUE...", "change alert rules",
         "Changes keys of alerts.ini, as SECTION.KEY=VALUE; an empty VALUE removes the key:\n"
         "  temperature.warn_low, temperature.warn_high       the desired band, °C\n"
         "  temperature.critical_low, temperature.critical_high  the acceptable band, °C\n"
         "  temperature.hysteresis   °C back inside a band before its alert clears (0.2)\n"
         "  temperature.delay        seconds outside before an alert is raised (60)\n"
         "  sensor.missing_delay     seconds without a reading before \"sensor lost\" (60)\n"
         "  board.unplugged_delay    seconds without the board before \"board gone\" (120)\n"
         "  voltage.low, voltage.delay  the lowest input voltage, V, and its delay (60)\n"
         "  notify.desktop           true or false: desktop notifications (true)\n"
         "  notify.reminder_hours    a critical alert still active is told again (6; 0: never)\n"
         "  notify.command           a program with its arguments, run without a shell on\n"
         "                           every raise and clear\n"
         "Every value is checked first; when one is wrong nothing is written and the status\n"
         "is 2. The file is replaced in one step; a running window or serve reads it again\n"
         "within a few seconds.\n",
         runAlertsSet},
        {"serve",
         "serve [--listen ADDRESS:PORT | --listen none] [--token-file FILE] [--history FILE | "
         "--no-history] [--mqtt URL [--mqtt-password-file FILE] [--mqtt-ca-file FILE] "
         "[--mqtt-prefix PREFIX]]",
         "serve a web page for the board",
         "Serves a web page and a JSON API under /api/v1 for the board: status, schedule (and\n"
         "one line changed with PUT schedule/LINE), mode, level, cloud, storm, save, astro,\n"
         "plot/curve.png, plot/chart.png, history (from, to, points, format=csv) and events\n"
         "(from, to) as `history --json` and `history events --json` give them, alerts as\n"
         "`alerts --json` gives it, and the status after every poll and every alert raised or\n"
         "cleared ({\"event\": \"alert\", ...}) over the WebSocket /api/v1/live; the page\n"
         "shows a banner while an alert is active. GET /metrics gives the\n"
         "board's state to Prometheus. Polls the board every second and keeps its clock in\n"
         "step as the window does, records every poll into the history file\n"
         "(~/.local/share/kestvelqor/history.sqlite; another with --history FILE, none with\n"
         "--no-history; a file that cannot be used is one line on standard error), waits\n"
         "for a board that is not there and goes on through unplugging. It evaluates the\n"
         "alert rules (alerts --help) when it records the board (the window may instead).\n"
         "Reads answer from what the connection and the last poll read, without a transfer\n"
         "of their own (GET schedule?fresh=1 reads the board first). Every JSON error holds\n"
         "its HTTP status, a stable \"code\" (out_of_range, no_board, not_answered, ...) and\n"
         "the program's message.\n"
         "--listen takes ADDRESS:PORT, [IPV6]:PORT or ADDRESS (default 127.0.0.1:58440; port\n"
         "0 takes any free port). On the loopback address no token is needed and only\n"
         "requests to localhost or the loopback address are answered. Any other address\n"
         "needs a token (for the API, /metrics and the live feed): the first line of\n"
         "--token-file, or else one generated once into ~/.config/kestvelqor/web-token (mode\n"
         "0600) and shown when it is made. Requests carry it as \"Authorization: Bearer\n"
         "TOKEN\" or through the page's token form. Every change is logged with the client's\n"
         "address on standard error. Firmware updates and imports are not offered. Ends on\n"
         "SIGINT or SIGTERM with status 0 (what waits of the history is written first).\n"
         "--listen none serves no web page: the MQTT bridge runs alone.\n"
         "--mqtt URL also bridges the board to an MQTT broker for Home Assistant and other\n"
         "MQTT systems: URL is mqtt://[USER@]HOST[:PORT] (port 1883) or mqtts://... (port 8883,\n"
         "TLS checked against the system's CA store or --mqtt-ca-file FILE). The password is\n"
         "the first line of --mqtt-password-file FILE, else $KESTVELQOR_MQTT_PASSWORD; it is\n"
         "never an argument and never logged. The topics lie under kestvelqor/SERIAL (the\n"
         "serial number in A-Z, a-z, 0-9, _ and -): availability, light/W|R|G|B/state and\n"
         "/set, mode/state and /set, button/cloud|storm|save/press, water_temperature (with\n"
         "its own availability) and input_voltage. Home Assistant finds the board by\n"
         "discovery under --mqtt-prefix (default homeassistant) and is sent everything again\n"
         "when it says online on PREFIX/status. Light commands are carried out in Manual\n"
         "mode only. A broker that is down or goes away is tried again after 1 s, doubling\n"
         "up to 60 s; the board and the web page never wait for it.\n",
         runServe, true},
    };
    return table;
}

QStringList subcommandsOf(const QString& command) {
    QStringList names;
    const QString prefix = command + QLatin1Char(' ');
    for (const Command& entry : commands()) {
        const QString name = QLatin1String(entry.name);
        if (name.startsWith(prefix))
            names << name.mid(prefix.size());
    }
    return names;
}

const Command* findCommand(const QString& name) {
    for (const Command& command : commands())
        if (name == QLatin1String(command.name))
            return &command;
    return nullptr;
}

} // namespace kv::cli
