#include "app/main_window.h"

#include "alerts/alert_monitor.h"
#include "alerts/alert_rules.h"
#include "views/alert_rules_dialog.h"

#include "app/help_links.h"
#include "app/status_panels.h"
#include "device/health.h"
#include "device/version_info.h"
#include "firmware/firmware_file.h"
#include "history/history_recorder.h"
#include "text/product.h"
#include "text/text_catalogue.h"
#include "views/channel_panel.h"
#include "views/component_texts.h"
#include "views/geo_view.h"
#include "views/health_display.h"
#include "views/message_log.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTabWidget>

#include <cmath>

namespace kv {

namespace {

// The design-time text of the log; the catalogue puts the German one there.
const char* const WiringWarning =
    "IMPORTANT: BEFORE SWITCHING ON THE POWER SUPPLY, MAKE SURE THAT ALL\n"
    "OUTPUTS ARE WIRED SEPARATELY AND THAT NO FAULT HAS CREPT INTO THE WIRING!\n\n"
    "The controls become active once a connection is made.\n\n";

// Client area and smallest tab area at 96 dots per inch.
constexpr int DesignWidth = 1009;
constexpr int DesignHeight = 655;
constexpr int MinimumTabWidth = 767;
constexpr int MinimumTabHeight = 531;

// Place of the Geo mode before a board tells its own (tenths of a degree).
constexpr std::int16_t PresetLatitude = 501;
constexpr std::int16_t PresetLongitude = 85;

// The level of "Set all channels to 20%".
constexpr int TwentyPercentLevel = 819;

int scaled(int pixels, double scale) {
    return int(std::lround(pixels * scale));
}

} // namespace

MainWindow::MainWindow(WindowOptions options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)), reporter_(this),
      board_(reporter_, options_.deviceSources,
             BoardServiceOptions{{}, ConnectReads::Everything, Front::Window}),
      channelNames_(board_.info()) {
    setObjectName(QStringLiteral("frmVELQOR"));
    const WindowDialogs standard = standardDialogs(this);
    if (!options_.dialogs.saveFile)
        options_.dialogs.saveFile = standard.saveFile;
    if (!options_.dialogs.openFile)
        options_.dialogs.openFile = standard.openFile;
    if (!options_.dialogs.confirm)
        options_.dialogs.confirm = standard.confirm;
    if (!options_.openUrl)
        options_.openUrl = [](const QUrl& url) {
            help::OpenUrl(url);
        };
    // The views fill their lists with catalogue texts while they are made.
    if (!textCatalogue().isLoaded())
        LoadTextCatalogue();

    pc_ = new QTabWidget(this);
    pc_->setObjectName(QStringLiteral("pc"));
    pc_->setUsesScrollButtons(true);
    pc_->setElideMode(Qt::ElideNone);
    setCentralWidget(pc_);
    setStatusBar(reporter_.statusPanels());
    messageLog()->setIntroduction(QString::fromLatin1(WiringWarning));
    // Named from the folder the program was started in, before it moves to
    // its own (enterProgramDir).
    historyFile_ = historyFileOf(options_.commandLine, options_.defaultHistoryFile);
    if (!historyFile_.isEmpty())
        historyFile_ = QFileInfo(historyFile_).absoluteFilePath();
    createViews();
    menu_ = buildMainMenu(this);
    connectMenu();
    connectDevices();
    connect(pc_, &QTabWidget::currentChanged, this, &MainWindow::pcChange);

    // Creation steps, in their order. Drawing surfaces, the schedule grid's
    // columns and the sliders of the later tabs belong to their views.
    // What a person reporting a problem needs to say comes first.
    reporter_.log(versionLine(QStringLiteral("kestvelqor")));
    scaleForScreen();
    enterProgramDir();
    setExpertTabsVisible(false);
    debug_ = false;
    processCommandLine();
    startHistory();
    startAlerts();
    ApplyTextCatalogue(this);
    menu_.mnuAlerts->setText(Msg(QStringLiteral("AlertMenuCaption")));
    views_.textsApplied();

    // The application title lives in the window caption: a display name of
    // the application would be appended to every caption by the platform.
    const QString title = QString::fromLatin1(product::ApplicationTitle);
    reporter_.log(Msg(QStringLiteral("Started")) + QLatin1Char(' ') + title);
    logExecutable();

    pc_->setTabVisible(pc_->indexOf(channelsGL_), false);
    presetRecords();
    setConnected(false);
}

