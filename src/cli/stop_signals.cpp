#include "cli/stop_signals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

namespace kv::cli {

namespace {

int wakePipe[2] = {-1, -1};
// SIGPIPE: the reader of standard output went away (watch | head -3).
constexpr int StopSignalNumbers[] = {SIGINT, SIGTERM, SIGPIPE};
struct sigaction previous[std::size(StopSignalNumbers)];

// Async-signal-safe: one write, errno kept for the code it interrupted.
void onStopSignal(int signalNumber) {
    const int saved = errno;
    const char byte = char(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(wakePipe[1], &byte, 1);
    errno = saved;
}

} // namespace

StopSignals::StopSignals(QObject* parent) : QObject(parent) {
    if (::pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = std::make_unique<QSocketNotifier>(wakePipe[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(wakePipe[0], bytes, sizeof bytes) > 0) {
        }
        emit stopRequested();
    });
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(StopSignalNumbers); ++i)
        ::sigaction(StopSignalNumbers[i], &action, &previous[i]);
    installed_ = true;
}

StopSignals::~StopSignals() {
    if (!installed_)
        return;
    for (std::size_t i = 0; i < std::size(StopSignalNumbers); ++i)
        ::sigaction(StopSignalNumbers[i], &previous[i], nullptr);
    notifier_.reset();
    ::close(wakePipe[0]);
    ::close(wakePipe[1]);
    wakePipe[0] = wakePipe[1] = -1;
}

} // namespace kv::cli
