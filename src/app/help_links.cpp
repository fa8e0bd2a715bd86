#include "app/help_links.h"

#include <QDesktopServices>

#ifdef Q_OS_WIN
#include <QProcess>
#include <QSettings>
#endif

namespace kv::help {

QUrl pageUrl(Page page) {
    const char* query = "";
    switch (page) {
    case Page::Hardware:
        query = "id=kestvelqor1x:hardware";
        break;
    case Page::Software:
        query = "id=kestvelqor1x:software";
        break;
    case Page::Faq:
        query = "id=kestvelqor1x:faq";
        break;
    }
    QUrl url;
    url.setScheme(QStringLiteral("https"));
    url.setHost(QString::fromLatin1(DocumentationHost));
    url.setPath(QStringLiteral("/doku.php"));
    url.setQuery(QString::fromLatin1(query));
    return url;
}

QString browserCommandLine(const QString& registeredCommand, const QString& url) {
    if (registeredCommand.isEmpty())
        return {};
    QString command = registeredCommand;
    if (!command.contains(QLatin1String("%1"), Qt::CaseInsensitive))
        command += QStringLiteral(" \"%1\"");
    command.replace(QLatin1String("%1"), url, Qt::CaseInsensitive);
    return command;
}

void OpenUrl(const QUrl& url) {
#ifdef Q_OS_WIN
    const QSettings registry(QStringLiteral("HKEY_CLASSES_ROOT\\http\\shell\\open\\command"),
                             QSettings::NativeFormat);
    const QString command =
        browserCommandLine(registry.value(QStringLiteral("Default")).toString(), url.toString());
    if (!command.isEmpty()) {
        QStringList parts = QProcess::splitCommand(command);
        if (!parts.isEmpty()) {
            const QString program = parts.takeFirst();
            QProcess::startDetached(program, parts);
            return;
        }
    }
#endif
    QDesktopServices::openUrl(url);
}

} // namespace kv::help
