// The File menu's commands of the main window: settings export and imports,
// and the firmware update with its offer to a claimed bootloader.
#include "app/main_window.h"

#include "app/message_log.h"
#include "app/status_panels.h"
#include "app/taskbar_progress.h"
#include "device/board_link.h"
#include "device/discovery.h"
#include "firmware/flasher.h"
#include "settings/settings_file.h"
#include "sim/sim_backend.h"
#include "text/text_catalogue.h"

#include <QCoreApplication>
#include <QThread>

namespace kv {

namespace {

FileDialogRequest settingsRequest(SettingsCommand command, const QString& programDir) {
    const SettingsDialogSettings settings = settingsDialogSettings(command);
    FileDialogRequest request;
    request.title = settings.title;
    request.filter = settings.filter;
    request.folder = programDir;
    request.defaultSuffix = settings.defaultExtension;
    return request;
}

FileDialogRequest firmwareRequest(const FirmwareDialogSettings& settings) {
    FileDialogRequest request;
    request.title = settings.title;
    request.filter = settings.filter;
    request.folder = settings.initialFolder;
    request.proposedFile = settings.proposedFile;
    request.defaultSuffix = settings.defaultExtension;
    return request;
}

} // namespace

void MainWindow::setUpFirmware() {
    FlashInteraction interaction;
    interaction.confirmUpdate = [this] {
        const bool yes = options_.dialogs.confirm(Msg(QStringLiteral("FlashDlgCaption")),
                                                  Msg(QStringLiteral("FlashDlgText")));
        // The simulated board goes into its bootloader on this one command,
        // as a real board does for an update.
        if (yes && session_->simulator())
            session_->simulator()->setEnterBootloaderOnSave(true);
        return yes;
    };
    interaction.chooseFirmwareFile = [this](const FirmwareDialogSettings& settings) {
        return options_.dialogs.openFile(firmwareRequest(settings));
    };
    interaction.sleep = [](int milliseconds) {
        QThread::msleep(ulong(milliseconds));
    };
    // Flashing holds the event loop: show progress by repainting at once.
    interaction.processPaint = [this] {
        sb_->repaint();
        mem_->viewport()->repaint();
    };
    flasher_ = new Flasher(session_->discovery(), link(), *this, std::move(interaction), this);
    flasher_->setProgramDir(QCoreApplication::applicationDirPath() + QLatin1Char('/'));
    connect(flasher_, &Flasher::taskbarProgress, this, [this](qint64 completed, qint64 total) {
        taskbar_->SetTaskbarProgress(completed, total);
    });
    session_->discovery().firmwareOffer = [this](BootloaderKind kind) {
        flasher_->offerFirmware(kind);
    };
}

void MainWindow::mnuFirmwareUpdateClick() {
    flasher_->mnuFirmwareUpdateClick();
}

void MainWindow::mnuScheduleConfigExportClick() {
    // Fresh records first; the views follow these reads even if the user
    // then cancels.
    readBoardForExport(link());
    const QString path =
        options_.dialogs.saveFile(settingsRequest(SettingsCommand::Export, programDir_));
    if (path.isEmpty())
        return;
    saveSettings(link(), path, *this);
}

void MainWindow::mnuConfigImportClick() {
    const QString path =
        options_.dialogs.openFile(settingsRequest(SettingsCommand::ImportConfig, programDir_));
    if (path.isEmpty())
        return;
    importConfig(link(), path, *this);
}

void MainWindow::mnuScheduleImportClick() {
    const QString path =
        options_.dialogs.openFile(settingsRequest(SettingsCommand::ImportSchedule, programDir_));
    if (path.isEmpty())
        return;
    importSchedule(link(), path, *this);
}

} // namespace kv
