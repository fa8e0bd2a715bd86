#include "app/main_window.h"

#include "app/command_line.h"
#include "app/enabling_table.h"
#include "app/help_links.h"
#include "app/message_log.h"
#include "app/status_panels.h"
#include "app/taskbar_progress.h"
#include "app/text_applier.h"
#include "device/board_link.h"
#include "device/clock_sync.h"
#include "device/discovery.h"
#include "device/poller.h"
#include "firmware/firmware_file.h"
#include "firmware/flasher.h"
#include "text/product.h"
#include "text/text_catalogue.h"
#include "views/channel_colors.h"
#include "views/channel_panel.h"
#include "views/focus_rule.h"
#include "views/health_display.h"
#include "views/input_marks.h"
#include "views/labelled_edit.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

namespace kv {

namespace {

// The tabs in their order, with their design-time captions.
struct PageEntry {
    const char* name;
    const char* caption;
};
constexpr PageEntry Pages[] = {
    {"tsChannels", "Channels A-F"},
    {"tsChannelsGL", "Channels G-L"},
    {"tsSchedule", "Schedule"},
    {"tsVisualize", "Visualization"},
    {"tsGeo", "Geo"},
    {"tsConfig", "Configuration"},
    {"tsTemp", "Chart"},
    {"tsWeather", "Weather"},
    {"tsWeatherDelay", "Delays"},
    {"tsMoon", "Moon"},
    {"tsExpert", "Expert options"},
    {"tsJMP", "JMP pin"},
    {"tsMessages", "Messages"},
};

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

int scaled(int pixels, double scale) {
    return int(std::lround(pixels * scale));
}

QLineEdit* lineEditOf(QObject* component) {
    if (auto* labelled = qobject_cast<LabelledEdit*>(component))
        return labelled->edit();
    return qobject_cast<QLineEdit*>(component);
}

} // namespace

MainWindow::MainWindow(WindowOptions options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)) {
    setObjectName(QStringLiteral("frmVELQOR"));
    if (!options_.dialogs.saveFile || !options_.dialogs.openFile || !options_.dialogs.confirm) {
        const WindowDialogs standard = standardDialogs(this);
        if (!options_.dialogs.saveFile)
            options_.dialogs.saveFile = standard.saveFile;
        if (!options_.dialogs.openFile)
            options_.dialogs.openFile = standard.openFile;
        if (!options_.dialogs.confirm)
            options_.dialogs.confirm = standard.confirm;
    }
    if (!options_.openUrl)
        options_.openUrl = [](const QUrl& url) {
            help::OpenUrl(url);
        };

    // The non-visual parts: the device session posts its first scan, which
    // runs once the event loop does.
    const CommandLine commandLine = parseCommandLine(options_.arguments);
    DeviceSession::Options deviceOptions;
    deviceOptions.simulate = commandLine.simulate;
    deviceOptions.systemDevices = options_.systemDevices;
    session_ = new DeviceSession(*this, deviceOptions, this);

    buildPages();
    menu_ = buildMainMenu(this);
    connectMenu();
    connectDevices();
    setUpFirmware();

    // Creation steps, in their order. Drawing surfaces, the schedule grid's
    // columns and the sliders of the later tabs belong to their views.
    taskbar_ = std::make_unique<TaskbarProgress>();
    scaleForScreen();
    enterProgramDir();
    setExpertTabsVisible(false);
    debug_ = false;
    processCommandLine(options_.arguments);
    ApplyTextCatalogue(this);

    // The application title lives in the window caption: a display name of
    // the application would be appended to every caption by the platform.
    const QString title = QString::fromLatin1(product::ApplicationTitle);
    LogMessage(Msg(QStringLiteral("Started")) + QLatin1Char(' ') + title);
    logExecutable();

    channels_->fillColorNames();
    pc_->setTabVisible(pc_->indexOf(page(QStringLiteral("tsChannelsGL"))), false);
    link().chart = ChartBlock::empty();
    hideUnofferedFeatures();
    link().expert.Lat = PresetLatitude;
    link().expert.Lon = PresetLongitude;
    showInfo();
    setConnected(false);
    visualChannel_ = 0;
}

MainWindow::~MainWindow() {
    // The device parts go first: what they tell while they close down must
    // not reach members that are gone already.
    delete flasher_;
    delete session_;
}

BoardLink& MainWindow::link() {
    return session_->link();
}

QWidget* MainWindow::page(const QString& name) const {
    for (int i = 0; i < pc_->count(); ++i)
        if (pc_->widget(i)->objectName() == name)
            return pc_->widget(i);
    return nullptr;
}

// ---------------------------------------------------------------------------
// Parts of the window

