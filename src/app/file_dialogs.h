#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace kv {

// What a file dialog is asked for.
struct FileDialogRequest {
    QString title;
    QString filter;        // "description|pattern|description|pattern"
    QString folder;        // start folder
    QString proposedFile;  // empty: no file name
    QString defaultSuffix; // ".ini"; added to a name typed without one
};

// The dialogs the window asks. Tests replace them; the program uses the
// standard ones. An empty file name means cancelled.
struct WindowDialogs {
    // Save dialog: asks before overwriting an existing file.
    std::function<QString(const FileDialogRequest&)> saveFile;
    // Open dialog: only existing files in existing folders.
    std::function<QString(const FileDialogRequest&)> openFile;
    // A Yes/No question with the warning icon, No the default; true = Yes.
    std::function<bool(const QString& caption, const QString& text)> confirm;
};

WindowDialogs standardDialogs(QWidget* parent);

// The folder the file dialogs start in: the program's own folder when the
// program may write there (it runs from its unpacked or build folder), else
// the user's documents folder (an installed program). Ends in a separator.
QString dialogFolder(const QString& programDir);

// A filter of pairs "description|pattern|..." as the file dialogs take it:
// "description (pattern);;...". A description that already names its
// pattern in brackets stays as it is.
QString qtFileFilter(const QString& filter);

} // namespace kv
