#pragma once

#include "app/command_line.h"
#include "app/file_dialogs.h"
#include "app/main_menu.h"
#include "app/taskbar_progress.h"
#include "app/window_reporter.h"
#include "board/board_service.h"
#include "firmware/flasher.h"
#include "views/channel_names.h"
#include "views/view.h"
#include "views/view_set.h"

#include <QMainWindow>
#include <QUrl>

#include <functional>
#include <memory>
#include <vector>

class QTabWidget;

namespace kv {

class ChannelPanel;
class GeoView;
class HistoryRecorder;
class AlertMonitor;
class MessageLog;
class StatusPanels;

// How the window is started.
struct WindowOptions {
    // The command line, read once by the caller.
    CommandLine commandLine;
    // Where HID devices come from (the computer's, the simulated board);
    // they must outlive the window.
    std::vector<DeviceSource> deviceSources;
    // The dialogs; empty members are replaced by the standard dialogs.
    WindowDialogs dialogs;
    // Opens a help page; the default opens the browser.
    std::function<void(const QUrl&)> openUrl;
    // The pause before a firmware block that failed is sent again.
    int flashRetryPauseMs = FlashInteraction{}.retryPauseMs;
    // The history file when the command line names none (the program's is
    // defaultHistoryPath()); empty: no history unless --history names one.
    QString defaultHistoryFile;
};

// The program's one main window `frmVELQOR`, a shell around its views: the
// tabs, the menus, the status bar and log, and the connection state. It owns
// the board service, creates the views (one per tab, in the order of the
// tabs), has them show the board's records after every read, and tells them
// when to enable what.
class MainWindow : public QMainWindow, private ViewShell {
    Q_OBJECT
public:
    explicit MainWindow(WindowOptions options, QWidget* parent = nullptr);
    ~MainWindow() override;

    Reporter& reporter() { return reporter_; }
    BoardService& service() { return board_; }
    TaskbarProgress& taskbar() { return taskbar_; }
    const MainMenu& menu() const { return menu_; }
    ViewSet& views() { return views_; }
    QTabWidget* pages() const { return pc_; }
    // The tab sheet of that name ("tsChannels"), null if there is none.
    QWidget* page(const QString& name) const;
    MessageLog* messageLog() const { return reporter_.messageLog(); }
    StatusPanels* statusPanels() const { return reporter_.statusPanels(); }
    ChannelPanel* channelPanel() const { return channels_; }
    // The history file the window records into and shows (empty: none), and
    // its recorder (null without a history).
    const QString& historyFile() const { return historyFile_; }
    HistoryRecorder* historyRecorder() const { return history_.get(); }
    // The alerts this window evaluates (when it records the board).
    AlertMonitor* alertMonitor() const { return alerts_.get(); }

    bool debugEnabled() const { return debug_; }
    bool connected() const { return connected_; }
    // The folder of the executable, ending in a separator.
    QString programDir() const { return programDir_; }
    // Where the file dialogs start (see dialogFolder()).
    QString dialogFolder() const { return dialogFolder_; }

    // Brings a tab to the front; the tab-change step runs only when it was
    // not in front already.
    void switchToTab(QWidget* page);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // ViewShell.
    void showTab(const QString& sheetName) override;
    void showPassingStatus(const QString& text) override;
    void showRecordAgain(BoardRecord record) override;

    // Parts of the window, built before the creation steps.
    void createViews();
    void connectMenu();
    void connectDevices();
    FlashInteraction firmwareInteraction();
    // The records before a board is read: the computer's moment at the
    // preset place, an empty chart.
    void presetRecords();

    // Creation steps.
    void scaleForScreen();
    void enterProgramDir();
    void processCommandLine();
    void startHistory();
    void startAlerts();
    void logExecutable();

    // Connection and the records' refreshes.
    void setConnected(bool connected);
    void applyEnabling();
    void showHealth();
    void afterInfoShown();
    void afterExpertShown();
    void onLinkStateChanged(LinkState state);
    void onBoardConnected();
    void onBoardGone();
    // The page of the board's mode: Schedule for Auto, Geo for Geo, the
    // channels otherwise.
    View* modePage();

    // Handlers.
    void pcChange();
    void mnuFileOpen();
    void mnuOptionsOpen();
    void mnuModeClick(BoardMode mode);
    void mnuShowExpertClick();
    void mnuRefreshClick();
    void mnuSaveEEPROMClick();
    void mnuAlertsClick();
    void mnuAllClick(int level);
    void mnuSetTimeDateClick();
    void mnuDebugClick();
    void mnuScheduleConfigExportClick();
    void mnuConfigImportClick();
    void mnuScheduleImportClick();
    void setExpertTabsVisible(bool visible);
    bool expertTabsVisible() const;

    WindowOptions options_;
    // Declared in the order they are made; destroyed in reverse, so the
    // board service goes before the log it reports to.
    WindowReporter reporter_;
    TaskbarProgress taskbar_;
    BoardService board_;
    // Records the board's polls and events; goes before the service.
    std::unique_ptr<HistoryRecorder> history_;
    // The alerts, where the history is recorded; goes before the recorder.
    std::unique_ptr<AlertMonitor> alerts_;
    ChannelNames channelNames_;
    ViewSet views_;
    MainMenu menu_;
    QTabWidget* pc_ = nullptr;

    // The views the shell's own commands aim at.
    ChannelPanel* channels_ = nullptr;
    View* channelsGL_ = nullptr;
    View* schedule_ = nullptr;
    GeoView* geo_ = nullptr;
    View* expert_ = nullptr;
    View* jmp_ = nullptr;
    View* messages_ = nullptr;

    QString historyFile_;
    QString programDir_;
    QString dialogFolder_;
    double scale_ = 1.0;
    bool debug_ = false;
    bool connected_ = false;
    bool shownOnce_ = false;
};

} // namespace kv
