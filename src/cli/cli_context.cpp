#include "cli/cli_context.h"

#include "cli/commands.h"
#include "device/board_link.h"
#include "device/device_session.h"
#include "device/discovery.h"
#include "device/hid_controller.h"
#include "device/system_devices.h"
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

std::optional<CommandWords> Context::words(qsizetype minWords, qsizetype maxWords,
                                           const QStringList& valueOptions,
                                           const QStringList& flagOptions) {
    CommandWords parsed(args_.words, valueOptions, flagOptions);
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
    return parsed;
}

void Context::printJson(const QJsonObject& object) {
    out_ << QJsonDocument(object).toJson(QJsonDocument::Indented);
    out_.flush();
}

DeviceSession& Context::session() {
    if (!session_) {
        std::vector<DeviceSource> sources;
        if (useSystemDevices_) {
            systemDevices_ = std::make_unique<SystemDevices>();
            sources.push_back(systemDevices_->source());
        }
        if (args_.simulate) {
            simulation_ = std::make_unique<sim::Simulation>(sim::Simulation::State::Keep);
            sources.push_back(simulation_->source());
        }
        session_ = std::make_unique<DeviceSession>(reporter_, sources);
        session_->discovery().setBoardChoice(DeviceChoice(args_.device));
    }
    return *session_;
}

BoardLink& Context::link() {
    return session().link();
}

int Context::connectBoard() {
    DeviceSession& s = session();
    s.controller().scanNow(true);
    Discovery& discovery = s.discovery();
    if (discovery.isBoardConnected())
        return ExitDone;
    // A board that cannot be used: another firmware, or no access.
    if (!discovery.boardProblem().isEmpty())
        return fail(ExitFailed, discovery.boardProblem());
    return fail(ExitNoDevice, noBoardText());
}

QString Context::noBoardText() const {
    if (args_.device.isEmpty())
        return QStringLiteral("no KestVELQOR board found");
    return QStringLiteral("no KestVELQOR board with serial number or HID path \"%1\" found")
        .arg(args_.device);
}

void Context::finish() {
    out_.flush();
    if (simulation_)
        simulation_->save();
}

} // namespace kv::cli