void MainWindow::buildPages() {
    pc_ = new QTabWidget(this);
    pc_->setObjectName(QStringLiteral("pc"));
    pc_->setUsesScrollButtons(true);
    pc_->setElideMode(Qt::ElideNone);
    for (const PageEntry& entry : Pages) {
        auto* sheet = new QWidget;
        sheet->setObjectName(QString::fromLatin1(entry.name));
        pc_->addTab(sheet, QString::fromLatin1(entry.caption));
    }
    setCentralWidget(pc_);

    auto* channelsLayout = new QVBoxLayout(page(QStringLiteral("tsChannels")));
    channels_ = new ChannelPanel(link());
    channelsLayout->addWidget(channels_);
    connect(channels_, &ChannelPanel::colorChosen, this, &MainWindow::ApplyChannelNames);

    // The board status line stays on the configuration tab.
    auto* configLayout = new QVBoxLayout(page(QStringLiteral("tsConfig")));
    lblBoard_ = new QLabel;
    lblBoard_->setObjectName(QStringLiteral("lblBoard"));
    lblBoard_->setWordWrap(true);
    configLayout->addWidget(lblBoard_);
    configLayout->addStretch(1);

    auto* messagesLayout = new QVBoxLayout(page(QStringLiteral("tsMessages")));
    mem_ = new MessageLog;
    mem_->setIntroduction(QString::fromLatin1(WiringWarning));
    messagesLayout->addWidget(mem_);

    sb_ = new StatusPanels(this);
    setStatusBar(sb_);

    connect(pc_, &QTabWidget::currentChanged, this, &MainWindow::pcChange);
}

void MainWindow::connectMenu() {
    const MainMenu& m = menu_;
    connect(m.mnuFile, &QMenu::aboutToShow, this, &MainWindow::mnuFileOpen);
    connect(m.mnuOptions, &QMenu::aboutToShow, this, &MainWindow::mnuOptionsOpen);
    connect(m.mnuScheduleImport, &QAction::triggered, this, &MainWindow::mnuScheduleImportClick);
    connect(m.mnuConfigImport, &QAction::triggered, this, &MainWindow::mnuConfigImportClick);
    connect(m.mnuScheduleConfigExport, &QAction::triggered, this,
            &MainWindow::mnuScheduleConfigExportClick);
    connect(m.mnuFirmwareUpdate, &QAction::triggered, this, &MainWindow::mnuFirmwareUpdateClick);
    connect(m.mnuExit, &QAction::triggered, this, &QWidget::close);
    for (int mode = 0; mode < 3; ++mode)
        connect(m.modeItem(mode), &QAction::triggered, this, [this, mode] { mnuModeClick(mode); });
    connect(m.mnuAllOff, &QAction::triggered, this, [this] { mnuAllClick(0); });
    connect(m.mnuAll20, &QAction::triggered, this, [this] { mnuAllClick(819); });
    connect(m.mnuAllOn, &QAction::triggered, this,
            [this] { mnuAllClick(ChannelPanel::FullLevel); });
    connect(m.mnuSetTimeDate, &QAction::triggered, this, &MainWindow::mnuSetTimeDateClick);
    connect(m.mnuShowExpert, &QAction::triggered, this, &MainWindow::mnuShowExpertClick);
    connect(m.mnuRefresh, &QAction::triggered, this, &MainWindow::mnuRefreshClick);
    connect(m.mnuSaveEEPROM, &QAction::triggered, this, &MainWindow::mnuSaveEEPROMClick);
    connect(m.mnuDebug, &QAction::triggered, this, &MainWindow::mnuDebugClick);
    connect(m.mnuHardware, &QAction::triggered, this,
            [this] { options_.openUrl(help::pageUrl(help::Page::Hardware)); });
    connect(m.mnuSoftware, &QAction::triggered, this,
            [this] { options_.openUrl(help::pageUrl(help::Page::Software)); });
    connect(m.mnuFAQ, &QAction::triggered, this,
            [this] { options_.openUrl(help::pageUrl(help::Page::Faq)); });
}

void MainWindow::connectDevices() {
    BoardLink& boardLink = link();
    Discovery& discovery = session_->discovery();
    connect(&boardLink, &BoardLink::infoRead, this, &MainWindow::showInfo);
    connect(&boardLink, &BoardLink::scheduleRead, this, &MainWindow::ShowSchedule);
    connect(&discovery, &Discovery::bootloaderClaimed, this,
            [this] { switchToTab(page(QStringLiteral("tsMessages"))); });
    connect(&discovery, &Discovery::boardConnected, this, &MainWindow::onBoardConnected);
    connect(&discovery, &Discovery::boardGone, this, &MainWindow::onBoardGone);
    connect(&discovery, &Discovery::taskbarProgress, this, [this](qint64 completed, qint64 total) {
        taskbar_->SetTaskbarProgress(completed, total);
    });
    connect(&discovery, &Discovery::taskbarState, this,
            [this](TaskbarState state) { taskbar_->SetTaskbarState(state); });
    // Polling reads nothing while the window is hidden.
    session_->poller().setVisibleCheck([this] { return isVisible(); });
}

