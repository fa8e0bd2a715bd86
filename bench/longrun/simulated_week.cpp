// The long run: the window on the simulated board in time lapse for a
// simulated week (by default; a few minutes of real time), printing the
// resident memory at start, after the first simulated day (the warm-up), at
// every following day and at the end, with the lines the message log holds.
// Memory should stay flat apart from the log, and the log itself stop
// growing at MessageLog::MaxEntryLines.
//
// The board runs at its own time-lapse factor (250, the most the window
// offers) on a clock source that itself runs SourceSpeed times faster than
// the computer's, so a simulated day passes in about 43 seconds. The window
// polls it every PollMs; every ReplugMinutes of board time its cable is
// pulled and plugged in again (which logs a few lines and reads everything
// afresh), and every hour the next tab comes to the front, so every view is
// drawn again and again. Its schedule runs in Auto mode, on even days in Geo.
//
//   simulated_week [DAYS]
#include "app/command_line.h"
#include "app/main_window.h"
#include "board/board_service.h"
#include "sim/simulation.h"
#include "text/text_catalogue.h"
#include "views/message_log.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr std::uint8_t BoardTimeLapse = 250;
constexpr qint64 SourceSpeed = 8;
constexpr int PollMs = 100;
constexpr int DriverMs = 20;
constexpr qint64 ReplugMinutes = 5;
constexpr qint64 MsPerMinute = 60 * 1000;
constexpr qint64 MsPerHour = 60 * MsPerMinute;
constexpr qint64 MsPerDay = 24 * MsPerHour;

// Resident memory of this process in kB, from /proc/self/status.
long residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

class WeekRun : public QObject {
public:
    WeekRun(kv::MainWindow& window, kv::sim::Simulation& simulation, int days)
        : window_(window), simulation_(simulation), days_(days) {}

    void start() {
        startMs_ = boardMs();
        nextReplugMs_ = startMs_ + ReplugMinutes * MsPerMinute;
        nextHourMs_ = startMs_ + MsPerHour;
        nextDayMs_ = startMs_ + MsPerDay;
        real_.start();
        report("start");
        startKb_ = residentKb();
        connect(&driver_, &QTimer::timeout, this, [this] { drive(); });
        driver_.start(DriverMs);
    }

private:
    qint64 boardMs() const { return simulation_.board().boardTime().toMSecsSinceEpoch(); }

    void drive() {
        auto& backend = simulation_.backend();
        if (!backend.boardPlugged()) {
            backend.plugCable();
            ++replugs_;
        }
        const qint64 now = boardMs();
        if (now >= nextReplugMs_) {
            backend.pullCable();
            nextReplugMs_ += ReplugMinutes * MsPerMinute;
        }
        if (now >= nextHourMs_) {
            QTabWidget* pages = window_.pages();
            int next = pages->currentIndex();
            do
                next = (next + 1) % pages->count();
            while (!pages->isTabVisible(next));
            window_.switchToTab(pages->widget(next));
            nextHourMs_ += MsPerHour;
        }
        if (now >= nextDayMs_) {
            ++day_;
            nextDayMs_ += MsPerDay;
            report(QStringLiteral("day %1").arg(day_));
            if (day_ == 1)
                warmKb_ = residentKb();
            // The board follows its schedule by the clock in Auto mode and
            // by the sun in Geo mode.
            window_.service().setMode(day_ % 2 == 0 ? kv::BoardMode::Geo : kv::BoardMode::Auto);
            if (day_ >= days_)
                finish();
        }
    }

    void report(const QString& when) {
        std::printf("%-7s board %s  real %6.1f s  RSS %7ld kB  log %5d lines  replugs %5d\n",
                    qPrintable(when),
                    qPrintable(simulation_.board().boardTime().toString(
                        QStringLiteral("yyyy-MM-dd HH:mm"))),
                    double(real_.elapsed()) / 1000.0, residentKb(),
                    window_.messageLog()->entryLines(), replugs_);
        std::fflush(stdout);
    }

    void finish() {
        driver_.stop();
        const long endKb = residentKb();
        std::printf("simulated %d days in %.1f s: RSS at start %ld kB, after warm-up (day 1) "
                    "%ld kB, at the end %ld kB (%+ld kB since warm-up); message log %d lines "
                    "(bound %d), %d replugs\n",
                    days_, double(real_.elapsed()) / 1000.0, startKb_, warmKb_, endKb,
                    endKb - warmKb_, window_.messageLog()->entryLines(),
                    kv::MessageLog::MaxEntryLines, replugs_);
        std::fflush(stdout);
        QCoreApplication::quit();
    }

    kv::MainWindow& window_;
    kv::sim::Simulation& simulation_;
    int days_;
    QTimer driver_;
    QElapsedTimer real_;
    qint64 startMs_ = 0;
    qint64 nextReplugMs_ = 0;
    qint64 nextHourMs_ = 0;
    qint64 nextDayMs_ = 0;
    int day_ = 0;
    int replugs_ = 0;
    long startKb_ = 0;
    long warmKb_ = 0;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int days = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    kv::LoadTextCatalogue();

    kv::sim::Simulation simulation(kv::sim::Simulation::State::Fresh);
    // A long session would otherwise keep every report in memory.
    simulation.setRecording(false);
    kv::sim::SimulatedBoard& board = simulation.board();
    QElapsedTimer sourceClock;
    sourceClock.start();
    const QDateTime sourceStart = QDateTime::currentDateTime();
    board.setClockSource([sourceClock, sourceStart] {
        return sourceStart.addMSecs(sourceClock.elapsed() * SourceSpeed);
    });
    board.info().TimeLapse = BoardTimeLapse;
    board.info().Mode = std::uint8_t(kv::BoardMode::Auto);

    kv::WindowOptions options;
    options.commandLine = kv::parseCommandLine({QStringLiteral("--simulate")});
    options.deviceSources.push_back(simulation.source());
    options.dialogs.saveFile = [](const kv::FileDialogRequest&) {
        return QString();
    };
    options.dialogs.openFile = [](const kv::FileDialogRequest&) {
        return QString();
    };
    options.dialogs.confirm = [](const QString&, const QString&) {
        return false;
    };
    options.openUrl = [](const QUrl&) {
    };
    kv::MainWindow window(options);
    window.service().setPollInterval(PollMs);

    WeekRun run(window, simulation, days);
    QObject::connect(&window.service(), &kv::BoardService::connected, &run,
                     [&run, started = false]() mutable {
                         if (!started)
                             run.start();
                         started = true;
                     });
    window.show();
    return app.exec();
}
