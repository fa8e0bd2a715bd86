#include "alerts/active_alerts_file.h"

#include "alerts/alert_json.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>

namespace kv {

namespace {

QString runtimeFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QDir::tempPath() : folder;
}

const QString Prefix = QStringLiteral("kestvelqor-alerts-");

bool processRuns(qint64 pid) {
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

} // namespace

QString activeAlertsPath(const QString& serial) {
    QString name = serial;
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]")), QStringLiteral("_"));
    return runtimeFolder() + QLatin1Char('/') + Prefix + name + QStringLiteral(".json");
}

void writeActiveAlerts(const QString& serial, const std::vector<AlertStatus>& active) {
    QSaveFile file(activeAlertsPath(serial));
    if (!file.open(QIODevice::WriteOnly))
        return;
    const QJsonObject object{{QStringLiteral("serial"), serial},
                             {QStringLiteral("pid"), QCoreApplication::applicationPid()},
                             {QStringLiteral("active"), alertStatusesJson(active)}};
    file.write(QJsonDocument(object).toJson(QJsonDocument::Compact));
    file.commit();
}

void removeActiveAlerts(const QString& serial) {
    QFile::remove(activeAlertsPath(serial));
}

std::vector<AlertStatus> readActiveAlerts(const QString& serial) {
    std::vector<AlertStatus> result;
    const QDir folder(runtimeFolder());
    const QString pattern = serial.isEmpty() ? Prefix + QStringLiteral("*.json")
                                             : QFileInfo(activeAlertsPath(serial)).fileName();
    for (const QString& name : folder.entryList({pattern}, QDir::Files, QDir::Name)) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly) || file.size() > 1 << 20)
            continue;
        const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
        if (!processRuns(qint64(object.value(QStringLiteral("pid")).toDouble())))
            continue;
        for (const QJsonValue& value : object.value(QStringLiteral("active")).toArray())
            if (const auto status = alertStatusOf(value.toObject()))
                result.push_back(*status);
    }
    return result;
}

} // namespace kv
