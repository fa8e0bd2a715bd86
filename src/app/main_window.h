#pragma once

#include "app/file_dialogs.h"
#include "app/main_menu.h"
#include "device/device_session.h"
#include "text/reporter.h"

#include <QMainWindow>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>

class QLabel;
class QTabWidget;

namespace kv {

class BoardLink;
class ChannelPanel;
class Flasher;
class MessageLog;
class StatusPanels;
class TaskbarProgress;
struct InfoBlock;

// How the window is started.
struct WindowOptions {
    // The command-line arguments without the program name.
    QStringList arguments;
    // Whether the operating system's HID devices are looked at (tests say no).
    bool systemDevices = true;
    // The dialogs; empty members are replaced by the standard dialogs.
    WindowDialogs dialogs;
    // Opens a help page; the default opens the browser.
    std::function<void(const QUrl&)> openUrl;
};

// The program's one main window `frmVELQOR`: its tabs, menus and status bar,
// the message log, and the window side of discovery and polling. It owns the
// device session (board link, records, discovery, polling) and is the
// reporter every part announces and logs through.
class MainWindow : public QMainWindow, public Reporter {
    Q_OBJECT
public:
    explicit MainWindow(WindowOptions options = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Reporter: announce = StatusMessage, log = LogMessage.
    void announce(const QString& text) override { StatusMessage(text); }
    void log(const QString& text) override { LogMessage(text); }

    // A time-stamped entry in the message log.
    void LogMessage(const QString& text);
    // The text in the first status panel, then logged.
    void StatusMessage(const QString& text);

    DeviceSession& session() { return *session_; }
    BoardLink& link();
    const MainMenu& menu() const { return menu_; }
    QTabWidget* pages() const { return pc_; }
    // The tab sheet of that name ("tsChannels"), null if there is none.
    QWidget* page(const QString& name) const;
    MessageLog* messageLog() const { return mem_; }
    StatusPanels* statusPanels() const { return sb_; }
    ChannelPanel* channelPanel() const { return channels_; }
    TaskbarProgress& taskbar() { return *taskbar_; }
    Flasher& flasher() { return *flasher_; }

    bool debugEnabled() const { return debug_; }
    bool connected() const { return connected_; }
    // The folder of the executable, ending in a separator.
    QString programDir() const { return programDir_; }
    // The channel the day curve edits (its list follows the channel names).
    int visualChannel() const { return visualChannel_; }

    // Brings a tab to the front; the tab-change step runs only when it was
    // not in front already.
    void switchToTab(QWidget* page);

    // Everything that shows channel names or tints follows the colour names.
    void ApplyChannelNames();
    // Fills the schedule grid from the in-memory lines.
    void ShowSchedule();

signals:
    // The schedule grid is to be refilled from the in-memory schedule.
    void scheduleShown();
    // The InfoBlock has been shown in the controls of this window.
    void infoShown();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Parts of the window, built before the creation steps.
    void buildPages();
    void connectMenu();
    void connectDevices();

    // Creation steps.
    void scaleForScreen();
    void enterProgramDir();
    void processCommandLine(const QStringList& arguments);
    void logExecutable();
    void hideUnofferedFeatures();

    // Connection and decoders.
    void setConnected(bool connected);
    void applyEnablingTable();
    void showInfo();
    void onBoardConnected();
    void onBoardGone();

    // Handlers.
    void pcChange();
    void mnuFileOpen();
    void mnuOptionsOpen();
    void mnuModeClick(int mode);
    void mnuShowExpertClick();
    void mnuRefreshClick();
    void mnuSaveEEPROMClick();
    void mnuAllClick(int level);
    void mnuSetTimeDateClick();
    void mnuDebugClick();
    void mnuScheduleConfigExportClick();
    void mnuConfigImportClick();
    void mnuScheduleImportClick();
    void mnuFirmwareUpdateClick();
    void setExpertTabsVisible(bool visible);
    // The firmware update and the offer made when a bootloader is claimed.
    void setUpFirmware();

    WindowOptions options_;
    std::unique_ptr<TaskbarProgress> taskbar_;
    DeviceSession* session_ = nullptr;
    Flasher* flasher_ = nullptr;
    MainMenu menu_;
    QTabWidget* pc_ = nullptr;
    MessageLog* mem_ = nullptr;
    StatusPanels* sb_ = nullptr;
    ChannelPanel* channels_ = nullptr;
    QLabel* lblBoard_ = nullptr;

    QString programDir_;
    double scale_ = 1.0;
    bool debug_ = false;
    bool connected_ = false;
    bool shownOnce_ = false;
    int visualChannel_ = 0;
};

} // namespace kv