MainWindow::~MainWindow() = default;

QWidget* MainWindow::page(const QString& name) const {
    return views_.find(name);
}

FlashInteraction MainWindow::firmwareInteraction() {
    FlashInteraction interaction;
    interaction.confirmUpdate = [this] {
        return options_.dialogs.confirm(Msg(QStringLiteral("FlashDlgCaption")),
                                        Msg(QStringLiteral("FlashDlgText")));
    };
    interaction.chooseFirmwareFile = [this](const FirmwareDialogSettings& settings) {
        FileDialogRequest request;
        request.title = settings.title;
        request.filter = settings.filter;
        request.folder = settings.initialFolder;
        request.proposedFile = settings.proposedFile;
        request.defaultSuffix = settings.defaultExtension;
        return options_.dialogs.openFile(request);
    };
    interaction.retryPauseMs = options_.flashRetryPauseMs;
    return interaction;
}

void MainWindow::presetRecords() {
    // The Geo tab's "Now" without a board: the computer's date and time in
    // real time, at the place the Geo mode starts from.
    ExpertBlock expert = board_.expert();
    expert.Lat = PresetLatitude;
    expert.Lon = PresetLongitude;
    board_.presetRecords(atComputerMoment(board_.info(), QDateTime::currentDateTime()), expert);
    showRecordAgain(BoardRecord::Info);
    showRecordAgain(BoardRecord::Expert);
    geo_->UpdateGeoView();
}

// ---------------------------------------------------------------------------
// Parts of the window

void MainWindow::connectMenu() {
    const MainMenu& m = menu_;
    connect(m.mnuFile, &QMenu::aboutToShow, this, &MainWindow::mnuFileOpen);
    connect(m.mnuOptions, &QMenu::aboutToShow, this, &MainWindow::mnuOptionsOpen);
    connect(m.mnuScheduleImport, &QAction::triggered, this, &MainWindow::mnuScheduleImportClick);
    connect(m.mnuConfigImport, &QAction::triggered, this, &MainWindow::mnuConfigImportClick);
    connect(m.mnuScheduleConfigExport, &QAction::triggered, this,
            &MainWindow::mnuScheduleConfigExportClick);
    connect(m.mnuFirmwareUpdate, &QAction::triggered, this, [this] { board_.updateFirmware(); });
    connect(m.mnuExit, &QAction::triggered, this, &QWidget::close);
    for (BoardMode mode : BoardModes)
        connect(m.modeItem(mode), &QAction::triggered, this, [this, mode] { mnuModeClick(mode); });
    connect(m.mnuAllOff, &QAction::triggered, this, [this] { mnuAllClick(0); });
    connect(m.mnuAll20, &QAction::triggered, this, [this] { mnuAllClick(TwentyPercentLevel); });
    connect(m.mnuAllOn, &QAction::triggered, this, [this] { mnuAllClick(FullLevel); });
    connect(m.mnuSetTimeDate, &QAction::triggered, this, &MainWindow::mnuSetTimeDateClick);
    connect(m.mnuShowExpert, &QAction::triggered, this, &MainWindow::mnuShowExpertClick);
    connect(m.mnuRefresh, &QAction::triggered, this, &MainWindow::mnuRefreshClick);
    connect(m.mnuSaveEEPROM, &QAction::triggered, this, &MainWindow::mnuSaveEEPROMClick);
    connect(m.mnuAlerts, &QAction::triggered, this, &MainWindow::mnuAlertsClick);
    connect(m.mnuDebug, &QAction::triggered, this, &MainWindow::mnuDebugClick);
    connect(m.mnuHardware, &QAction::triggered, this,
            [this] { options_.openUrl(help::pageUrl(help::Page::Hardware)); });
    connect(m.mnuSoftware, &QAction::triggered, this,
            [this] { options_.openUrl(help::pageUrl(help::Page::Software)); });
    connect(m.mnuFAQ, &QAction::triggered, this,
            [this] { options_.openUrl(help::pageUrl(help::Page::Faq)); });
}

