#include "app/main_menu.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace kv {

namespace {

QAction* item(QMainWindow* window, QMenu* menu, const char* name, const char* caption,
              const QKeySequence& shortcut = {}) {
    auto* action = new QAction(QString::fromUtf8(caption), window);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    if (menu)
        menu->addAction(action);
    return action;
}

QMenu* menu(QMenuBar* bar, const char* name, const char* caption) {
    QMenu* result = bar->addMenu(QString::fromUtf8(caption));
    result->setObjectName(QString::fromLatin1(name));
    return result;
}

} // namespace

QAction* MainMenu::modeItem(BoardMode mode) const {
    switch (mode) {
    case BoardMode::Manual:
        return mnuModeManual;
    case BoardMode::Auto:
        return mnuModeAuto;
    case BoardMode::Geo:
        return mnuModeGeo;
    }
    return nullptr;
}

std::vector<QAction*> MainMenu::connectedItems() const {
    return {mnuScheduleImport, mnuConfigImport, mnuScheduleConfigExport, mnuModeManual, mnuModeAuto,
            mnuModeGeo,        mnuRefresh,      mnuSaveEEPROM,           mnuAllOff,     mnuAll20,
            mnuAllOn,          mnuSetTimeDate};
}

MainMenu buildMainMenu(QMainWindow* window) {
    MainMenu m;
    m.bar = window->menuBar();
    m.bar->setObjectName(QStringLiteral("mnuMain"));

    m.mnuFile = menu(m.bar, "mnuFile", "File");
    m.mnuScheduleImport = item(window, m.mnuFile, "mnuScheduleImport", "Import schedule...",
                               QKeySequence(Qt::CTRL | Qt::Key_T));
    m.mnuConfigImport = item(window, m.mnuFile, "mnuConfigImport", "Import configuration...",
                             QKeySequence(Qt::CTRL | Qt::Key_K));
    m.mnuFile->addSeparator();
    m.mnuScheduleConfigExport =
        item(window, m.mnuFile, "mnuScheduleConfigExport", "Export schedule and configuration...",
             QKeySequence(Qt::CTRL | Qt::Key_E));
    m.mnuFile->addSeparator();
    m.mnuFirmwareUpdate = item(window, m.mnuFile, "mnuFirmwareUpdate", "Update firmware...",
                               QKeySequence(Qt::CTRL | Qt::Key_F));
    m.mnuFile->addSeparator();
    m.mnuExit = item(window, m.mnuFile, "mnuExit", "Exit", QKeySequence(Qt::ALT | Qt::Key_F4));

    m.mnuOptions = menu(m.bar, "mnuOptions", "Options");
    m.modeGroup = new QActionGroup(window);
    m.modeGroup->setExclusive(true);
    m.mnuModeManual = item(window, m.mnuOptions, "mnuModeManual", "Mode: Manual",
                           QKeySequence(Qt::CTRL | Qt::Key_F1));
    m.mnuModeAuto = item(window, m.mnuOptions, "mnuModeAuto", "Mode: Auto",
                         QKeySequence(Qt::CTRL | Qt::Key_F2));
    m.mnuModeGeo =
        item(window, m.mnuOptions, "mnuModeGeo", "Mode: Geo", QKeySequence(Qt::CTRL | Qt::Key_F3));
    for (QAction* mode : {m.mnuModeManual, m.mnuModeAuto, m.mnuModeGeo}) {
        mode->setCheckable(true);
        m.modeGroup->addAction(mode);
    }
    m.mnuOptions->addSeparator();
    m.mnuAllOff = item(window, m.mnuOptions, "mnuAllOff", "Set all channels to 0%",
                       QKeySequence(Qt::CTRL | Qt::Key_0));
    m.mnuAll20 = item(window, m.mnuOptions, "mnuAll20", "Set all channels to 20%",
                      QKeySequence(Qt::CTRL | Qt::Key_2));
    m.mnuAllOn = item(window, m.mnuOptions, "mnuAllOn", "Set all channels to 100%",
                      QKeySequence(Qt::CTRL | Qt::Key_1));
    m.mnuSetTimeDate = item(window, m.mnuOptions, "mnuSetTimeDate", "Set current time and date",
                            QKeySequence(Qt::CTRL | Qt::Key_C));
    m.mnuOptions->addSeparator();
    m.mnuShowExpert = item(window, m.mnuOptions, "mnuShowExpert", "Show Expert options",
                           QKeySequence(Qt::Key_F6));
    m.mnuShowExpert->setCheckable(true);
    m.mnuOptions->addSeparator();
    m.mnuRefresh = item(window, m.mnuOptions, "mnuRefresh", "Refresh", QKeySequence(Qt::Key_F5));
    m.mnuSaveEEPROM = item(window, m.mnuOptions, "mnuSaveEEPROM", "Save settings permanently",
                           QKeySequence(Qt::CTRL | Qt::Key_S));
    m.mnuOptions->addSeparator();
    m.mnuAlerts = item(window, m.mnuOptions, "mnuAlerts", "Alerts...");
    m.mnuDebug =
        item(window, nullptr, "mnuDebug", "Debug", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_D));
    window->addAction(m.mnuDebug);

    m.mnuHelp = menu(m.bar, "mnuHelp", "Help");
    m.mnuHardware = item(window, m.mnuHelp, "mnuHardware", "Hardware manual");
    m.mnuSoftware = item(window, m.mnuHelp, "mnuSoftware", "Software manual / updates");
    m.mnuFAQ = item(window, m.mnuHelp, "mnuFAQ", "FAQ / error tracking", QKeySequence(Qt::Key_F1));
    return m;
}

} // namespace kv