// ---------------------------------------------------------------------------
// Creation steps

void MainWindow::scaleForScreen() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    scale_ = screen ? screen->logicalDotsPerInch() / 96.0 : 1.0;
    sb_->setScale(scale_);
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
}

void MainWindow::processCommandLine(const QStringList& arguments) {
    const CommandLine commandLine = parseCommandLine(arguments);
    for (const QString& parameter : commandLine.parameters)
        LogMessage(parameterLogLine(parameter));
    if (commandLine.expert)
        setExpertTabsVisible(true);
    if (commandLine.debug)
        debug_ = true;
}

void MainWindow::logExecutable() {
    LogMessage(fileDescription(QCoreApplication::applicationFilePath()));
}

void MainWindow::hideUnofferedFeatures() {
    // Features of other board variants that this program does not offer.
    for (const char* name : {"lblPWMPrescaler", "edtPWMPrescaler", "rbtFMOWaterMaster",
                             "rbtCHMTempSlave", "mnuCHMTempSlave"}) {
        QObject* component = findComponent(this, QString::fromLatin1(name));
        if (auto* widget = qobject_cast<QWidget*>(component))
            widget->setVisible(false);
        else if (auto* action = qobject_cast<QAction*>(component))
            action->setVisible(false);
    }
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        taskbar_->SetTaskbarProgress(1, 1);
        taskbar_->SetTaskbarState(TaskbarState::Error);
    }
}

// ---------------------------------------------------------------------------
// Log and status

void MainWindow::LogMessage(const QString& text) {
    mem_->LogMessage(text);
}

void MainWindow::StatusMessage(const QString& text) {
    sb_->setPanelText(0, text);
    LogMessage(text);
}

