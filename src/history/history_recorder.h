#pragma once

#include "history/history_records.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class QLockFile;

namespace kv {

class BoardService;
class HistoryFile;
class Reporter;
struct OperationReport;

// Records the board's history into a history file as the board service
// polls it: one sample per poll, and the events (connected, unplugged, the
// clock corrected, every change written, with the front that asked).
//
// One board is recorded by one process at a time: a lock per serial number
// in the runtime folder decides which. A process that does not hold it
// records no samples (another does) but still adds the changes it made
// itself. Writes are batched: a poll costs the thread only its place in
// memory, and every FlushMs one transaction takes the batch. Summing up and
// pruning run in small steps. A file that cannot be written pauses the
// recording with one log line; it goes on when writing works again.
//
// A command that changes the board and ends at once records only its own
// changes (EventsOnly): it never takes the lock, so a process that keeps
// watch is never kept from recording, and it never makes the file.
class HistoryRecorder : public QObject {
    Q_OBJECT
public:
    enum class Recording {
        Everything, // samples (while this process holds the lock) and every event
        EventsOnly, // the changes this process makes and its clock corrections
    };

    static constexpr int FlushMs = 5000;
    static constexpr int UpkeepMs = 1000;
    // Samples kept while the file does not take them: an hour of polls.
    static constexpr std::size_t MaxWaiting = 3600;

    // Opens (or makes) the file at path. A file that cannot be used is told
    // once through the reporter's log; everything else goes on without it.
    HistoryRecorder(BoardService& service, Reporter& reporter, const QString& path,
                    QObject* parent = nullptr);
    // With EventsOnly a missing file is not made: nothing is recorded.
    HistoryRecorder(BoardService& service, Reporter& reporter, const QString& path,
                    Recording recording, QObject* parent = nullptr);
    ~HistoryRecorder() override;

    // Whether the file is open, and whether this process records the
    // connected board's samples.
    bool hasFile() const { return file_ != nullptr; }
    bool recordsSamples() const { return lock_ != nullptr; }
    const QString& path() const { return path_; }
    // Why the file cannot be used; empty when it can.
    QString problem() const { return problem_; }

    // Writes what waits now (a command that ends, the tests).
    void flush();
    // Adds an event of another part of the program (an alert) for the
    // connected board; nothing before a board connected.
    void recordEvent(const QString& kind, const QString& detail, const QString& origin) {
        addEvent(kind, detail, origin);
    }
    // The lock file that decides which process records a board.
    static QString lockPath(const QString& serial);
    // One step of upkeep now.
    bool upkeep();

    // The computer's clock in UTC milliseconds; tests replace it.
    void setClock(std::function<qint64()> now) { now_ = std::move(now); }
    std::size_t waitingSamples() const { return samples_.size(); }

private:
    void onConnected();
    void onUnplugged();
    void onPolled(bool readOk);
    void onOperationEnded(const OperationReport& report);
    void addEvent(const QString& kind, const QString& detail, const QString& origin);
    bool takeLock();
    void releaseLock();

    BoardService& service_;
    Reporter& reporter_;
    QString path_;
    Recording recording_;
    QString problem_;
    std::unique_ptr<HistoryFile> file_;
    std::unique_ptr<QLockFile> lock_;
    QString serial_;
    qint64 board_ = -1;
    std::vector<HistorySample> samples_;
    std::vector<HistoryEvent> events_;
    bool paused_ = false;     // the last write failed
    bool toldLocked_ = false; // the log said that another process records
    QTimer flushTimer_;
    QTimer upkeepTimer_;
    std::function<qint64()> now_;
};

} // namespace kv
