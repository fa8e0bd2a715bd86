// The File menu's settings commands of the main window: export and imports.
#include "app/main_window.h"

#include "device/board_link.h"
#include "settings/settings_file.h"

namespace kv {

namespace {

FileDialogRequest settingsRequest(SettingsCommand command, const QString& folder) {
    const SettingsDialogSettings settings = settingsDialogSettings(command);
    FileDialogRequest request;
    request.title = settings.title;
    request.filter = settings.filter;
    request.folder = folder;
    request.defaultSuffix = settings.defaultExtension;
    return request;
}

} // namespace

void MainWindow::mnuScheduleConfigExportClick() {
    // Fresh records first; the views follow these reads even if the user
    // then cancels.
    readBoardForExport(link());
    const QString path =
        options_.dialogs.saveFile(settingsRequest(SettingsCommand::Export, dialogFolder_));
    if (path.isEmpty())
        return;
    saveSettings(link(), path, reporter_);
}

void MainWindow::mnuConfigImportClick() {
    const QString path =
        options_.dialogs.openFile(settingsRequest(SettingsCommand::ImportConfig, dialogFolder_));
    if (path.isEmpty())
        return;
    importConfig(link(), path, reporter_);
}

void MainWindow::mnuScheduleImportClick() {
    const QString path =
        options_.dialogs.openFile(settingsRequest(SettingsCommand::ImportSchedule, dialogFolder_));
    if (path.isEmpty())
        return;
    importSchedule(link(), path, reporter_);
}

} // namespace kv
