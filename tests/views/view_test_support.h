#pragma once

// One view on its own, against a board service on the simulated board: no
// window, only what a view is given (the service, the channel names, a
// reporter and the shell's services) and the view set that hands it every
// record read.

#include "board_transfers.h"
#include "connected_board.h"
#include "qt_printers.h"
#include "recording_reporter.h"
#include "sim/simulation.h"
#include "views/channel_names.h"
#include "views/view.h"
#include "views/view_set.h"

#include <QApplication>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace kv::testing {

// The window's services as a view sees them: tabs and the passing status
// are recorded, a record shown again goes to every view of the set.
class RecordingShell : public ViewShell {
public:
    explicit RecordingShell(ViewSet& views) : views_(views) {}
    void showTab(const QString& sheetName) override { tabsShown << sheetName; }
    void showPassingStatus(const QString& text) override { passingStatus = text; }
    void showRecordAgain(BoardRecord record) override {
        recordsShownAgain.push_back(record);
        views_.show(record);
    }
    QStringList tabsShown;
    QString passingStatus;
    std::vector<BoardRecord> recordsShownAgain;

private:
    ViewSet& views_;
};

template <class V> class ViewTest : public ::testing::Test {
protected:
    // No board on the bus until a test connects it: the records are the
    // preset ones until then.
    ViewTest() { simulation.backend().unplugBoard(); }

    void TearDown() override {
        view.reset();
        QApplication::processEvents();
    }

    // Makes the view; the board is on the bus but not yet connected.
    template <class... Extra> V& create(Extra&&... extra) {
        view = std::make_unique<V>(ViewContext{service, names, reporter, shell},
                                   std::forward<Extra>(extra)...);
        views.add(view.get());
        views.attach(service, names);
        QObject::connect(&views, &ViewSet::infoShown, [this] { applyEnabling(); });
        QObject::connect(&service, &BoardService::connected, [this] {
            connected = true;
            views.connectionChanged(true);
            applyEnabling();
        });
        views.connectionChanged(false);
        applyEnabling();
        return *view;
    }

    // Connects the simulated board, which starts in the given mode.
    void connectBoard(BoardMode mode = BoardMode::Manual) {
        simulation.backend().plugBoard();
        connectInMode(service, board(), mode);
        ASSERT_TRUE(connected);
    }

    // Changes the records before a board is read, as the window presets
    // them (no board is connected).
    template <class Change> void preset(Change change) {
        InfoBlock info = service.info();
        ExpertBlock expert = service.expert();
        change(info, expert);
        service.presetRecords(info, expert);
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
        views.applyEnabling(factsOf(service.info(), service.expert(), connected, false));
    }

    // One polling tick, as the timer would run it.
    void poll() { service.pollNow(); }
    // Reads the records again, as the refresh command does.
    void reread(BoardRecord record) { service.reread({record}); }

    sim::SimulatedBoard& board() { return simulation.board(); }
    template <class T = QWidget> T* child(const QString& name) {
        return view->template findChild<T*>(name);
    }

    std::vector<sim::Transfer> writes(std::uint8_t reportId) { return writesOf(board(), reportId); }
    std::vector<sim::Transfer> levelWrites() { return levelWritesOf(board()); }
    std::vector<sim::Transfer> configWrites() { return configWritesOf(board()); }

    sim::Simulation simulation{sim::Simulation::State::Fresh};
    RecordingReporter reporter;
    BoardService service{reporter, {simulation.source()}};
    ChannelNames names{service.info()};
    ViewSet views;
    RecordingShell shell{views};
    bool connected = false;
    std::unique_ptr<V> view;
};

} // namespace kv::testing
