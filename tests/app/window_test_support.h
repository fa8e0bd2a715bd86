#pragma once

// The main window on the simulated board, started as the program starts it
// but without the computer's own HID devices, with dialogs and the browser
// replaced by recorders.

#include "app/main_window.h"
#include "app/status_panels.h"
#include "board_transfers.h"
#include "connected_board.h"
#include "qt_printers.h"
#include "sim/simulation.h"
#include "views/message_log.h"

#include <QApplication>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace kv::testing {

class WindowTest : public ::testing::Test {
protected:
    void TearDown() override {
        window.reset();
        simulation.reset();
        QApplication::processEvents();
    }

    // Creates the window; the simulated board is on the bus but not yet
    // found (discovery runs once events are processed). The computer's own
    // devices stay out of it.
    MainWindow& create(QStringList arguments = {QStringLiteral("--simulate")},
                       sim::Simulation::State state = sim::Simulation::State::Fresh) {
        WindowOptions options;
        options.commandLine = parseCommandLine(arguments);
        if (options.commandLine.simulate) {
            simulation = std::make_unique<sim::Simulation>(state);
            const DeviceSource source = simulation->source();
            options.deviceSources.push_back(wrapSource ? wrapSource(source) : source);
        }
        options.openUrl = [this](const QUrl& url) {
            openedUrls.push_back(url);
        };
        options.dialogs.saveFile = [this](const FileDialogRequest& request) {
            dialogRequests.push_back(request);
            return saveAnswer;
        };
        options.dialogs.openFile = [this](const FileDialogRequest& request) {
            dialogRequests.push_back(request);
            tabsAtDialog.push_back(currentTabName());
            return openAnswer;
        };
        options.dialogs.confirm = [this](const QString& caption, const QString& text) {
            questions.push_back(caption + QLatin1Char('|') + text);
            return confirmAnswer;
        };
        options.flashRetryPauseMs = flashRetryPauseMs;
        options.defaultHistoryFile = defaultHistoryFile;
        window = std::make_unique<MainWindow>(options);
        if (simulation)
            QObject::connect(&service(), &BoardService::boardEnteringBootloader,
                             [this] { simulation->enterBootloaderOnNextSave(); });
        QObject::connect(&service(), &BoardService::operationEnded,
                         [this](const OperationReport& report) {
                             if (report.operation == Operation::FirmwareUpdate)
                                 updatesEnded.push_back(report);
                         });
        return *window;
    }

    // Shows the window and makes it the active one, as a person sees it.
    void showWindow() {
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    // Creates, shows and lets discovery connect the simulated board, which
    // starts in the given mode.
    void startConnected(int mode = 0, QStringList arguments = {QStringLiteral("--simulate")}) {
        create(arguments);
        connectInMode(service(), board(), BoardMode(mode), [this] { showWindow(); });
        ASSERT_TRUE(window->connected());
    }

    // Waits until the firmware update that is running (or about to be
    // offered) has ended; false when none ended in time.
    bool waitForUpdateEnd(int timeoutMs = 10000) {
        const std::size_t ended = updatesEnded.size();
        return QTest::qWaitFor([this, ended] { return updatesEnded.size() > ended; }, timeoutMs);
    }

    sim::SimBackend& sim() { return simulation->backend(); }
    sim::SimulatedBoard& board() { return sim().board(); }
    BoardService& service() { return window->service(); }

    template <class T = QWidget> T* child(const QString& name) {
        return window->findChild<T*>(name);
    }
    QWidget* currentTab() { return window->pages()->currentWidget(); }
    QString currentTabName() { return currentTab() ? currentTab()->objectName() : QString(); }
    bool tabVisible(const QString& name) {
        return window->pages()->isTabVisible(window->pages()->indexOf(window->page(name)));
    }
    QString logText() { return window->messageLog()->toPlainText(); }
    QStringList logLines() { return logText().split(QLatin1Char('\n')); }
    int logLinesEndingWith(const QString& text) {
        int count = 0;
        for (const QString& line : logLines())
            if (line.endsWith(text))
                ++count;
        return count;
    }

    // Reports the board received.
    std::vector<sim::Transfer> writes(std::uint8_t reportId) { return writesOf(board(), reportId); }
    std::vector<sim::Transfer> reads(std::uint8_t reportId) { return readsOf(board(), reportId); }
    std::vector<sim::Transfer> levelWrites() { return levelWritesOf(board()); }
    std::vector<sim::Transfer> configWrites() { return configWritesOf(board()); }

    // One polling tick, as the timer would run it.
    void poll() { service().pollNow(); }

    void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
        QTest::keyClick(target, key, modifiers);
    }

    std::unique_ptr<sim::Simulation> simulation;
    std::unique_ptr<MainWindow> window;
    std::vector<QUrl> openedUrls;
    std::vector<FileDialogRequest> dialogRequests;
    std::vector<QString> tabsAtDialog; // the tab in front when an open dialog came up
    std::vector<QString> questions;
    QString saveAnswer;
    QString openAnswer;
    bool confirmAnswer = false;
    // The pause before a failed firmware block is sent again: none, unless a
    // test needs the window's own.
    int flashRetryPauseMs = 0;
    // The history file without --history; none by default, so that a test
    // records nothing unless it asks to.
    QString defaultHistoryFile;
    // Puts something between the simulated bus and the window (optional).
    std::function<DeviceSource(DeviceSource)> wrapSource;
    // Every firmware update that ended, in order.
    std::vector<OperationReport> updatesEnded;
};

} // namespace kv::testing