void MainWindow::connectDevices() {
    board_.setFirmwareInteraction(firmwareInteraction());
    // The shell's part of a read comes first (clock, caption), then the
    // views in the order of the tabs, then what follows from all of them.
    connect(&board_, &BoardService::recordChanged, this,
            [this](BoardRecord record, ChangeCause cause) {
                if (record == BoardRecord::Info && cause != ChangeCause::Write)
                    showHealth();
            });
    views_.attach(board_, channelNames_);
    connect(&views_, &ViewSet::infoShown, this, &MainWindow::afterInfoShown);
    connect(&views_, &ViewSet::expertShown, this, &MainWindow::afterExpertShown);

    connect(&board_, &BoardService::bootloaderClaimed, this, [this] { switchToTab(messages_); });
    connect(&board_, &BoardService::connected, this, &MainWindow::onBoardConnected);
    connect(&board_, &BoardService::unplugged, this, &MainWindow::onBoardGone);
    connect(&board_, &BoardService::linkStateChanged, this, &MainWindow::onLinkStateChanged);
    connect(&board_, &BoardService::operationProgress, this,
            [this](Operation operation, qint64 done, qint64 total) {
                if (operation == Operation::FirmwareUpdate)
                    taskbar_.SetTaskbarProgress(done, total);
            });
    // Polling reads nothing while the window is hidden.
    board_.setPollGate([this] { return isVisible(); });
}

// ---------------------------------------------------------------------------
// Creation steps

void MainWindow::scaleForScreen() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    scale_ = screen ? screen->logicalDotsPerInch() / 96.0 : 1.0;
    statusPanels()->setScale(scale_);
    pc_->setMinimumSize(scaled(MinimumTabWidth, scale_), scaled(MinimumTabHeight, scale_));
    const int menuHeight = menuBar()->sizeHint().height();
    resize(scaled(DesignWidth, scale_), scaled(DesignHeight, scale_) + menuHeight);
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
}

void MainWindow::enterProgramDir() {
    programDir_ = QCoreApplication::applicationDirPath();
    if (!programDir_.endsWith(QLatin1Char('/')))
        programDir_ += QLatin1Char('/');
    QDir::setCurrent(programDir_); // a failure changes nothing that matters
    dialogFolder_ = kv::dialogFolder(programDir_);
    board_.setProgramDir(dialogFolder_);
}

void MainWindow::processCommandLine() {
    const CommandLine& commandLine = options_.commandLine;
    for (const QString& parameter : commandLine.parameters)
        reporter_.log(parameterLogLine(parameter));
    if (commandLine.expert)
        setExpertTabsVisible(true);
    if (commandLine.debug)
        debug_ = true;
}

// The window records the board it is connected to, unless another program
// does (the recorder leaves the samples to it). A file that cannot be used is
// one line in the log; everything else goes on without it.
void MainWindow::startHistory() {
    if (options_.commandLine.historyWithoutFile && !historyFile_.isEmpty())
        reporter_.log(MsgFmt(QStringLiteral("HistoryOptionWithoutFile"),
                             {QDir::toNativeSeparators(historyFile_)}));
    if (!historyFile_.isEmpty())
        history_ = std::make_unique<HistoryRecorder>(board_, reporter_, historyFile_);
}

