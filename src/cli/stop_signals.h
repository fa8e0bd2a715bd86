#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace kv::cli {

// Turns SIGINT and SIGTERM (and SIGPIPE, when the reader of the output went
// away) into a signal on the event loop, so that a command
// that runs until it is stopped ends cleanly: the handlers only write a byte
// into a pipe, and a socket notifier on the pipe's other end emits
// stopRequested(). One instance at a time; the previous handlers come back
// when it is gone.
class StopSignals : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

    // Whether the handlers are in place (false when the pipe could not be made).
    bool installed() const { return installed_; }

signals:
    void stopRequested();

private:
    bool installed_ = false;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace kv::cli
