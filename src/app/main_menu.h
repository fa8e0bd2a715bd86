#pragma once

#include "device/records/info_block.h"

#include <vector>

class QAction;
class QActionGroup;
class QMainWindow;
class QMenu;
class QMenuBar;

namespace kv {

// The main menu `mnuMain` with its items, named and captioned as designed
// (the catalogue puts the German captions on them later). The items belong to
// the window, so they are found by name like every other component.
struct MainMenu {
    QMenuBar* bar = nullptr;

    QMenu* mnuFile = nullptr;
    QAction* mnuScheduleImport = nullptr;
    QAction* mnuConfigImport = nullptr;
    QAction* mnuScheduleConfigExport = nullptr;
    QAction* mnuFirmwareUpdate = nullptr;
    QAction* mnuExit = nullptr;

    QMenu* mnuOptions = nullptr;
    QActionGroup* modeGroup = nullptr;
    QAction* mnuModeManual = nullptr;
    QAction* mnuModeAuto = nullptr;
    QAction* mnuModeGeo = nullptr;
    QAction* mnuAllOff = nullptr;
    QAction* mnuAll20 = nullptr;
    QAction* mnuAllOn = nullptr;
    QAction* mnuSetTimeDate = nullptr;
    QAction* mnuShowExpert = nullptr;
    QAction* mnuRefresh = nullptr;
    QAction* mnuSaveEEPROM = nullptr;
    QAction* mnuAlerts = nullptr;
    // Not in the menu: a window action whose shortcut works while hidden.
    QAction* mnuDebug = nullptr;

    QMenu* mnuHelp = nullptr;
    QAction* mnuHardware = nullptr;
    QAction* mnuSoftware = nullptr;
    QAction* mnuFAQ = nullptr;

    QAction* modeItem(BoardMode mode) const;
    // The items usable only while a board is connected.
    std::vector<QAction*> connectedItems() const;
};

MainMenu buildMainMenu(QMainWindow* window);

} // namespace kv