void MainWindow::startAlerts() {
    // Raises and clears are lines of the log (the monitor tells the
    // reporter); the worst active alert holds the status bar's first panel.
    alerts_ =
        std::make_unique<AlertMonitor>(board_, reporter_, defaultAlertRulesPath(), history_.get());
    connect(alerts_.get(), &AlertMonitor::activeChanged, this, [this] {
        const auto active = alerts_->active();
        const auto worst = std::max_element(
            active.begin(), active.end(),
            [](const AlertStatus& a, const AlertStatus& b) { return a.level < b.level; });
        statusPanels()->setAlertText(worst == active.end()
                                         ? QString()
                                         : MsgFmt(QStringLiteral("AlertStatusBar"), {worst->text}));
    });
}

void MainWindow::mnuAlertsClick() {
    AlertRulesDialog dialog(alerts_->rulesPath(), this);
    if (dialog.exec() == QDialog::Accepted)
        alerts_->reloadRules();
}

void MainWindow::logExecutable() {
    reporter_.log(fileDescription(QCoreApplication::applicationFilePath()));
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        taskbar_.SetTaskbarProgress(1, 1);
        taskbar_.SetTaskbarState(TaskbarState::Error);
    }
}

// ---------------------------------------------------------------------------
// Services for the views

void MainWindow::showTab(const QString& sheetName) {
    switchToTab(page(sheetName));
}

void MainWindow::showPassingStatus(const QString& text) {
    statusPanels()->setPanelText(StatusPanels::Text, text);
}

void MainWindow::showRecordAgain(BoardRecord record) {
    if (record == BoardRecord::Info)
        showHealth();
    views_.show(record);
}

void MainWindow::mnuDebugClick() {
    debug_ = !debug_;
    reporter_.log(Msg(debug_ ? QStringLiteral("DebugMessagesActive")
                             : QStringLiteral("DebugMessagesInactive")));
}

// ---------------------------------------------------------------------------
// Tabs

void MainWindow::switchToTab(QWidget* target) {
    if (!target || pc_->currentWidget() == target)
        return;
    // currentChanged runs the tab-change step.
    pc_->setCurrentWidget(target);
}

void MainWindow::pcChange() {
    views_.setFront(qobject_cast<View*>(pc_->currentWidget()));
}

void MainWindow::setExpertTabsVisible(bool visible) {
    pc_->setTabVisible(pc_->indexOf(expert_), visible);
    pc_->setTabVisible(pc_->indexOf(jmp_), visible);
}

bool MainWindow::expertTabsVisible() const {
    return pc_->isTabVisible(pc_->indexOf(expert_));
}

void MainWindow::mnuShowExpertClick() {
    const bool visible = !expertTabsVisible();
    setExpertTabsVisible(visible);
    if (visible)
        switchToTab(expert_);
}

View* MainWindow::modePage() {
    if (board_.info().inMode(BoardMode::Auto))
        return schedule_;
    if (board_.info().inMode(BoardMode::Geo))
        return geo_;
    return channels_;
}

// ---------------------------------------------------------------------------
// Menus

void MainWindow::mnuFileOpen() {
    // A running update is not started again.
    menu_.mnuFirmwareUpdate->setEnabled(!board_.updateRunning() &&
                                        (board_.bootloaderHeld() || board_.boardHeld()));
}

void MainWindow::mnuOptionsOpen() {
    if (const auto mode = boardModeOf(board_.info().Mode))
        menu_.modeItem(*mode)->setChecked(true);
    menu_.mnuShowExpert->setChecked(expertTabsVisible());
}

void MainWindow::mnuModeClick(BoardMode mode) {
    const bool changed = !board_.info().inMode(mode);
    board_.setMode(mode);
    // The schedule's place column follows the mode (times or altitudes).
    if (changed)
        showRecordAgain(BoardRecord::Schedule);
    if (mode == BoardMode::Manual) {
        if (pc_->currentWidget() != channelsGL_)
            switchToTab(channels_);
    } else {
        switchToTab(modePage());
    }
    // The level controls follow the mode at once.
    applyEnabling();
}

