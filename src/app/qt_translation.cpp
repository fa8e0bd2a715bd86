#include "app/qt_translation.h"

#include <QCoreApplication>
#include <QTranslator>

namespace kv {

bool installQtGermanTranslation(QCoreApplication& app, const QString& folder) {
    // Owned by the application, so it lives exactly as long as the texts are
    // looked up.
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_de"), folder) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

} // namespace kv
