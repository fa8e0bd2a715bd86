// Keeps watch over the board: polls it as the window does, keeps its clock in
// step and prints a line per poll, through unplugging and replugging, until
// it is told to stop.
#include "board/board_watch.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/stop_signals.h"
#include "history/history_recorder.h"
#include "present/status_output.h"
#include "text/log_stamp.h"
#include "text/number_format.h"
#include "text/text_catalogue.h"

#include <QEventLoop>
#include <QJsonDocument>

#include <cmath>

namespace kv::cli {

using namespace present;

namespace {

constexpr double ShortestInterval = 0.1; // seconds
constexpr double LongestInterval = 86400;

class Watch {
public:
    Watch(Context& c, qint64 count) : c_(c), count_(count) {}

    // Polls until the count is reached or a stop signal arrives.
    void run(int intervalMs) {
        BoardWatch watch(c_.service());
        QObject::connect(&watch, &BoardWatch::statusPolled, &loop_, [this] { status(); });
        QObject::connect(
            &watch, &BoardWatch::boardEvent, &loop_,
            [this](const QString& name, const QString& message) { event(name, message); });
        QObject::connect(&watch, &BoardWatch::polledBoard, &loop_, [this] {
            if (count_ > 0 && ++polls_ >= count_)
                finish();
        });
        QObject::connect(&stop_, &StopSignals::stopRequested, &loop_, [this] { finish(); });

        watch.start(intervalMs); // the first line at once
        if (!done_)
            loop_.exec();
    }

private:
    void status() {
        const InfoBlock& info = c_.service().info();
        const QDateTime now = QDateTime::currentDateTime();
        if (c_.json())
            print(pollJson(info, now));
        else
            print(watchLine(info, now));
    }

    void event(const QString& name, const QString& message) {
        const QDateTime now = QDateTime::currentDateTime();
        if (c_.json())
            print(eventJson(name, message, now));
        else
            print(dateTimeText(now) + QStringLiteral(" | ") + message);
    }

    // One line, out at once: a log or a reader at the other end of a pipe
    // sees every poll as it happens.
    void print(const QString& line) {
        c_.out() << line << '\n';
        c_.out().flush();
    }
    void print(const QJsonObject& object) {
        c_.out() << QJsonDocument(object).toJson(QJsonDocument::Compact) << '\n';
        c_.out().flush();
    }

    void finish() {
        done_ = true;
        loop_.quit();
    }

    Context& c_;
    qint64 count_;
    qint64 polls_ = 0;
    bool done_ = false;
    QEventLoop loop_;
    StopSignals stop_;
};

} // namespace

int runWatch(Context& c) {
    const auto words = c.words(0, 0, {"--interval", "--count", "--history"});
    if (!words)
        return ExitUsage;
    double seconds = 1;
    if (const auto text = words->value("--interval")) {
        QString decimal = *text;
        decimal.replace(QLatin1Char(','), QLatin1Char('.'));
        const auto value = parseNumber(decimal, QLocale::c());
        if (!value || *value < ShortestInterval || *value > LongestInterval)
            return c.fail(
                ExitUsage,
                QStringLiteral("--interval must be a number of seconds from 0.1 to 86400"));
        seconds = *value;
    }
    qint64 count = 0; // without end
    if (const auto text = words->value("--count")) {
        const auto value = parseInteger(*text);
        if (!value || *value < 1)
            return c.fail(ExitUsage, QStringLiteral("--count must be a whole number from 1"));
        count = *value;
    }
    const int intervalMs = int(std::lround(seconds * 1000));
    // Before connecting: a stop during the connection ends the watch at once.
    Watch watch(c, count);
    c.service().setPollInterval(intervalMs);
    // Every poll into the history file when one is named; what waits is
    // written when the watch ends.
    std::unique_ptr<HistoryRecorder> recorder;
    if (const auto path = words->value("--history")) {
        recorder = std::make_unique<HistoryRecorder>(c.service(), c.reporter(), *path);
        if (!recorder->hasFile())
            c.note(recorder->problem()); // the watch goes on without it
    }
    if (int s = c.connectBoard())
        return s;
    if (recorder && recorder->hasFile() && !recorder->recordsSamples())
        c.note(MsgFmt(QStringLiteral("HistoryRecordedElsewhere"), {c.service().serialNumber()}));
    watch.run(intervalMs);
    return ExitDone;
}

} // namespace kv::cli
