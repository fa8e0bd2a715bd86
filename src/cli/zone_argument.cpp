#include "cli/zone_argument.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace kv::cli {

namespace {

constexpr int LargestOffsetMinutes = 14 * 60;

std::optional<int> offsetMinutes(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral("^(?:UTC)?([+-])(\\d{1,2})(?::(\\d{2}))?$"),
        QRegularExpression::CaseInsensitiveOption);
    if (text.compare(QLatin1String("UTC"), Qt::CaseInsensitive) == 0)
        return 0;
    const auto match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int hours = match.captured(2).toInt();
    const int minutes = match.hasCaptured(3) ? match.captured(3).toInt() : 0;
    const int total = hours * 60 + minutes;
    if (minutes > 59 || total > LargestOffsetMinutes)
        return std::nullopt;
    return match.captured(1) == QLatin1String("-") ? -total : total;
}

// Qt lists only the main zones of the database; the others (links such as
// "Asia/Calcutta", "CET" or "Etc/GMT-2") are files of the system's zone
// database, which is where Qt reads them from too.
bool isZoneDatabaseFile(const QString& id) {
#ifdef Q_OS_UNIX
    if (id.isEmpty() || id.startsWith(QLatin1Char('/')) ||
        id.split(QLatin1Char('/')).contains(QStringLiteral("..")))
        return false;
    QStringList folders = {QStringLiteral("/usr/share/zoneinfo"),
                           QStringLiteral("/usr/lib/zoneinfo"),
                           QStringLiteral("/usr/share/lib/zoneinfo")};
    const QString tzdir = qEnvironmentVariable("TZDIR");
    if (!tzdir.isEmpty())
        folders.prepend(tzdir);
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(id);
        if (!QFileInfo(path).isFile())
            continue;
        QFile file(path);
        if (file.open(QIODevice::ReadOnly) && file.read(4) == "TZif")
            return true;
    }
#else
    Q_UNUSED(id)
#endif
    return false;
}

} // namespace

std::optional<ZoneArgument> parseZoneArgument(const QString& text) {
    if (const auto minutes = offsetMinutes(text))
        return ZoneArgument(*minutes);
    const QByteArray id = text.toUtf8();
    if (!QTimeZone::isTimeZoneIdAvailable(id) && !isZoneDatabaseFile(text))
        return std::nullopt;
    const QTimeZone zone(id);
    if (!zone.isValid())
        return std::nullopt;
    return ZoneArgument(zone);
}

} // namespace kv::cli
