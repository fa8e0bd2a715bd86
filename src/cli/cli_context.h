#pragma once

#include "board/board_service.h"
#include "cli/cli_args.h"
#include "cli/history_choice.h"
#include "text/reporter.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <memory>
#include <optional>

namespace kv {
class HistoryRecorder;
class SystemDevices;
namespace sim {
class Simulation;
}
} // namespace kv

namespace kv::cli {

// What the program reports while a command runs. Shown on standard error only
// with --verbose; the last announced text explains a failure.
class CliReporter : public Reporter {
public:
    explicit CliReporter(bool verbose) : verbose_(verbose) {}
    void announce(const QString& text) override;
    void log(const QString& text) override;
    // Shows announced texts on standard error (progress of long work).
    void setEcho(bool on) { echo_ = on; }
    QString lastAnnounced() const { return lastAnnounced_; }
    QStringList announced() const { return announced_; }

private:
    bool verbose_;
    bool echo_ = false;
    QString lastAnnounced_;
    QStringList announced_;
};

// One run of a command: its arguments, its output and the board service.
// Without systemDevices only the simulated board exists (the fuzz target runs
// every command and must never reach a real board).
class Context {
public:
    explicit Context(const Arguments& arguments, bool systemDevices = true);
    ~Context();

    const Arguments& args() const { return args_; }
    bool json() const { return args_.json; }
    CliReporter& reporter() { return reporter_; }

    QTextStream& out() { return out_; }
    // One clear line on standard error; returns the status for convenience.
    int fail(int status, const QString& message);
    // One line on standard error about something the command goes on without.
    void note(const QString& message);
    // An operation's outcome as the command's end: 0 for Done, else its
    // message on standard error and the exit status of its code.
    int end(const Outcome& outcome);
    // The command's own words with the options it knows, holding between
    // minWords and maxWords positional words. On wrong usage prints why and
    // gives nothing: the command then ends with ExitUsage. A command that
    // changes the board also takes --history FILE and --no-history here.
    std::optional<CommandWords> words(qsizetype minWords, qsizetype maxWords,
                                      const QStringList& valueOptions = {},
                                      const QStringList& flagOptions = {});
    // Prints a JSON document on standard output.
    void printJson(const QJsonObject& object);

    // The board service, created on first use (with --device only the board
    // with that serial number or HID path is taken). A command reads only
    // what it needs: a board is read for its InfoBlock alone when it
    // connects, unless the first caller asks for everything (serve). A
    // command that changes the board adds its change to the history file.
    BoardService& service(ConnectReads reads = ConnectReads::InfoOnly);
    // Scans and waits until a board with the supported firmware is connected.
    // On failure prints the reason and returns the exit status (3 when there
    // is no board at all, 1 when it cannot be used); 0 on success.
    int connectBoard();
    // The simulated board with --simulate, else null.
    sim::Simulation* simulation() { return simulation_.get(); }
    // Saves the simulated board's state for the next run (with --simulate).
    void finish();

private:
    Arguments args_;
    bool useSystemDevices_;
    CliReporter reporter_;
    QTextStream out_;
    QTextStream err_;
    // The device sources first: the service uses them until it is gone.
    std::unique_ptr<SystemDevices> systemDevices_;
    std::unique_ptr<sim::Simulation> simulation_;
    std::unique_ptr<BoardService> service_;
    ChangeHistory changeHistory_;
    // After the service: it is gone first, with the change written.
    std::unique_ptr<HistoryRecorder> changeRecorder_;
};

} // namespace kv::cli
