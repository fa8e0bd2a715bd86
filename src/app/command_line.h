#pragma once

#include <QString>
#include <QStringList>

namespace kv {

// What the command line asks for. Every argument is examined: its first
// character is dropped (a leading slash or dash, or any other character) and
// the rest, lower-cased in ASCII, is compared whole with "expert" and "debug".
// The program's own switches are recognised as typed: "--simulate",
// "--no-history" and "--history FILE" (or "--history=FILE"), whose file is
// no word of the list.
struct CommandLine {
    bool expert = false;    // show the expert tabs
    bool debug = false;     // switch the debug flag on
    bool simulate = false;  // "--simulate": put the simulated board on the bus
    bool noHistory = false; // "--no-history": no history recorded or shown
    QString historyFile;    // "--history FILE": the history file instead of the default
    // "--history" stood last, without its file.
    bool historyWithoutFile = false;
    QStringList parameters; // every argument as given, for the log
};

// The word an argument stands for: first character dropped, ASCII letters
// lower-cased.
QString commandWord(const QString& argument);

// The arguments without the program name.
CommandLine parseCommandLine(const QStringList& arguments);

// The log line of one argument.
QString parameterLogLine(const QString& argument);

// The history file the window records into and shows: none with
// --no-history (whatever else stands there), the file of --history, else the
// default.
QString historyFileOf(const CommandLine& commandLine, const QString& defaultFile);

} // namespace kv