void MainWindow::mnuAllClick(int level) {
    switchToTab(channels_);
    channels_->setAllChannels(level);
}

void MainWindow::mnuSetTimeDateClick() {
    switchToTab(geo_);
    geo_->btnNowClick();
}

void MainWindow::mnuRefreshClick() {
    board_.reread({BoardRecord::Info, BoardRecord::Expert, BoardRecord::Schedule});
}

void MainWindow::mnuSaveEEPROMClick() {
    board_.saveSettings();
}

// ---------------------------------------------------------------------------
// Connection and the records' refreshes

void MainWindow::onLinkStateChanged(LinkState state) {
    switch (state) {
    case LinkState::NoDevice:
        taskbar_.SetTaskbarProgress(1, 1);
        taskbar_.SetTaskbarState(TaskbarState::Error);
        break;
    case LinkState::Bootloader:
        taskbar_.SetTaskbarProgress(0, 1);
        taskbar_.SetTaskbarState(TaskbarState::Normal);
        break;
    case LinkState::OtherFirmware:
        taskbar_.SetTaskbarProgress(1, 1);
        taskbar_.SetTaskbarState(TaskbarState::Paused);
        break;
    case LinkState::Connected:
        taskbar_.SetTaskbarProgress(1, 1);
        taskbar_.SetTaskbarState(TaskbarState::Normal);
        break;
    }
}

void MainWindow::onBoardConnected() {
    setConnected(true);
    switchToTab(board_.info().inMode(BoardMode::Auto) ? schedule_ : channels_);
}

void MainWindow::onBoardGone() {
    switchToTab(messages_);
    setConnected(false);
    statusPanels()->setPanelText(StatusPanels::Clock, QString());
    statusPanels()->setPanelText(StatusPanels::Mode, QString());
}

void MainWindow::setConnected(bool connected) {
    connected_ = connected;
    taskbar_.SetTaskbarProgress(1, 1);
    if (connected) {
        taskbar_.SetTaskbarState(TaskbarState::Normal);
    } else {
        // Mode: Manual is enabled while the window was connected or is being
        // created.
        if (menu_.mnuModeManual->isEnabled())
            switchToTab(messages_);
        statusPanels()->setPanelText(StatusPanels::Clock, QString());
        statusPanels()->setPanelText(StatusPanels::Mode, QString());
        setWindowTitle(disconnectedCaption());
        taskbar_.SetTaskbarState(TaskbarState::Error);
    }
    views_.connectionChanged(connected);
    applyEnabling();
}

void MainWindow::applyEnabling() {
    const ViewFacts now =
        factsOf(board_.info(), board_.expert(), connected_, board_.bootloaderHeld());
    for (QAction* item : menu_.connectedItems())
        item->setEnabled(now.connected);
    views_.applyEnabling(now);
}

// The shell's part of an InfoBlock read: the board's clock in the status bar
// and the health text in the caption.
void MainWindow::showHealth() {
    HealthTargets targets;
    targets.window = this;
    targets.setPanel = [this](int panel, const QString& text) {
        statusPanels()->setPanelText(panel, text);
    };
    refreshHealth(board_.info(), targets);
}

// After the views: mode letters, what the mode enables.
void MainWindow::afterInfoShown() {
    statusPanels()->setPanelText(StatusPanels::Mode, modeActivityText(board_.info()));
    // Without a connection everything stays disabled (and the menus keep the
    // state the disconnected switch looks at while the window is created).
    if (connected_)
        applyEnabling();
}

// A read of the expert record (or an import) leaves the log for the page of
// the board's mode.
void MainWindow::afterExpertShown() {
    if (pc_->currentWidget() == messages_)
        switchToTab(modePage());
}

} // namespace kv
