#pragma once

#include "board/outcome.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace kv::cli {

// Exit statuses of kestvelqorctl.
enum ExitStatus {
    ExitDone = 0,
    ExitFailed = 1,   // a transfer failed in the end, a file was refused, ...
    ExitUsage = 2,    // wrong usage
    ExitNoDevice = 3, // no board (or no bootloader) found
};

// The exit status of an operation's outcome.
ExitStatus exitStatusOf(OutcomeCode code);

// The command line split into the options that may stand anywhere and the
// command with its own words.
struct Arguments {
    bool simulate = false;
    bool json = false;
    bool help = false;
    bool version = false;
    bool verbose = false;
    // --device SERIAL|PATH: the board to use among several.
    QString device;
    QString command;
    QStringList words; // the command's arguments and options, in order
    // Why the global options are wrong (a --device without its value).
    QString error;

    // Takes the command's first positional word as its subcommand when it is
    // one of names ("schedule set", "plot curve"): the command becomes
    // "COMMAND SUBCOMMAND" and the word leaves the words. Returns whether it
    // did.
    bool takeSubcommand(const QStringList& names);
};

Arguments parseArguments(const QStringList& arguments);

// The command's own words: positional arguments and "--name value" (or
// "--name=value") options. A value may begin with "-" (a negative number).
class CommandWords {
public:
    CommandWords(const QStringList& words, const QStringList& valueOptions,
                 const QStringList& flagOptions);

    bool ok() const { return error_.isEmpty(); }
    QString error() const { return error_; }
    const QStringList& positional() const { return positional_; }
    std::optional<QString> value(const QString& option) const;
    bool flag(const QString& option) const { return flags_.contains(option); }

private:
    QStringList positional_;
    QStringList flags_;
    QList<QPair<QString, QString>> values_;
    QString error_;
};

} // namespace kv::cli
