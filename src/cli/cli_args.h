#pragma once

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

// The command line split into the options that may stand anywhere and the
// command with its own words.
struct Arguments {
    bool simulate = false;
    bool json = false;
    bool help = false;
    bool version = false;
    bool verbose = false;
    QString command;
    QStringList words; // the command's arguments and options, in order
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
