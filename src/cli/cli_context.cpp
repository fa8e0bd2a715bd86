#include "cli/cli_context.h"

#include "cli/commands.h"
#include "device/system_devices.h"
#include "history/history_recorder.h"
#include "sim/simulation.h"

#include <QJsonDocument>

#include <cstdio>

namespace kv::cli {

void CliReporter::announce(const QString& text) {
    lastAnnounced_ = text;
    announced_ << text;
    if (echo_ && !verbose_) {
        QTextStream err(stderr);
        err << text << '\n';
    }
    log(text);
}

void CliReporter::log(const QString& text) {
    if (!verbose_)
        return;
    QTextStream err(stderr);
    err << text << '\n';
}

Context::Context(const Arguments& arguments, bool systemDevices)
    : args_(arguments), useSystemDevices_(systemDevices), reporter_(arguments.verbose),
      out_(stdout), err_(stderr) {}

Context::~Context() = default;

int Context::fail(int status, const QString& message) {
    out_.flush();
    err_ << "kestvelqorctl: " << message << '\n';
    err_.flush();
    return status;
}

void Context::note(const QString& message) {
    out_.flush();
    err_ << "kestvelqorctl: " << message << '\n';
    err_.flush();
}

std::optional<CommandWords> Context::words(qsizetype minWords, qsizetype maxWords,
                                           const QStringList& valueOptions,
                                           const QStringList& flagOptions) {
    const bool changes = recordsChanges(args_.command);
    const QStringList historyValue{QStringLiteral("--history")};
    const QStringList historyFlag{QStringLiteral("--no-history")};
    CommandWords parsed(args_.words, changes ? valueOptions + historyValue : valueOptions,
                        changes ? flagOptions + historyFlag : flagOptions);
    if (!parsed.ok()) {
        fail(ExitUsage, parsed.error());
        return std::nullopt;
    }
    const qsizetype count = parsed.positional().size();
    if (count < minWords || count > maxWords) {
        const Command* command = findCommand(args_.command);
        fail(ExitUsage, QStringLiteral("wrong arguments; usage: kestvelqorctl %1")
                            .arg(QLatin1String(command ? command->usage : "")));
        return std::nullopt;
    }
    if (changes)
        changeHistory_ = changeHistoryOf(parsed);
    return parsed;
}

void Context::printJson(const QJsonObject& object) {
    out_ << QJsonDocument(object).toJson(QJsonDocument::Indented);
    out_.flush();
}

BoardService& Context::service(ConnectReads reads) {
    if (!service_) {
        std::vector<DeviceSource> sources;
        if (useSystemDevices_) {
            systemDevices_ = std::make_unique<SystemDevices>();
            sources.push_back(systemDevices_->source());
        }
        if (args_.simulate) {
            simulation_ = std::make_unique<sim::Simulation>(sim::Simulation::State::Keep);
            sources.push_back(simulation_->source());
        }
        BoardServiceOptions options;
        options.choice = DeviceChoice(args_.device);
        options.reads = reads;
        options.front = Front::CommandLine;
        service_ = std::make_unique<BoardService>(reporter_, sources, options);
        // A firmware update asks the board to enter its bootloader with the
        // save command: the simulated board does so on the next one.
        if (simulation_)
            QObject::connect(service_.get(), &BoardService::boardEnteringBootloader,
                             simulation_.get(), &sim::Simulation::enterBootloaderOnNextSave);
        if (!changeHistory_.path.isEmpty()) {
            // Only the change: the samples are the business of a process that
            // keeps watch, and this command never keeps it from recording.
            changeRecorder_ = std::make_unique<HistoryRecorder>(
                *service_, reporter_, changeHistory_.path, HistoryRecorder::Recording::EventsOnly);
            if (changeHistory_.named && !changeRecorder_->hasFile())
                note(changeRecorder_->problem());
        }
    }
    return *service_;
}

int Context::connectBoard() {
    BoardService& board = service();
    board.scanNow();
    if (board.isConnected())
        return ExitDone;
    // No board, or one that cannot be used: another firmware, no access.
    return fail(board.boardHeld() ? ExitFailed : ExitNoDevice, board.problem().text());
}

int Context::end(const Outcome& outcome) {
    if (outcome.ok())
        return ExitDone;
    return fail(exitStatusOf(outcome.code), outcome.text());
}

void Context::finish() {
    out_.flush();
    if (simulation_)
        simulation_->save();
}

} // namespace kv::cli
