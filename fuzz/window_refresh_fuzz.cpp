// Reports from the board all the way into the window: the fuzz bus of the
// board reports target under a whole main window (offscreen), which connects,
// reads the records and shows them in every tab. The input decides the
// answers, the reads, the menu commands that read and write, unplugging and
// which tab comes to the front (the map and the chart are drawn when first
// seen). Rules: nothing crashes; the window is connected only while the board
// service holds a board; the program writes only whole reports of its own
// kinds.
#include "fuzz_bus.h"
#include "fuzz_input.h"
#include "fuzz_target.h"

#include "app/main_window.h"
#include "board/board_service.h"

#include <QAction>
#include <QApplication>
#include <QTabWidget>

namespace {

using namespace kv;
using fuzz::FuzzBus;
using fuzz::FuzzInput;

constexpr int MaxSteps = 24;

WindowOptions fuzzWindowOptions(FuzzBus& bus) {
    WindowOptions options;
    options.deviceSources.push_back(DeviceSource{&bus, nullptr});
    // No dialog may wait for a person: files are never chosen, questions
    // answered No.
    options.dialogs.saveFile = [](const FileDialogRequest&) {
        return QString();
    };
    options.dialogs.openFile = [](const FileDialogRequest&) {
        return QString();
    };
    options.dialogs.confirm = [](const QString&, const QString&) {
        return false;
    };
    options.openUrl = [](const QUrl&) {
    };
    return options;
}

int fuzzWindowRefresh(const std::uint8_t* data, std::size_t size) {
    fuzz::setUpOnce();
    FuzzInput input(data, size);
    FuzzBus bus(input);
    MainWindow window(fuzzWindowOptions(bus));
    BoardService& board = window.service();
    const MainMenu& menu = window.menu();
    QTabWidget* pages = window.pages();

    board.scanNow(); // the initial scan
    for (int step = 0; step < MaxSteps && !input.empty(); ++step) {
        bus.scheduleSize = board.schedule().size();
        switch (input.below(10)) {
        case 0:
            board.scanNow();
            break;
        case 1:
            bus.boardPlugged = !bus.boardPlugged;
            board.scanNow();
            break;
        case 2:
            board.reread({BoardRecord::Info});
            break;
        case 3:
            board.reread({BoardRecord::Expert});
            break;
        case 4:
            board.reread({BoardRecord::Schedule});
            break;
        case 5:
            if (menu.mnuRefresh->isEnabled())
                menu.mnuRefresh->trigger();
            break;
        case 6: {
            QAction* modes[] = {menu.mnuModeManual, menu.mnuModeAuto, menu.mnuModeGeo};
            QAction* mode = modes[input.below(3)];
            if (mode->isEnabled())
                mode->trigger();
            break;
        }
        case 7: {
            QAction* levels[] = {menu.mnuAllOff, menu.mnuAll20, menu.mnuAllOn};
            QAction* level = levels[input.below(3)];
            if (level->isEnabled())
                level->trigger();
            break;
        }
        case 8: {
            // Only tabs a person can choose.
            const int index = int(input.below(std::size_t(pages->count())));
            if (pages->isTabVisible(index))
                window.switchToTab(pages->widget(index));
            break;
        }
        case 9:
            QCoreApplication::processEvents();
            break;
        }
        KV_FUZZ_CHECK(!window.connected() || board.boardHeld());
    }
    // Every tab shows what the records hold once.
    for (int i = 0; i < pages->count(); ++i)
        if (pages->isTabVisible(i))
            window.switchToTab(pages->widget(i));
    QCoreApplication::processEvents();
    return 0;
}

} // namespace

KV_FUZZ_TARGET("window_refresh", fuzzWindowRefresh)