void MainWindow::mnuDebugClick() {
    debug_ = !debug_;
    LogMessage(Msg(debug_ ? QStringLiteral("DebugMessagesActive")
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
    const QString active = pc_->currentWidget() ? pc_->currentWidget()->objectName() : QString();
    if (active == QLatin1String("tsTemp"))
        link().GetExpertChart();
    else if (active == QLatin1String("tsSchedule"))
        ShowSchedule();
}

void MainWindow::setExpertTabsVisible(bool visible) {
    pc_->setTabVisible(pc_->indexOf(page(QStringLiteral("tsExpert"))), visible);
    pc_->setTabVisible(pc_->indexOf(page(QStringLiteral("tsJMP"))), visible);
}

void MainWindow::mnuShowExpertClick() {
    const int expert = pc_->indexOf(page(QStringLiteral("tsExpert")));
    const bool visible = !pc_->isTabVisible(expert);
    setExpertTabsVisible(visible);
    if (visible)
        switchToTab(page(QStringLiteral("tsExpert")));
}

void MainWindow::ShowSchedule() {
    emit scheduleShown();
}

// ---------------------------------------------------------------------------
// Menus

void MainWindow::mnuFileOpen() {
    const Discovery& discovery = session_->discovery();
    menu_.mnuFirmwareUpdate->setEnabled(discovery.bootloaderDevice() || discovery.boardDevice());
}

void MainWindow::mnuOptionsOpen() {
    if (QAction* mode = menu_.modeItem(link().info.Mode))
        mode->setChecked(true);
    menu_.mnuShowExpert->setChecked(
        pc_->isTabVisible(pc_->indexOf(page(QStringLiteral("tsExpert")))));
}

void MainWindow::mnuModeClick(int mode) {
    if (link().info.Mode != mode) {
        link().info.Mode = std::uint8_t(mode);
        ShowSchedule();
    }
    if (mode == 0) {
        if (pc_->currentWidget() != page(QStringLiteral("tsChannelsGL")))
            switchToTab(page(QStringLiteral("tsChannels")));
    } else {
        switchToTab(page(mode == 1 ? QStringLiteral("tsSchedule") : QStringLiteral("tsGeo")));
    }
    link().SetConfig();
    // The level controls follow the mode at once.
    applyEnablingTable();
}

void MainWindow::mnuAllClick(int level) {
    switchToTab(page(QStringLiteral("tsChannels")));
    channels_->setAllChannels(level);
}

void MainWindow::mnuSetTimeDateClick() {
    switchToTab(page(QStringLiteral("tsGeo")));
    setBoardClockNow(link(), QDateTime::currentDateTime());
}

void MainWindow::mnuRefreshClick() {
    link().GetInfoConfig();
    link().GetExpertChart();
    link().GetSchedule();
}

void MainWindow::mnuSaveEEPROMClick() {
    link().SendCommand(BoardLink::CommandSave);
}

// ---------------------------------------------------------------------------
// Connection

void MainWindow::onBoardConnected() {
    setConnected(true);
    switchToTab(
        page(link().info.Mode == 1 ? QStringLiteral("tsSchedule") : QStringLiteral("tsChannels")));
}

void MainWindow::onBoardGone() {
    switchToTab(page(QStringLiteral("tsMessages")));
    setConnected(false);
    sb_->setPanelText(1, QString());
    sb_->setPanelText(2, QString());
}

void MainWindow::setConnected(bool connected) {
    connected_ = connected;
    taskbar_->SetTaskbarProgress(1, 1);
    if (connected) {
        taskbar_->SetTaskbarState(TaskbarState::Normal);
    } else {
        // Mode: Manual is enabled while the window was connected or is being
        // created.
        if (menu_.mnuModeManual->isEnabled())
            switchToTab(page(QStringLiteral("tsMessages")));
        sb_->setPanelText(1, QString());
        sb_->setPanelText(2, QString());
        lblBoard_->clear();
        setWindowTitle(disconnectedCaption());
        taskbar_->SetTaskbarState(TaskbarState::Error);
    }
    applyEnablingTable();
}

void MainWindow::applyEnablingTable() {
    const InfoBlock& info = link().info;
    EnableFacts facts;
    facts.connected = connected_;
    facts.mode = info.Mode;
    facts.fanMode = link().expert.FanMode;
    facts.sensor = info.WaterTemp != NoValue;
    if (auto* fanFollowsLeds = findChild<QRadioButton*>(QStringLiteral("rbtFMOLED")))
        facts.fanFollowsLeds = fanFollowsLeds->isChecked();
    applyEnabling(this, facts);
}

// The InfoBlock decoders, in their order: board status and clock, levels and
// names, then mode, letters and what the mode enables.
void MainWindow::showInfo() {
    const InfoBlock& info = link().info;
    HealthTargets targets;
    targets.window = this;
    targets.boardLabel = lblBoard_;
    targets.setPanel = [this](int panel, const QString& text) {
        sb_->setPanelText(panel, text);
    };
    refreshHealth(info, targets);
    channels_->showLevels(info);
    ApplyChannelNames();
    refreshModeActivity(info, targets);
    // Without a connection everything stays disabled (and the menus keep the
    // state the disconnected switch looks at while the window is created).
    if (connected_)
        applyEnablingTable();
    emit infoShown();
}

void MainWindow::ApplyChannelNames() {
    auto* visualize = findChild<QComboBox*>(QStringLiteral("cmbVisualize"));
    if (focus::isDroppedDown(visualize))
        return;
    if (visualize) {
        visualize->setUpdatesEnabled(false);
        const QSignalBlocker quiet(visualize);
        visualize->clear();
    }
    auto* schedule = findChild<QAbstractItemView*>(QStringLiteral("sgSchedule"));

    for (int channel = 0; channel < ChannelPanel::Channels; ++channel) {
        const int color = link().info.ColorName[std::size_t(channel)];
        const QString name = channelName(channel, color);
        const QColor tint = windowColor(PanelTint(color));
        const QString n = QString::number(channel);

        QComboBox* nameBox = channels_->nameBox(channel);
        if (!focus::isDroppedDown(nameBox))
            nameBox->setCurrentIndex(colorTableIndex(color));
        if (schedule && schedule->model())
            schedule->model()->setHeaderData(channel + 2, Qt::Horizontal, name);
        if (visualize) {
            const QSignalBlocker quiet(visualize);
            visualize->addItem(name);
        }
        for (const QString& prefix :
             {QStringLiteral("edtMoon"), QStringLiteral("edtWeatherDelay")}) {
            if (auto* labelled = findChild<LabelledEdit*>(prefix + n)) {
                labelled->setCaption(name);
                setEditTint(labelled->edit(), tint);
            }
        }
        setEditTint(channels_->percentEdit(channel), tint);
        setEditTint(lineEditOf(findChild<QObject*>(QStringLiteral("edtLightningMask") + n)), tint);
    }

    if (visualize) {
        const QSignalBlocker quiet(visualize);
        visualize->setUpdatesEnabled(true);
        visualize->setCurrentIndex(visualChannel_);
    }
}

} // namespace kv
