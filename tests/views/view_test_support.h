#pragma once

// One view on its own, against a board link on the simulated board: no
// window, only what a view is given (the link, the channel names, a reporter
// and the shell's services) and the view set that hands it every read.

#include "board_transfers.h"
#include "device/board_link.h"
#include "device/device_session.h"
#include "device/discovery.h"
#include "device/hid_controller.h"
#include "device/poller.h"
#include "qt_printers.h"
#include "sim/simulation.h"
#include "text/reporter.h"
#include "views/channel_names.h"
#include "views/view.h"
#include "views/view_set.h"

#include <QApplication>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace kv::testing {

class RecordingShell : public ViewShell {
public:
    void showTab(const QString& sheetName) override { tabsShown << sheetName; }
    void showPassingStatus(const QString& text) override { passingStatus = text; }
    QStringList tabsShown;
    QString passingStatus;
};

class LogReporter : public Reporter {
public:
    void announce(const QString& text) override { announced << text; }
    void log(const QString& text) override { logged << text; }
    QStringList announced;
    QStringList logged;
};

template <class V> class ViewTest : public ::testing::Test {
protected:
    void TearDown() override {
        view.reset();
        QApplication::processEvents();
    }

    // Makes the view; the board is on the bus but not yet connected.
    template <class... Extra> V& create(Extra&&... extra) {
        view = std::make_unique<V>(ViewContext{link(), names, reporter, shell},
                                   std::forward<Extra>(extra)...);
        views.add(view.get());
        views.attach(link(), names);
        QObject::connect(&views, &ViewSet::infoShown, [this] { applyEnabling(); });
        QObject::connect(&session.discovery(), &Discovery::boardConnected, [this] {
            connected = true;
            views.connectionChanged(true);
            applyEnabling();
        });
        views.connectionChanged(false);
        applyEnabling();
        return *view;
    }

    // Connects the simulated board, which starts in the given mode; a board
    // in Manual mode starts dark, whatever the hour.
    void connectBoard(BoardMode mode = BoardMode::Manual) {
        board().info().setMode(mode);
        if (mode == BoardMode::Manual)
            board().info().Level = {};
        session.controller().scanNow(true);
        ASSERT_TRUE(connected);
        board().clearTransfers();
    }

    // Shows the view as a window of its own and makes it the active one.
    void showView() {
        view->resize(900, 600);
        view->show();
        QApplication::setActiveWindow(view.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    }

    // The view's tab came to the front.
    void bringToFront() { views.setFront(view.get()); }

    void applyEnabling() {
        views.applyEnabling(factsOf(link().info, link().expert, connected, false));
    }

    // One polling tick, as the timer would run it.
    void poll() { session.poller().tick(); }

    BoardLink& link() { return session.link(); }
    sim::SimulatedBoard& board() { return simulation.board(); }
    template <class T = QWidget> T* child(const QString& name) {
        return view->template findChild<T*>(name);
    }

    std::vector<sim::Transfer> writes(std::uint8_t reportId) { return writesOf(board(), reportId); }
    std::vector<sim::Transfer> levelWrites() { return levelWritesOf(board()); }
    std::vector<sim::Transfer> configWrites() { return configWritesOf(board()); }

    sim::Simulation simulation{sim::Simulation::State::Fresh};
    LogReporter reporter;
    DeviceSession session{reporter, {simulation.source()}};
    ChannelNames names{session.link().info};
    RecordingShell shell;
    ViewSet views;
    bool connected = false;
    std::unique_ptr<V> view;
};

} // namespace kv::testing
