#include "app/file_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStringList>

namespace kv {

namespace {

QString runFileDialog(QWidget* parent, const FileDialogRequest& request,
                      QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, request.title, request.folder, qtFileFilter(request.filter));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                       : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setSizeGripEnabled(true);
    QString suffix = request.defaultSuffix;
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    if (!request.proposedFile.isEmpty())
        dialog.selectFile(request.proposedFile);
    // The save dialog asks before overwriting (the default of QFileDialog).
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

} // namespace

QString qtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (description.contains(QLatin1Char('(') + patterns + QLatin1Char(')')))
            result << description;
        else
            result << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return result.join(QStringLiteral(";;"));
}

QString dialogFolder(const QString& programDir) {
    const QFileInfo folder(programDir);
    QString result = folder.isDir() && folder.isWritable()
                         ? programDir
                         : QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!result.endsWith(QLatin1Char('/')))
        result += QLatin1Char('/');
    return result;
}

WindowDialogs standardDialogs(QWidget* parent) {
    WindowDialogs dialogs;
    dialogs.saveFile = [parent](const FileDialogRequest& request) {
        return runFileDialog(parent, request, QFileDialog::AcceptSave);
    };
    dialogs.openFile = [parent](const FileDialogRequest& request) {
        return runFileDialog(parent, request, QFileDialog::AcceptOpen);
    };
    dialogs.confirm = [parent](const QString& caption, const QString& text) {
        QMessageBox box(QMessageBox::Warning, caption,
                        QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")),
                        QMessageBox::Yes | QMessageBox::No, parent);
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    };
    return dialogs;
}

} // namespace kv
