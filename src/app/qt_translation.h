#pragma once

#include <QLibraryInfo>
#include <QString>

class QCoreApplication;

namespace kv {

// Loads Qt's own German texts (the buttons of message boxes, the file
// dialogs, the edit menus) and installs them in the application, so that
// Qt's dialogs read German like the rest of the program, whatever the system
// language. Without the translation file Qt's dialogs stay English: returns
// false and says nothing, as that is no fault of the user's.
bool installQtGermanTranslation(QCoreApplication& app, const QString& folder = QLibraryInfo::path(
                                                           QLibraryInfo::TranslationsPath));

} // namespace kv
