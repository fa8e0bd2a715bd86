#include "history/history_recorder.h"

#include "board/board_service.h"
#include "history/history_file.h"
#include "history/history_store.h"
#include "text/reporter.h"
#include "text/text_catalogue.h"

#include <QDateTime>
#include <QDir>
#include <QLockFile>
#include <QRegularExpression>
#include <QStandardPaths>

namespace kv {

// The lock of one board's recording, in the runtime folder.
QString HistoryRecorder::lockPath(const QString& serial) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    QString name = serial;
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]")), QStringLiteral("_"));
    return folder + QStringLiteral("/kestvelqor-history-") + name + QStringLiteral(".lock");
}

namespace {

// Operations that change the board; reading and exporting do not.
bool changesTheBoard(Operation operation) {
    return operation != Operation::Reread && operation != Operation::Export;
}

QString originText(const Origin& origin) {
    const QString front = frontName(origin.front);
    return origin.client.isEmpty() ? front : front + QLatin1Char(' ') + origin.client;
}

} // namespace

HistoryRecorder::HistoryRecorder(BoardService& service, Reporter& reporter, const QString& path,
                                 QObject* parent)
    : HistoryRecorder(service, reporter, path, Recording::Everything, parent) {}

HistoryRecorder::HistoryRecorder(BoardService& service, Reporter& reporter, const QString& path,
                                 Recording recording, QObject* parent)
    : QObject(parent), service_(service), reporter_(reporter), path_(path), recording_(recording),
      now_([] { return QDateTime::currentMSecsSinceEpoch(); }) {
    const bool everything = recording == Recording::Everything;
    TextMessage refusal;
    file_ = HistoryFile::open(path, everything, &refusal);
    if (!file_) {
        problem_ = refusal.text();
        reporter_.log(problem_);
        return;
    }
    connect(&service, &BoardService::connected, this, &HistoryRecorder::onConnected);
    connect(&service, &BoardService::unplugged, this, &HistoryRecorder::onUnplugged);
    if (everything)
        connect(&service, &BoardService::polled, this, &HistoryRecorder::onPolled);
    connect(&service, &BoardService::clockCorrected, this, [this](int drift) {
        addEvent(QStringLiteral("clock"), MsgFmt(QStringLiteral("HistoryClockDrift"), {drift}),
                 frontName(Front::Service));
    });
    connect(&service, &BoardService::operationEnded, this, &HistoryRecorder::onOperationEnded);
    flushTimer_.setInterval(FlushMs);
    connect(&flushTimer_, &QTimer::timeout, this, &HistoryRecorder::flush);
    flushTimer_.start();
    if (everything) {
        upkeepTimer_.setInterval(UpkeepMs);
        connect(&upkeepTimer_, &QTimer::timeout, this, &HistoryRecorder::upkeep);
        upkeepTimer_.start();
    }
    if (service.isConnected())
        onConnected();
}

HistoryRecorder::~HistoryRecorder() {
    flush();
    releaseLock();
}

bool HistoryRecorder::takeLock() {
    if (lock_)
        return true;
    if (serial_.isEmpty() || recording_ == Recording::EventsOnly)
        return false;
    auto lock = std::make_unique<QLockFile>(lockPath(serial_));
    // A lock left by a process that died is taken over.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (!toldLocked_)
            reporter_.log(MsgFmt(QStringLiteral("HistoryRecordedElsewhere"), {serial_}));
        toldLocked_ = true;
        return false;
    }
    lock_ = std::move(lock);
    toldLocked_ = false;
    return true;
}

void HistoryRecorder::releaseLock() {
    lock_.reset();
}

void HistoryRecorder::onConnected() {
    serial_ = service_.serialNumber();
    if (serial_.isEmpty())
        serial_ = QStringLiteral("unknown");
    board_ = file_->boardId(serial_);
    // A command's connection is no news about the board: the process that
    // keeps watch tells when it comes and goes.
    if (recording_ == Recording::EventsOnly)
        return;
    takeLock();
    addEvent(QStringLiteral("connected"),
             MsgFmt(QStringLiteral("HistoryConnected"), {int(service_.info().FirmwareVersion)}),
             frontName(Front::Service));
}

void HistoryRecorder::onUnplugged() {
    if (recording_ == Recording::EventsOnly) {
        flush();
        return;
    }
    addEvent(QStringLiteral("unplugged"), QString(), frontName(Front::Service));
    flush();
    releaseLock();
}

void HistoryRecorder::onPolled(bool readOk) {
    // A poll that got no answer is a gap, never a zero.
    if (!readOk || !lock_)
        return;
    if (samples_.size() >= MaxWaiting)
        samples_.erase(samples_.begin());
    samples_.push_back(HistorySample::of(service_.info(), now_()));
}

void HistoryRecorder::onOperationEnded(const OperationReport& report) {
    if (!changesTheBoard(report.operation))
        return;
    QString detail = operationName(report.operation);
    if (!report.detail.isEmpty())
        detail += QLatin1Char(' ') + report.detail;
    detail += QStringLiteral(": ") + outcomeCodeName(report.outcome.code);
    addEvent(QStringLiteral("change"), detail, originText(report.origin));
}

void HistoryRecorder::addEvent(const QString& kind, const QString& detail, const QString& origin) {
    if (!file_ || board_ < 0)
        return;
    if (events_.size() >= MaxWaiting)
        events_.erase(events_.begin());
    events_.push_back({now_(), kind, detail, origin});
}

void HistoryRecorder::flush() {
    if (!file_ || board_ < 0)
        return;
    if (!lock_)
        takeLock(); // the process that recorded may have ended
    if (samples_.empty() && events_.empty())
        return;
    QString error;
    if (!writeHistoryBatch(*file_, board_, samples_, events_, &error)) {
        if (!paused_)
            reporter_.log(MsgFmt(QStringLiteral("HistoryPaused"), {error}));
        paused_ = true;
        return;
    }
    if (paused_)
        reporter_.log(Msg(QStringLiteral("HistoryResumed")));
    paused_ = false;
    samples_.clear();
    events_.clear();
}

bool HistoryRecorder::upkeep() {
    // One process sums up and prunes: the one that records.
    if (!file_ || !lock_ || paused_)
        return false;
    return historyUpkeepStep(*file_, now_());
}

} // namespace kv
