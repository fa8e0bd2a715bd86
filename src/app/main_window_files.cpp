// The File menu's settings commands of the main window: export and imports.
#include "app/main_window.h"

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
    board_.readForExport();
    const QString path =
        options_.dialogs.saveFile(settingsRequest(SettingsCommand::Export, dialogFolder_));
    if (path.isEmpty())
        return;
    board_.writeSettingsFile(path);
}

void MainWindow::mnuConfigImportClick() {
    const QString path =
        options_.dialogs.openFile(settingsRequest(SettingsCommand::ImportConfig, dialogFolder_));
    if (path.isEmpty())
        return;
    board_.importConfig(path);
}

void MainWindow::mnuScheduleImportClick() {
    const QString path =
        options_.dialogs.openFile(settingsRequest(SettingsCommand::ImportSchedule, dialogFolder_));
    if (path.isEmpty())
        return;
    board_.importSchedule(path);
}

} // namespace kv
